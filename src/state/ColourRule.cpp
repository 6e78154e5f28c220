#include "ColourRule.h"

#include <cmath>

std::optional<int> colourStrength(const Value& component) {
    const std::optional<double> n = component.number();
    if (!n || std::isnan(*n)) return std::nullopt;
    return static_cast<int>(std::nearbyint(std::clamp(*n, 0.0, 255.0)));
}

std::optional<numbers::Colour> penColour(const DrawingState& state) {
    const auto blue = colourStrength(state.blue);
    const auto green = colourStrength(state.green);
    const auto red = colourStrength(state.red);
    if (!blue || !green || !red) return std::nullopt;
    return numbers::RGB(*red, *green, *blue);
}
