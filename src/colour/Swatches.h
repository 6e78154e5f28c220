#pragma once

#include "state/Easel.h"

// The eight colour swatches. A click sets the three components to the swatch's colour
// and rewrites the three boxes, whose change handling stores the same numbers again.
namespace colour {

enum class Swatch {
    Picture2,
    Picture4,
    Picture5,
    Picture6,
    Picture7,
    Picture8,
    Picture9,
    Picture10
};

void clickSwatch(Easel& easel, Swatch swatch);

} // namespace colour
