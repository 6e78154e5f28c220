#pragma once

#include "Playback.h"

#include <QImage>
#include <QString>

#include <array>
#include <functional>
#include <memory>

// The making-of of a drawing as a film: its recording played from the start, faster by a
// whole `speed`, 30 frames for each second of film, and a last frame at the very end that
// shows the final picture. The frames go to an encoder chosen by the file's suffix, which
// writes the file only once all of them are in, so that a film cut short leaves nothing.
namespace film {

constexpr int kFramesPerSecond = 30;
// The speeds a making-of is watched at in the window, and the window's films are made at.
inline constexpr std::array kSpeeds{1, 2, 4, 8, 16, 64};

// How many frames the film of a recording `lengthMs` long has at `speed`: one for every
// moment k * 1000 / 30 * speed ms of the recording before its end, and the last.
qint64 frameCount(qint64 lengthMs, int speed);
// The recording's moment that frame `index` shows (the last frame: the end).
qint64 frameMoment(qint64 index, qint64 lengthMs, int speed);

// Takes the frames, all of the same size, and writes the film.
class Encoder {
  public:
    virtual ~Encoder() = default;
    // Readies the film's file (or its program); false where it cannot be made.
    virtual bool start() = 0;
    virtual bool add(const QImage& frame) = 0;
    // Writes the file whole; before, there is none (a former one stays as it was).
    virtual bool finish() = 0;
    virtual QString error() const = 0;
};

// An encoder for the film at `path` by its suffix (.webp, .mp4) and frames of `size`;
// nullptr and `error` set where there is none.
std::unique_ptr<Encoder> encoderFor(const QString& path, QSize size, QString* error);

// Where the frames come from: the drawing the recording plays into, and what it looks
// like now.
struct Frames {
    Drawing& drawing;
    std::function<QImage()> render;
};

// Told how many frames are done of how many; answers false to cancel.
using Progress = std::function<bool(qint64 done, qint64 total)>;

enum class Outcome { Done, Cancelled, Failed };

// Plays `playback` from its start into the frames' drawing and writes the film to `path`.
Outcome make(Playback& playback, const Frames& frames, int speed, const QString& path,
             const Progress& progress, QString* error);

} // namespace film
