#include "PointerModes.h"

#include "state/ColourCycle.h"
#include "state/ColourRule.h"

namespace interactive {

namespace {

constexpr float kCircleModeRadius = 300;
constexpr float kPen2Radius = 30;
constexpr float kPen2Closing = 50;              // pen 2 closes 1/50 of the distance per movement
constexpr numbers::Colour kLavender = 0xFFC8C8; // RGB(200, 200, 255)
constexpr numbers::Colour kCircleModeLine = 1;  // RGB(1, 0, 0), all but black

float single(const Value& v) { return static_cast<float>(v.number().value_or(0)); }

// The smaller of a and b plus half their difference, in single precision.
float halfway(float a, float b) { return a <= b ? a + (b - a) / 2 : b + (a - b) / 2; }

void circleMode(Easel& e, float x, float y) {
    DrawingState& s = e.state;
    s.midX = Value::single(halfway(single(s.anchorX), x));
    s.midY = Value::single(halfway(single(s.anchorY), y));
    e.canvas.Circle(single(s.lastMidX), single(s.lastMidY), kCircleModeRadius, kLavender);
    e.canvas.Circle(single(s.midX), single(s.midY), kCircleModeRadius);
    s.lastMidX = s.midX;
    s.lastMidY = s.midY;
    e.canvas.Line(single(s.anchorX), single(s.anchorY), x, y, kCircleModeLine);
}

void sevenColourStep(Easel& e) {
    DrawingState& s = e.state;
    ColourCycle{s.red, s.green, s.blue, s.colourPhase}.step(e.random);
}

void pen2(Easel& e, float x, float y) {
    DrawingState& s = e.state;
    const float sx = single(s.spriteX), sy = single(s.spriteY);
    s.spriteX = Value::single(sx + (x - sx) / kPen2Closing);
    s.spriteY = Value::single(sy + (y - sy) / kPen2Closing);
    if (const auto colour = penColour(s))
        e.canvas.Circle(single(s.spriteX), single(s.spriteY), kPen2Radius, *colour);
}

void pen(Easel& e, float x, float y) {
    if (const auto colour = penColour(e.state)) e.canvas.PSet(x, y, *colour);
}

} // namespace

void Form_MouseDown(Easel& e, float x, float y) {
    DrawingState& s = e.state;
    s.buttonHeld.value = s.dragHeld.value = -1;
    if (s.circleOn.on() || s.chaseOn.on()) {
        s.anchorX = Value::single(x);
        s.anchorY = Value::single(y);
    }
}

void Form_MouseUp(Easel& e) { e.state.buttonHeld.value = e.state.dragHeld.value = 0; }

void drawPointerModes(Easel& e, float x, float y) {
    const DrawingState& s = e.state;
    if (s.circleOn.on() && s.dragHeld.on()) circleMode(e, x, y);
    if (s.sevenColoursOn.on()) sevenColourStep(e);
    if (s.pen2On.on()) pen2(e, x, y);
    if (s.penOn.on() && s.buttonHeld.on()) pen(e, x, y);
}

std::optional<qint16> penWidthFromText(const QString& text) {
    const auto number = numbers::textToNumber(text);
    const auto width = number ? numbers::toInteger16(*number) : std::nullopt;
    if (!width || *width < 1) return std::nullopt;
    return width;
}

void Command7_MouseDown(Easel& e) {
    e.state.penOn.flip();
    if (const auto width = penWidthFromText(e.controls.text(Control::Text5)))
        e.canvas.setDrawWidth(*width);
}

void Command8_Click(Easel& e) { e.state.sevenColoursOn.flip(); }
void Command10_Click(Easel& e) { e.state.pen2On.flip(); }
void Command13_Click(Easel& e) { e.state.circleOn.flip(); }
void Command14_Click(Easel& e) { e.state.chaseOn.flip(); }

} // namespace interactive
