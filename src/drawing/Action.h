#pragma once

#include "canvas/ControlSurface.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>

#include <variant>

// A user action, as the drawing takes it: what the window makes of an input event once it
// knows where the event went. Positions are in pixels of the client area.
namespace action {

enum class Pointer { Press, Move, Release };

// The pointer on the bare canvas.
struct OnCanvas {
    Pointer pointer;
    QPointF pixels;
    Qt::MouseButton button = Qt::NoButton; // the button pressed or released
};

// The pointer on a control, by its design name: a press of any button on it (its
// MouseDown), its click (by the left button released over it or by the keyboard), or a
// movement over it.
enum class ControlEvent { MouseDown, Click, MouseMove };
struct OnControl {
    ControlEvent event;
    QString control;
    Qt::MouseButton button = Qt::LeftButton;
};

// A box's whole new text, as the user left it by typing, pasting or taking back typing.
struct NewText {
    Control box;
    QString text;
};

// A menu item chosen, by its design name.
struct MenuItem {
    QString name;
};

// A key pressed anywhere in the window; keys with a meaning for the drawing come as their
// own actions besides (a new text, a click, undo).
struct Key {};

struct Undo {};
struct Redo {};

// The endless drawing that runs takes up to `count` steps.
struct Steps {
    long long count;
};

// The client area's new size in pixels, and the screen's new device pixel ratio.
struct ClientSize {
    QSize pixels;
};
struct DeviceRatio {
    double ratio;
};

// A picture opened to draw on: it takes the top-left of the canvas, one image pixel to a
// pixel of the client area, in the canvas's format (opaque RGB32).
struct Picture {
    QImage image;
};

} // namespace action

using Action = std::variant<action::OnCanvas, action::OnControl, action::NewText, action::MenuItem,
                            action::Key, action::Undo, action::Redo, action::Steps,
                            action::ClientSize, action::DeviceRatio, action::Picture>;
