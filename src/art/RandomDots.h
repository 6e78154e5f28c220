#pragma once

#include "canvas/Canvas.h"
#include "canvas/Random.h"

namespace art {

// "②": clears the canvas, prints "あ" centred left to right with its lower edge on the
// horizontal centre line, then adds dots of random place and palette colour one at a time,
// without end. Leaves the canvas in pixels, with pen width 5, dark red as the foreground
// colour and font size 24.
class RandomDots {
  public:
    // Sets the picture up; the dots come from step().
    static RandomDots begin(Canvas& canvas, Random& random);
    // Goes on with dots on a picture set up before.
    static RandomDots resume(Canvas& canvas, Random& random) { return RandomDots(canvas, random); }

    // One dot, anywhere on the canvas as large as it is now.
    void step();

  private:
    RandomDots(Canvas& canvas, Random& random) : canvas_(&canvas), random_(&random) {}
    Canvas* canvas_;
    Random* random_;
};

} // namespace art
