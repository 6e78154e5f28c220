#include "BringBack.h"

#include "Playback.h"
#include "RecordedLine.h"

#include <limits>

namespace recording {

bool endedByUser(const QByteArray& recording) {
    const qsizetype end = recording.endsWith('\n') ? recording.size() - 1 : recording.size();
    const qsizetype start = recording.lastIndexOf('\n', end - 1) + 1;
    return isEnd(QString::fromUtf8(QByteArrayView(recording).sliced(start, end - start)));
}

BroughtBack bringBack(Drawing& drawing, const QByteArray& recording) {
    Playback playback(recording);
    BroughtBack result;
    result.brought = playback.seek(drawing, std::numeric_limits<qint64>::max());
    result.damaged = playback.damaged();
    result.error = playback.error();
    result.actions = int(playback.actions());
    result.endMs = playback.recordedPosition();
    return result;
}

} // namespace recording
