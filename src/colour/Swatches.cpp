#include "Swatches.h"

#include <array>

namespace colour {

namespace {

struct SwatchColour {
    qint16 red, green, blue;
};

// The colour each swatch sets. Two differ from what they show: Picture4 shows dark
// purple and sets black, Picture7 shows light yellow and sets yellow.
constexpr std::array<SwatchColour, 8> kSwatchColours = {{
    {255, 255, 255}, // Picture2, white
    {0, 0, 0},       // Picture4, black
    {0, 0, 255},     // Picture5, blue
    {255, 0, 0},     // Picture6, red
    {255, 255, 0},   // Picture7, yellow
    {0, 255, 255},   // Picture8, cyan
    {0, 255, 0},     // Picture9, green
    {255, 0, 255},   // Picture10, magenta
}};

} // namespace

void clickSwatch(Easel& e, Swatch swatch) {
    const SwatchColour c = kSwatchColours[static_cast<std::size_t>(swatch)];
    e.state.red = Value::integer(c.red);
    e.state.green = Value::integer(c.green);
    e.state.blue = Value::integer(c.blue);
    e.controls.setText(Control::Text6, QString::number(c.red));
    e.controls.setText(Control::Text2, QString::number(c.green));
    e.controls.setText(Control::Text3, QString::number(c.blue));
}

} // namespace colour
