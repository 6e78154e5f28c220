#include "LoopScheduler.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <utility>

LoopScheduler::LoopScheduler(Clock clock, std::function<void(Showing)> afterSteps)
    : clock_(clock), afterSteps_(std::move(afterSteps)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &LoopScheduler::tick);
    // Input reaches controls that have no handler of their own (typing into a read-out the
    // eye writes), so the window's handlers alone cannot tell a sleeping loop to look again.
    if (clock_ == Clock::Real) QCoreApplication::instance()->installEventFilter(this);
}

bool LoopScheduler::eventFilter(QObject*, QEvent* event) {
    if (event->isInputEvent() || event->type() == QEvent::InputMethod) wake();
    return false;
}

// With the clock already ticking, the first step is shown with the next batch, within the
// frame: a pointer moving fast in chase mode starts a runner at every movement, and the
// widgets still change at most once per frame.
void LoopScheduler::start(Step step) {
    const bool tickDue = clock_ == Clock::Real && timer_.isActive();
    step_ = std::move(step);
    if (!runSteps(1) || !tickDue) afterSteps_(Showing::Everything);
}

void LoopScheduler::advance(long long steps) {
    runSteps(steps);
    afterSteps_(Showing::Everything);
}

void LoopScheduler::wake() {
    if (step_ && clock_ == Clock::Real && !timer_.isActive()) resumeClock();
}

// What the loop wrote and a batch held back is shown before it goes.
void LoopScheduler::stop() {
    timer_.stop();
    if (std::exchange(step_, nullptr)) afterSteps_(Showing::Everything);
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
    runSteps(batch);
    const bool asleep = !timer_.isActive();
    ticks_ = (ticks_ + 1) % kTicksPerReadOut;
    afterSteps_(asleep || ticks_ == 0 ? Showing::Everything : Showing::Moving);
}

// Runs up to `count` steps of the current loop; stops early, and lets the loop sleep,
// when a step changes nothing.
bool LoopScheduler::runSteps(long long count) {
    for (long long i = 0; i < count && step_; ++i) {
        if (!step_()) {
            timer_.stop();
            return false;
        }
    }
    if (step_ && clock_ == Clock::Real && !timer_.isActive()) resumeClock();
    return true;
}
