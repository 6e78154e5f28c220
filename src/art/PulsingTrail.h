#pragma once

#include "canvas/Canvas.h"
#include "canvas/Random.h"

namespace art {

// "①": 10001 circles along a point bouncing diagonally one pixel per step, the radius
// swelling 1..30 and back to 0 with a period of 60, the colour running the rising colour
// cycle from black through grey to white and then through fading magenta, yellow and
// cyan. Leaves the canvas in pixels.
void drawPulsingTrail(Canvas& canvas, Random& random);

} // namespace art
