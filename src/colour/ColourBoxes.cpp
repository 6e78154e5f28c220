#include "ColourBoxes.h"

#include "state/ColourRule.h"

namespace colour {

void Text6_Change(Easel& e) { e.state.red = Value::text(e.controls.text(Control::Text6)); }
void Text2_Change(Easel& e) { e.state.green = Value::text(e.controls.text(Control::Text2)); }
void Text3_Change(Easel& e) { e.state.blue = Value::text(e.controls.text(Control::Text3)); }

void Command12_Click(Easel& e) { e.state.red = e.state.green = e.state.blue = Value::integer(255); }

bool servesAsComponent(const QString& text) {
    return colourStrength(Value::text(text)).has_value();
}

} // namespace colour
