#pragma once

#include "Value.h"
#include "canvas/Random.h"

// The slow rising colour cycle shared by the seven-colour pen and the pulsing trail.
// Three tests in order, each seeing what the ones before changed:
//   phase 0 and red   >= 255: green := Rnd * 100 (single), phase := 1; else red + 1
//   phase 1 and green >= 255: blue  := Rnd * 100,          phase := 2; else green + 1
//   phase 2 and blue  >= 255: red   := Rnd * 100,          phase := 0; else blue + 1
// So every component grows by one per step except the awaited one on the step it reaches
// 255; the next one restarts below 100 and already grows in the same step. A component
// that does not read as a number is left alone: neither compared nor incremented.
struct ColourCycle {
    Value& red;
    Value& green;
    Value& blue;
    Value& phase;

    void step(Random& random);
};
