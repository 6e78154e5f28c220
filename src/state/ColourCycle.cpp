#include "ColourCycle.h"

void ColourCycle::step(Random& random) {
    Value* const components[3] = {&red, &green, &blue};
    for (qint16 test = 0; test < 3; ++test) {
        Value& component = *components[test];
        const std::optional<double> value = component.number();
        if (!value) continue;
        if (phase.number() == test && *value >= 255) {
            *components[(test + 1) % 3] = Value::single(static_cast<float>(random.next() * 100));
            phase = Value::integer(static_cast<qint16>((test + 1) % 3));
        } else {
            component = *component.plusOne();
        }
    }
}
