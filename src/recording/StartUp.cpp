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
    if (!file) {
        start.message = unwritable();
        return start;
    }
    start.recorder = std::make_unique<Recorder>(drawing, std::move(file));
    folder.prune(start.recorder->path());
    return start;
}

StartUp continueRecording(Drawing& drawing, const RecordingFolder& folder,
                          const QByteArray& recording, qint64 endMs) {
    StartUp start;
    auto file = RecordingFile::create(folder.newPath(), nullptr);
    if (!file) {
        start.message = unwritable();
        return start;
    }
    start.recorder = std::make_unique<Recorder>(drawing, std::move(file), recording, endMs);
    folder.prune(start.recorder->path());
    return start;
}

} // namespace recording
