#pragma once

#include "state/Easel.h"

// The red, green and blue boxes and the eraser. A box's text goes into its component
// unchanged, as text; only the colour rule reads it as a number, at the next drawing.
namespace colour {

void Text6_Change(Easel& easel); // red
void Text2_Change(Easel& easel); // green
void Text3_Change(Easel& easel); // blue

// The eraser: the pen paints white, the background, while the boxes keep their numbers.
void Command12_Click(Easel& easel);

// Whether a colour box's text can serve as a component (reads as a number).
bool servesAsComponent(const QString& text);

} // namespace colour
