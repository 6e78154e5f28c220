#include "StartUp.h"

#include "BringBack.h"

namespace recording {

namespace {

QString told(const BroughtBack& back) {
    if (back.brought && back.damaged)
        return QStringLiteral(
            "前回の記録は途中でこわれていたので、読めたところまでの絵を元にもどしました。");
    if (back.brought) return QStringLiteral("前回の絵を元にもどしました。");
    return QStringLiteral("前回の記録は読めないので、新しい絵から始めます。");
}

QString unwritable() {
    return QStringLiteral("絵の記録を書けないので、この絵は Ctrl+S で保存しないと残りません。");
}

// The recording goes to `file`, a new one in the folder, which keeps what it may beside it;
// where the folder cannot be written, the user is told.
template <typename Make>
void recordInto(StartUp& start, const RecordingFolder& folder, std::unique_ptr<RecordingFile> file,
                Make makeRecorder) {
    if (!file) {
        start.message = unwritable();
        return;
    }
    start.recorder = makeRecorder(std::move(file));
    folder.prune(start.recorder->path());
}

} // namespace

StartUp startRecording(Drawing& drawing, const RecordingFolder& folder, bool bringBackLast) {
    StartUp start;
    const QString previous = folder.newestFree();
    auto file = RecordingFile::create(folder.newPath(), nullptr);
    if (!previous.isEmpty()) {
        const QByteArray text = readRecording(previous);
        if (bringBackLast || !endedByUser(text)) {
            const BroughtBack back = bringBack(drawing, text);
            start.broughtBack = back.brought;
            start.message = told(back);
        }
    }
    recordInto(start, folder, std::move(file),
               [&](auto file) { return std::make_unique<Recorder>(drawing, std::move(file)); });
    return start;
}

StartUp continueRecording(Drawing& drawing, const RecordingFolder& folder,
                          const QByteArray& recording, qint64 endMs) {
    StartUp start;
    recordInto(start, folder, RecordingFile::create(folder.newPath(), nullptr), [&](auto file) {
        return std::make_unique<Recorder>(drawing, std::move(file), recording, endMs);
    });
    return start;
}

} // namespace recording
