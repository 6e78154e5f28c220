#include "BouncingTrail.h"

#include "Bounce.h"

#include <cmath>

namespace art {

void drawBouncingTrail(Canvas& canvas, Random& random) {
    canvas.setScaleMode(Canvas::Pixels);
    auto point = Bounce<int>::randomStart(random);
    const auto strength = [&random] { return int(std::nearbyint(random.next() * 255)); };
    for (int pass = 0; pass <= 3000; ++pass) {
        point.turnAtEdges(canvas);
        point.move(2, 1, 1, 2);
        const auto radius = static_cast<float>(numbers::Int(random.next() * 30 + 1));
        const int red = strength(), green = strength(), blue = strength();
        canvas.Circle(float(point.x), float(point.y), radius, numbers::RGB(red, green, blue));
    }
}

} // namespace art
