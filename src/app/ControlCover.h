#pragma once

#include <QHash>
#include <QPoint>
#include <QRegion>

#include <utility>
#include <vector>

class QWidget;

// Where a widget's controls hide it: the pixels each visible child paints fully opaque.
// Canvas changes there need not reach the screen, and leaving them out spares the control
// a repaint (a button's caption shaped again) for a change nobody can see. A control that
// moves or hides later uncovers pixels that its parent repaints from the raster, so
// nothing stale shows.
//
// Each child's shape is learnt by painting it onto a transparent image, once the controls
// are built: controls here keep their size and paint the same pixels in every state (a
// button leaves its rounded corners to the parent, a box paints its whole rectangle in
// either background, the eye's pictures are all opaque).
class ControlCover {
  public:
    explicit ControlCover(const QWidget& parent) : parent_(parent) {}

    // Learns the shape of every child, hidden ones included, at the parent's density. Call
    // once the controls are built, and again when the density changes.
    void learn();
    // The part of the parent, in its coordinates, that its visible children cover. Worked
    // out again only when a child has moved, shown or hidden since the last call.
    QRegion covered();

    // The logical pixels that `widget` paints fully opaque at that device pixel ratio, in
    // its own coordinates: a pixel counts only if all of its device pixels are opaque.
    static QRegion opaqueShape(QWidget& widget, double ratio);

  private:
    QRegion learnt(QWidget& child) const;

    const QWidget& parent_;
    QHash<const QWidget*, QRegion> shapes_;
    using Placed = std::vector<std::pair<QWidget*, QPoint>>;
    Placed placed_;    // the visible children where covered_ has them
    Placed placedNow_; // kept to spare an allocation per call
    QRegion covered_;
};
