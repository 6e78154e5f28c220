#pragma once

#include "canvas/Canvas.h"
#include "canvas/Random.h"

namespace art {

// "◎": 21 discs of concentric circles, each centred at a random point of the 255 x 255
// square at the top-left corner and reaching the nearer of the left and top edges;
// red 50, green the centre's x, blue its y. Leaves the canvas in pixels.
void drawConcentricRings(Canvas& canvas, Random& random);

} // namespace art
