#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// Runs the one endless drawing (a chase runner or the sprinkling of dots) that is current.
// Starting one runs its first step at once and replaces, and frees, the one that ran
// before: loops never nest, so memory and stack stay flat however many are started.
// Between two batches of steps the event loop handles every pending event.
//
// With a real clock the current loop advances at kStepsPerSecond, in one batch every other
// display frame of a 60 Hz screen (kTickMs) shown once at its end, and catches up in batches of at
// most kMaxBatch when the event loop was late. A batch shows what moves; every kTicksPerReadOut-th
// batch, and the last before the loop sleeps, show everything. Ticking per frame rather than per
// step spares the event loop a thousand wake-ups a second; the pace is the clock's all the same. A
// loop whose step changed nothing (the eye has arrived) sleeps, costing no processor time, until
// the user does anything at all (any input event of the application, a key typed into a read-out
// included) or wake() is called, and then takes one step to see whether it has something to do
// again. With a manual clock loops advance only through advance(), each call shown at its end, for
// the replay.
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

    // One step; returns whether it changed anything.
    using Step = std::function<bool()>;
    enum class Clock { Real, Manual };
    // What a batch's end shows: only what moves (places and pictures), or everything written.
    enum class Showing { Moving, Everything };

    LoopScheduler(Clock clock, std::function<void(Showing)> afterSteps);

    void start(Step step);
    void advance(long long steps);
    void wake();
    // Ends and frees the current loop, if any, showing everything it wrote.
    void stop();
    bool running() const { return bool(step_); }

  private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void tick();
    bool runSteps(long long count);
    void resumeClock();

    Clock clock_;
    std::function<void(Showing)> afterSteps_;
    Step step_;
    QTimer timer_;
    QElapsedTimer elapsed_;
    long long stepsSinceResume_ = 0;
    int ticks_ = 0; // counted modulo kTicksPerReadOut
};
