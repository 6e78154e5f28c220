#include "ControlSurface.h"

#include <array>

namespace {

constexpr std::array kNames = {
    "Text1",  "Text2",  "Text3",  "Text4",  "Text5",  "Text6",  "Text7",
    "Text8",  "Text9",  "Text10", "Text11", "Image1", "Image2", "Image3",
    "Image4", "Image5", "Image6", "Image7", "Image8", "Image9",
};
static_assert(kNames.size() == static_cast<std::size_t>(Control::Image9) + 1);

} // namespace

const char* nameOf(Control control) { return kNames[static_cast<std::size_t>(control)]; }

std::optional<Control> controlNamed(QStringView name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (name == QLatin1String(kNames[i])) return static_cast<Control>(i);
    return std::nullopt;
}
