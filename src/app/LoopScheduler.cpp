#include "LoopScheduler.h"

#include <algorithm>
#include <utility>

LoopScheduler::LoopScheduler(Clock clock, Steps steps, std::function<void(Showing)> show)
    : clock_(clock), steps_(std::move(steps)), show_(std::move(show)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &LoopScheduler::tick);
}

LoopScheduler::Showing LoopScheduler::afterAction(bool looping) {
    const bool ticking = timer_.isActive();
    if (!looping)
        timer_.stop();
    else if (clock_ == Clock::Real && !ticking)
        resumeClock();
    return looping && ticking ? Showing::Actions : Showing::Everything;
}

void LoopScheduler::advance(long long steps) {
    steps_(steps);
    show_(Showing::Everything);
}

void LoopScheduler::resumeClock() {
    elapsed_.start();
    stepsSinceResume_ = 0;
    timer_.start();
}

void LoopScheduler::tick() {
    const long long due = elapsed_.elapsed() * kStepsPerSecond / 1000 - stepsSinceResume_;
    const long long batch = std::clamp<long long>(due, 0, kMaxBatch);
    // Steps missed beyond one batch are dropped, not owed: a late event loop slows the
    // drawing down rather than making it jump.
    stepsSinceResume_ += std::max(due, batch);
    const bool looping = batch == 0 || steps_(batch);
    if (!looping) timer_.stop();
    ticks_ = (ticks_ + 1) % kTicksPerReadOut;
    show_(!looping || ticks_ == 0 ? Showing::Everything : Showing::Moving);
}
