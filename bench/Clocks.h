#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

#include <ctime>

// The bench's clocks: wall time, the processor time of the whole process and of the calling
// thread, in milliseconds; and a session clock that makes the process's monotonic clock read
// the times of a long session played in seconds.

template <typename Run> double elapsedMs(Run run) {
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.nsecsElapsed() / 1e6;
}

inline double clockMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Processor time of the whole process (paints may use worker threads): on a shared machine,
// wall time would count the time spent waiting for a processor.
inline double processorMs() { return clockMs(CLOCK_PROCESS_CPUTIME_ID); }
inline double threadMs() { return clockMs(CLOCK_THREAD_CPUTIME_ID); }

// Makes the process's monotonic clock (Qt's QElapsedTimer, the standard library's
// steady_clock, in every thread) run ahead of the real one as far as at() asks, so that what
// is played in seconds carries the times of a session of an hour. The clock never goes back,
// and jumps only at at(): what is timed in between (the work a drawing measures) keeps its real
// length. It stays ahead after the session.
class SessionClock {
  public:
    SessionClock(); // the session begins now

    // The clock reads at least `ms` milliseconds after the session began.
    void at(qint64 ms);

  private:
    qint64 startNs_;
};
