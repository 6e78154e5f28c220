#pragma once

#include "drawing/Drawing.h"

#include <QByteArray>
#include <QString>

// Brings a drawing to where a recording ends, by playing it to its end (Playback): from the
// last checkpoint, through the actions after it, each taken by the drawing as it was then.
// A damaged recording is brought back up to its last whole action before the damage.
namespace recording {

struct BroughtBack {
    bool brought = false; // the drawing is now the recording's
    bool damaged = false; // it stopped short, at a line that did not read
    QString error;        // why nothing was brought back, or where it stopped
    int actions = 0;      // taken after the checkpoint
    qint64 endMs = 0;     // the time of the last line taken, the checkpoint's or an action's
};

BroughtBack bringBack(Drawing& drawing, const QByteArray& recording);

// Whether a recording says the user ended the program (its last line), read cheaply.
bool endedByUser(const QByteArray& recording);

} // namespace recording
