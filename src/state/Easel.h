#pragma once

#include "DrawingState.h"
#include "canvas/Canvas.h"
#include "canvas/ControlSurface.h"
#include "canvas/Random.h"

// What a handler works with: the shared drawing state, the canvas, the controls and the
// program's one random generator. All owned by the window; an Easel only refers to them.
struct Easel {
    DrawingState& state;
    Canvas& canvas;
    ControlSurface& controls;
    Random& random;
};
