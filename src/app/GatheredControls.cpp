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
// may write again: that write waits for the next call. Texts held back keep their place
// before any control first written since.
void GatheredControls::show(Showing what) {
    std::vector<Control> waiting;
    for (const Control control : std::exchange(written_, {})) {
        Pending& p = pending_[static_cast<std::size_t>(control)];
        const auto text = what == Showing::Everything ? std::exchange(p.text, {}) : std::nullopt;
        const auto place = std::exchange(p.place, {});
        const auto picture = std::exchange(p.picture, {});
        if (p.text) waiting.push_back(control);
        if (text) widgets_.setText(control, *text);
        if (place) widgets_.moveImage(control, *place);
        if (picture) widgets_.copyPicture(control, *picture);
    }
    for (const Control control : written_)
        if (std::find(waiting.begin(), waiting.end(), control) == waiting.end())
            waiting.push_back(control);
    written_ = std::move(waiting);
}
