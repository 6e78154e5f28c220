#pragma once

#include "canvas/Canvas.h"
#include "canvas/Random.h"

namespace art {

// A point that bounces inside the canvas, as the trails use it. The edge tests run before
// each move and are strict, so the point turns only after it has passed an edge, and
// turning keeps until the opposite edge is passed.
template <typename Number> struct Bounce {
    Number x, y;
    bool left = false; // moving left, else right
    bool up = false;   // moving up, else down

    // A start at random whole numbers 1..200, y drawn before x.
    static Bounce randomStart(Random& random) {
        const auto y = static_cast<Number>(numbers::Int(random.next() * 200 + 1));
        const auto x = static_cast<Number>(numbers::Int(random.next() * 200 + 1));
        return {x, y};
    }

    void turnAtEdges(const Canvas& canvas) {
        if (x > canvas.scaleWidth()) left = true;
        if (y > canvas.scaleHeight()) up = true;
        if (x < 0) left = false;
        if (y < 0) up = false;
    }

    void move(Number leftStep, Number rightStep, Number upStep, Number downStep) {
        x = left ? x - leftStep : x + rightStep;
        y = up ? y - upStep : y + downStep;
    }
};

} // namespace art
