#pragma once

#include "canvas/ControlSurface.h"

#include <QPointF>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// The controls as the drawing has written them: the text of every box, current at once for
// the drawing logic (a step that compares a read-out with what it would write sees its own
// last write), and the writes the window has yet to show. What an action's handling writes
// is shown when the action is done; what an endless drawing's steps write waits for the
// clock, at most once per display frame, so a thousand steps a second cost a widget update
// per frame, not per step.
class ControlModel {
  public:
    enum class Writer { Action, Loop };
    // What a showing hands on: only what actions wrote; also what moves (places and pictures,
    // while the texts of endless drawings wait); or everything.
    enum class Showing { Actions, Moving, Everything };

    // Every box starts with its text in the design table.
    ControlModel();

    QString text(Control box) const { return now_.texts[index(box)]; }
    // Returns whether the text is new.
    bool setText(Control box, const QString& text, Writer writer);
    void moveImage(Control image, QPointF topLeftPixels, Writer writer);
    void copyPicture(Control image, Control from, Writer writer);

    // What every control holds now: its text (boxes), place and picture (images, once
    // written). What a checkpoint keeps.
    static constexpr std::size_t kControls = static_cast<std::size_t>(Control::Image9) + 1;
    struct Saved {
        std::array<QString, kControls> texts;
        std::array<std::optional<QPointF>, kControls> places;
        std::array<std::optional<Control>, kControls> pictures;
    };
    const Saved& save() const { return now_; }
    // Takes `saved` over, all of it to be shown.
    void restore(const Saved& saved);

    // Hands the last write of each control since it was last shown to `widgets`, controls
    // in the order of their first write. Texts held back keep their place before any
    // control first written since.
    void show(Showing what, ControlSurface& widgets);

  private:
    static std::size_t index(Control control) { return static_cast<std::size_t>(control); }
    struct Pending {
        bool byAction = false;
        std::optional<QString> text;
        std::optional<QPointF> place;
        std::optional<Control> picture;
    };
    Pending& pending(Control control, Writer writer);

    Saved now_;
    std::array<Pending, kControls> pending_;
    std::vector<Control> written_; // each control once, in the order of its first write
};
