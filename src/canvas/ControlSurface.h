#pragma once

#include <QPointF>
#include <QString>

#include <optional>

// The few operations on the window's controls that the drawing logic uses. The window
// implements them; tests and tools can too, so the logic never needs a widget.
enum class Control {
    Text1,
    Text2,
    Text3,
    Text4,
    Text5,
    Text6,
    Text7,
    Text8,
    Text9,
    Text10,
    Text11,
    Image1,
    Image2,
    Image3,
    Image4,
    Image5,
    Image6,
    Image7,
    Image8,
    Image9,
};

class ControlSurface {
  public:
    virtual ~ControlSurface() = default;

    // The whole current text of a box.
    virtual QString text(Control box) const = 0;
    // Shows the new text; a write that changes the text runs the box's change handling,
    // as a typed change does.
    virtual void setText(Control box, const QString& text) = 0;
    // Moves an image's top-left corner to a place given in pixels of the client area.
    virtual void moveImage(Control image, QPointF topLeftPixels) = 0;
    // Shows another image's picture, stretched to the image's own size.
    virtual void copyPicture(Control image, Control from) = 0;
};

// The control's design name ("Text6", "Image1"), and the control of a design name.
const char* nameOf(Control control);
std::optional<Control> controlNamed(QStringView name);
