#include "Clocks.h"

#include <atomic>

#include <dlfcn.h>

namespace {

// How far the monotonic clocks run ahead of the real ones.
std::atomic<qint64> aheadNs = 0;

bool monotonic(clockid_t clock) {
    return clock == CLOCK_MONOTONIC || clock == CLOCK_MONOTONIC_RAW ||
           clock == CLOCK_MONOTONIC_COARSE || clock == CLOCK_BOOTTIME;
}

qint64 nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

} // namespace

// Stands in for the C library's function for the whole process: the program's definition
// comes before the library's (the link exports it, see CMakeLists.txt).
extern "C" __attribute__((visibility("default"))) int clock_gettime(clockid_t clock,
                                                                    timespec* t) noexcept {
    using Real = int (*)(clockid_t, timespec*);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "clock_gettime"));
    const int result = real(clock, t);
    if (result != 0 || !monotonic(clock)) return result;
    const qint64 ns = t->tv_nsec + aheadNs.load(std::memory_order_relaxed);
    t->tv_sec += ns / 1'000'000'000;
    t->tv_nsec = ns % 1'000'000'000;
    return result;
}

SessionClock::SessionClock() : startNs_(nowNs()) {}

void SessionClock::at(qint64 ms) {
    const qint64 behind = startNs_ + ms * 1'000'000 - nowNs();
    if (behind > 0) aheadNs += behind;
}
