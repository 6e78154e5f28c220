#include "ControlModel.h"

#include "FormDesign.h"

#include <algorithm>
#include <utility>

ControlModel::ControlModel() {
    for (std::size_t i = 0; i < kControls; ++i) {
        const design::ControlRow& row = design::control(nameOf(static_cast<Control>(i)));
        if (row.kind == design::Kind::TextBox) now_.texts[i] = QString::fromUtf16(row.text);
    }
}

bool ControlModel::setText(Control box, const QString& text, Writer writer) {
    pending(box, writer).text = text;
    if (now_.texts[index(box)] == text) return false;
    now_.texts[index(box)] = text;
    return true;
}

void ControlModel::moveImage(Control image, QPointF topLeftPixels, Writer writer) {
    pending(image, writer).place = now_.places[index(image)] = topLeftPixels;
}

void ControlModel::copyPicture(Control image, Control from, Writer writer) {
    pending(image, writer).picture = now_.pictures[index(image)] = from;
}

void ControlModel::restore(const Saved& saved) {
    now_ = saved;
    for (std::size_t i = 0; i < kControls; ++i) {
        Pending& p = pending(static_cast<Control>(i), Writer::Action);
        if (design::control(nameOf(static_cast<Control>(i))).kind == design::Kind::TextBox)
            p.text = now_.texts[i];
        p.place = now_.places[i];
        p.picture = now_.pictures[i];
    }
}

ControlModel::Pending& ControlModel::pending(Control control, Writer writer) {
    if (std::find(written_.begin(), written_.end(), control) == written_.end())
        written_.push_back(control);
    Pending& p = pending_[index(control)];
    p.byAction |= writer == Writer::Action;
    return p;
}

void ControlModel::show(Showing what, ControlSurface& widgets) {
    std::vector<Control> waiting;
    for (const Control control : std::exchange(written_, {})) {
        Pending& p = pending_[index(control)];
        if (what == Showing::Actions && !p.byAction) {
            waiting.push_back(control);
            continue;
        }
        const bool whole = what == Showing::Everything || p.byAction;
        const auto text = whole ? std::exchange(p.text, {}) : std::nullopt;
        const auto place = std::exchange(p.place, {});
        const auto picture = std::exchange(p.picture, {});
        p.byAction = false;
        if (p.text) waiting.push_back(control);
        if (text) widgets.setText(control, *text);
        if (place) widgets.moveImage(control, *place);
        if (picture) widgets.copyPicture(control, *picture);
    }
    written_ = std::move(waiting);
}
