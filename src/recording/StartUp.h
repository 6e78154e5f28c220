#pragma once

#include "Recorder.h"
#include "RecordingFolder.h"

#include <memory>

// How a drawing starts its recording: after an end that was not the user's, the last
// drawing first comes back as it was at its last action (with `bringBackLast`, also one the
// user ended). The new recording is made before the old one is read, so that a recording
// the program cannot bring back is never tried twice.
namespace recording {

struct StartUp {
    std::unique_ptr<Recorder> recorder; // none where the folder cannot be written
    bool broughtBack = false;           // the drawing is the last one
    QString message;                    // what the user is to be told, or nothing
};

StartUp startRecording(Drawing& drawing, const RecordingFolder& folder, bool bringBackLast);

// A new recording for a drawing that is now where `recording` ends (a drawing file opened),
// beginning with all of it, at its time `endMs`; none, and a message, where the folder
// cannot be written.
StartUp continueRecording(Drawing& drawing, const RecordingFolder& folder,
                          const QByteArray& recording, qint64 endMs);

} // namespace recording
