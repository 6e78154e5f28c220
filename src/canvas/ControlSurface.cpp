#include "ControlSurface.h"

#include <array>

const char* nameOf(Control control) {
    static constexpr std::array names = {
        "Text1",  "Text2",  "Text3",  "Text4",  "Text5",  "Text6",  "Text7",
        "Text8",  "Text9",  "Text10", "Text11", "Image1", "Image2", "Image3",
        "Image4", "Image5", "Image6", "Image7", "Image8", "Image9",
    };
    static_assert(names.size() == static_cast<std::size_t>(Control::Image9) + 1);
    return names[static_cast<std::size_t>(control)];
}
