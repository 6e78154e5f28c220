#pragma once

#include "DrawingState.h"
#include "canvas/Numbers.h"

#include <optional>

// The pen colour, formed afresh from red, green and blue at each use. Each component is
// read as a number, brought to the nearest integer (halves to even) and clamped into
// 0..255. Empty when a component does not read as a number: the caller then skips the
// figure that needed the colour, and nothing else changes.
std::optional<numbers::Colour> penColour(const DrawingState& state);

// One component's strength 0..255, or empty when the value does not read as a number.
std::optional<int> colourStrength(const Value& component);
