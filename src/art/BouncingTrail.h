#pragma once

#include "canvas/Canvas.h"
#include "canvas/Random.h"

namespace art {

// "○": 3001 circles of random radius 1..30 and random colour along a point that bounces
// through the canvas with uneven steps (right 1, left 2, down 2, up 1). Leaves the canvas
// in pixels.
void drawBouncingTrail(Canvas& canvas, Random& random);

} // namespace art
