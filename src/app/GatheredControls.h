#pragma once

#include "LoopScheduler.h"
#include "canvas/ControlSurface.h"

#include <array>
#include <optional>
#include <vector>

// The controls as an endless drawing writes them. Every write is current at once for
// whoever reads through this surface (a step that compares a read-out with what it would
// write sees its own last write), but reaches the widgets only through show(), which the
// window calls at most once per display frame: a thousand steps a second then cost a
// widget update per frame, not per step.
class GatheredControls : public ControlSurface {
  public:
    explicit GatheredControls(ControlSurface& widgets) : widgets_(widgets) {}

    QString text(Control box) const override;
    void setText(Control box, const QString& text) override;
    void moveImage(Control image, QPointF topLeftPixels) override;
    void copyPicture(Control image, Control from) override;

    // Hands the last write of each control since the previous call to the widgets, controls
    // in the order of their first write; afterwards the widgets hold everything written.
    // Showing only what moves hands places and pictures, and texts wait for the next call
    // that shows everything.
    using Showing = LoopScheduler::Showing;
    void show(Showing what = Showing::Everything);

  private:
    struct Pending {
        std::optional<QString> text;
        std::optional<QPointF> place;
        std::optional<Control> picture;
    };
    Pending& pending(Control control);

    ControlSurface& widgets_;
    std::array<Pending, static_cast<std::size_t>(Control::Image9) + 1> pending_;
    std::vector<Control> written_; // each control once, in the order of its first write
};
