#pragma once

#include "drawing/Drawing.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QFont;
class QIODevice;

// A drawing kept as a file of its own, "NAME.quenzel": its whole recording from its start,
// with its checkpoints and the pictures opened in it, as one gzip file (`zcat` shows it, the
// replay tool plays it). The recording is all there is to a drawing, so no container holds
// anything beside it.
namespace recording {

// The path as kept: a name that does not end in ".quenzel" gets it.
QString withDrawingSuffix(const QString& path);
// Whether the file opens as a drawing rather than as a picture: by its suffix, or, where
// no picture format knows it, by a recording inside (as in the recording folder).
bool isDrawingFile(const QString& path);
// A recording of the drawing as it stands, for a drawing that has none: its header and a
// checkpoint.
QByteArray recordingOf(const Drawing& drawing);
// Writes the recording as a drawing file, all or nothing: the reason of a failure as the
// system gives it, or an empty text.
QString keep(const QByteArray& recording, const QString& path);

// A drawing file read and brought back. Nothing in it is trusted: a file that is not
// whole, was damaged, comes from a newer format or would need more memory than any
// drawing is refused, with the reason in the user's words.
struct Opened {
    std::optional<Drawing::Snapshot> drawing; // where its recording ends
    QByteArray recording;                     // all of it, to go on from
    qint64 endMs = 0;                         // the time of its last line
    QString error;
};
// Brings the drawing back in a drawing of its own, printing text in `font`.
Opened open(QIODevice& file, const QFont& font);
Opened open(const QString& path, const QFont& font);

} // namespace recording
