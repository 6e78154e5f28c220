#include "GreenTrail.h"

#include "Bounce.h"

namespace art {

void drawGreenTrail(Canvas& canvas, Random& random, DrawingState& state) {
    canvas.setScaleMode(Canvas::Pixels);
    auto point = Bounce<double>::randomStart(random);
    // The start is a whole number held as a single; after the first move, doubles.
    for (int pass = 0; pass <= 2000; ++pass) {
        point.turnAtEdges(canvas);
        const double step = 1 / numbers::Cos(state.bounceAngle.number().value_or(0));
        point.move(step, step, step, step);
        if (state.bounceAngleSet.number().value_or(0) == 0) {
            state.bounceAngle = Value::real(1.3);
            state.bounceAngleSet = Value::integer(1);
        }
        if (pass == 2000)
            state.bounceAngle = Value::real(state.bounceAngle.number().value_or(0) + 0.05);
        canvas.Circle(float(point.x), float(point.y), 10, numbers::RGB(0, 255, 0));
    }
}

} // namespace art
