#pragma once

#include "state/Easel.h"

#include <QString>

#include <optional>

// The pointer on the bare canvas and the mode buttons. Pointer positions are in the
// canvas's current unit, as the window delivers them.
namespace interactive {

// A press of any mouse button on the canvas: marks the button held and, in circle or
// chase mode, records the anchor.
void Form_MouseDown(Easel& easel, float x, float y);
// A release of any mouse button: the stroke ends.
void Form_MouseUp(Easel& easel);
// A movement with chase mode off: circle mode, the seven-colour step, pen 2 and the pen,
// in this order, each when its switch is on. (With chase mode on the window starts a
// chase runner instead.)
void drawPointerModes(Easel& easel, float x, float y);

// The pen button: flips the pen and takes the pen width from the width box. A text that
// is no width leaves the width as it was.
void Command7_MouseDown(Easel& easel);
void Command8_Click(Easel& easel);
void Command10_Click(Easel& easel);
void Command13_Click(Easel& easel);
void Command14_Click(Easel& easel);

// The pen width a box text gives: a number that rounds (halves to even) into 1..32767.
std::optional<qint16> penWidthFromText(const QString& text);

} // namespace interactive
