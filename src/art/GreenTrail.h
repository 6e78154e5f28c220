#pragma once

#include "canvas/Canvas.h"
#include "canvas/Random.h"
#include "state/DrawingState.h"

namespace art {

// "③": 2001 green circles of radius 10 along a point bouncing at 45 degrees, whose step
// on each axis is the secant of bounceAngle. The angle starts at 1.3 and grows by 0.05 at
// the end of every click, so each trail is wider spaced than the last, until the step
// turns negative and the trail runs off the canvas. Leaves the canvas in pixels.
void drawGreenTrail(Canvas& canvas, Random& random, DrawingState& state);

} // namespace art
