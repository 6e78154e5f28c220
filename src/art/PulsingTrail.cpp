#include "PulsingTrail.h"

#include "Bounce.h"
#include "state/ColourCycle.h"
#include "state/ColourRule.h"

namespace art {

void drawPulsingTrail(Canvas& canvas, Random& random) {
    canvas.setScaleMode(Canvas::Pixels);
    auto point = Bounce<int>::randomStart(random);
    int radius = 0;
    bool growing = false;
    Value red = Value::single(0), green = Value::single(0), blue = Value::single(0);
    Value phase = Value::integer(0);
    ColourCycle cycle{red, green, blue, phase};
    for (int pass = 0; pass <= 10000; ++pass) {
        point.turnAtEdges(canvas);
        point.move(1, 1, 1, 1);
        cycle.step(random);
        if (radius == 30) growing = false;
        if (radius == 0) growing = true;
        radius += growing ? 1 : -1;
        const auto colour =
            numbers::RGB(*colourStrength(red), *colourStrength(green), *colourStrength(blue));
        canvas.Circle(float(point.x), float(point.y), float(radius), colour);
    }
}

} // namespace art
