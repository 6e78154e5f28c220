#pragma once

#include "ControlCover.h"
#include "drawing/Action.h"

#include <QElapsedTimer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <functional>

class Drawing;

// The client area of the window: shows the drawing's raster, hands pointer events on the
// bare canvas on as actions, and tells the drawing its size and the screen's density.
// Knows nothing of what is drawn.
class CanvasView : public QWidget {
    Q_OBJECT
  public:
    // Takes a pointer action on the canvas.
    using PointerHandler = std::function<void(const action::OnCanvas&)>;

    CanvasView(Drawing& drawing, PointerHandler onPointer, QWidget* parent = nullptr);

    // Repaints the part of the raster that drawing has changed since the last call: the
    // rectangles the figures touched, not their bounding box. The first change after a
    // quiet frame is shown at once; later ones gather until the frame is over, so that
    // fast pointer events ask for at most one repaint per frame.
    void showChanges();
    // The same at once, for a caller that paces itself at one call per frame (the clock of
    // the endless drawings): waiting for the frame to be over would only wake the event
    // loop a second time.
    void showChangesNow();
    static constexpr int kFrameMs = 16;
    // Gives the drawing the screen's density where it has another.
    void adoptScreenDensity();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void flush();
    void takeCanvasChanges();
    void followScreenDensity();

    Drawing& drawing_;
    PointerHandler onPointer_;
    QRegion pending_;            // changed, not yet asked to repaint
    ControlCover cover_{*this};  // where controls hide the canvas
    QTimer frame_;               // runs while changes wait for the frame to be over
    QElapsedTimer sinceRepaint_; // since the last repaint request
    double screenRatio_ = 0;     // the density last seen
};
