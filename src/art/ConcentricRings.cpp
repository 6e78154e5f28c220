#include "ConcentricRings.h"

namespace art {

void drawConcentricRings(Canvas& canvas, Random& random) {
    using numbers::Int;
    for (int disc = 0; disc <= 20; ++disc) {
        canvas.setScaleMode(Canvas::Pixels);
        const auto a = static_cast<float>(Int(random.next() * 255 + 1));
        const auto b = static_cast<float>(Int(random.next() * 255 + 1));
        const float outer = a > b ? b : a;
        const numbers::Colour colour = numbers::RGB(50, int(a), int(b));
        for (int radius = 0; radius <= outer; ++radius)
            canvas.Circle(a, b, float(radius), colour);
    }
}

} // namespace art
