#pragma once

#include <cstdint>

// The program's one uniform generator. Never reseeded, so the same actions since
// start-up always give the same pictures, in every build:
//   state := state * 6364136223846793005 + 1442695040888963407 (mod 2^64)
//   result := (state >> 11) * 2^-53, in [0, 1)
class Random {
  public:
    Random() = default;
    // A generator where another stood after `drawn` numbers, its state then `state`.
    Random(std::uint64_t state, std::uint64_t drawn) : state_(state), drawn_(drawn) {}

    double next() {
        ++drawn_;
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) * 0x1.0p-53;
    }

    // How many numbers have been drawn since start-up; lets tests count what a drawing used.
    std::uint64_t drawn() const { return drawn_; }
    std::uint64_t state() const { return state_; }

  private:
    std::uint64_t state_ = 0;
    std::uint64_t drawn_ = 0;
};
