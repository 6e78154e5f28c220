#include "GatheredControls.h"

#include <algorithm>
#include <utility>

QString GatheredControls::text(Control box) const {
    const auto& waiting = pending_[static_cast<std::size_t>(box)].text;
    return waiting ? *waiting : widgets_.text(box);
}

void GatheredControls::setText(Control box, const QString& text) { pending(box).text = text; }

void GatheredControls::moveImage(Control image, QPointF topLeftPixels) {
    pending(image).place = topLeftPixels;
}

void GatheredControls::copyPicture(Control image, Control from) { pending(image).picture = from; }

GatheredControls::Pending& GatheredControls::pending(Control control) {
    if (std::find(written_.begin(), written_.end(), control) == written_.end())
        written_.push_back(control);
    return pending_[static_cast<std::size_t>(control)];
}

// Each write is taken out before it is handed on, so a change handler that the widgets run
// may write again: that write waits for the next call.
void GatheredControls::show() {
    for (const Control control : std::exchange(written_, {})) {
        const Pending p = std::exchange(pending_[static_cast<std::size_t>(control)], {});
        if (p.text) widgets_.setText(control, *p.text);
        if (p.place) widgets_.moveImage(control, *p.place);
        if (p.picture) widgets_.copyPicture(control, *p.picture);
    }
}
