#pragma once

#include "drawing/ControlModel.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// The clock of the endless drawing (a chase runner or the sprinkling of dots) that the
// drawing runs: gives it its steps and says when to show what they wrote. Between two
// batches of steps the event loop handles every pending event.
//
// With a real clock the drawing advances at kStepsPerSecond, in one batch every other
// display frame of a 60 Hz screen (kTickMs) shown once at its end, and catches up in batches of at
// most kMaxBatch when the event loop was late. A batch shows what moves; every kTicksPerReadOut-th
// batch, and the last before the clock sleeps, show everything. Ticking per frame rather than per
// step spares the event loop a thousand wake-ups a second; the pace is the clock's all the same.
// The clock sleeps, costing no processor time, while the drawing is at rest (its last step changed
// nothing) and until the next user action. With a manual clock the drawing advances only through
// advance(), each call shown at its end, for the replay.
class LoopScheduler : public QObject {
  public:
    static constexpr int kStepsPerSecond = 1000;
    // Two frames at 60 Hz: under X each shown batch costs far more than its steps, and
    // showing every other frame halves what the eye and the dots cost, still smoothly.
    static constexpr int kTickMs = 33;
    static constexpr int kMaxBatch = 50;
    // Ten times a second: the read-outs change at every step, faster than anyone reads numbers,
    // and each one shown costs a text layout and a repaint, which made up half of what the eye
    // cost under X. Pictures and places are shown at every tick.
    static constexpr int kTicksPerReadOut = 3;

    // Takes up to that many steps; returns whether the drawing goes on looping (false once a
    // step changed nothing, or when no endless drawing runs).
    using Steps = std::function<bool(long long)>;
    enum class Clock { Real, Manual };
    using Showing = ControlModel::Showing;

    LoopScheduler(Clock clock, Steps steps, std::function<void(Showing)> show);

    // After the drawing took a user action, with whether it is now looping: the clock starts
    // or stops, and the answer is what to show of the writes now. While the clock ticks, what
    // the endless drawing wrote waits for the next batch, so a pointer moving fast in chase
    // mode, which starts a runner at every movement, still changes the widgets at most once
    // per frame.
    Showing afterAction(bool looping);
    void advance(long long steps);

  private:
    void tick();
    void resumeClock();

    Clock clock_;
    Steps steps_;
    std::function<void(Showing)> show_;
    QTimer timer_;
    QElapsedTimer elapsed_;
    long long stepsSinceResume_ = 0;
    int ticks_ = 0; // counted modulo kTicksPerReadOut
};
