#include "CanvasView.h"

#include "drawing/Drawing.h"

#include <QMouseEvent>
#include <QPainter>

CanvasView::CanvasView(Drawing& drawing, PointerHandler onPointer, QWidget* parent)
    : QWidget(parent), drawing_(drawing), onPointer_(std::move(onPointer)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setMouseTracking(true);
    frame_.setSingleShot(true);
    connect(&frame_, &QTimer::timeout, this, &CanvasView::flush);
    followScreenDensity();
}

void CanvasView::showChanges() {
    takeCanvasChanges();
    if (pending_.isEmpty() || frame_.isActive()) return;
    const qint64 left = sinceRepaint_.isValid() ? kFrameMs - sinceRepaint_.elapsed() : 0;
    if (left <= 0)
        flush();
    else
        frame_.start(int(left));
}

void CanvasView::showChangesNow() {
    takeCanvasChanges();
    flush();
}

void CanvasView::takeCanvasChanges() { pending_ += drawing_.takeRepaintRegion(); }

// The window may have moved to a screen of another density: the canvas follows it, and
// all of it is shown anew. Only a new density counts, so that a drawing brought back at
// the ratio it was made at keeps it until the window moves.
void CanvasView::followScreenDensity() {
    if (devicePixelRatioF() == screenRatio_) return;
    screenRatio_ = devicePixelRatioF();
    adoptScreenDensity();
}

void CanvasView::adoptScreenDensity() {
    if (devicePixelRatioF() == drawing_.canvas().deviceRatio()) return;
    drawing_.take(action::DeviceRatio{devicePixelRatioF()});
    drawing_.forgetRepaints();
    cover_.learn();
    update();
}

// Qt merges the requests of one frame into one paint event all the same; what the frame
// gate saves is a paint per event-loop pass when events come faster than frames. Changes
// under a control are left out: they stay unseen until the control moves or hides.
void CanvasView::flush() {
    frame_.stop();
    if (pending_.isEmpty()) return;
    update(pending_ - cover_.covered());
    pending_ = QRegion();
    sinceRepaint_.start();
}

// The raster is drawn 1:1 onto the screen's pixels: each area's device pixels, widened to
// whole ones, at their own place.
void CanvasView::paintEvent(QPaintEvent* event) {
    followScreenDensity();
    QPainter painter(this);
    const Canvas& canvas = drawing_.canvas();
    const double ratio = canvas.deviceRatio();
    for (const QRect& area : event->region()) {
        const QRect device =
            QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio).toAlignedRect();
        painter.drawImage(QPointF(device.topLeft()) / ratio, canvas.raster(), device);
    }
}

// The controls are built and styled by the time the window shows.
void CanvasView::showEvent(QShowEvent*) { cover_.learn(); }

void CanvasView::resizeEvent(QResizeEvent*) {
    drawing_.take(action::ClientSize{size()});
    followScreenDensity();
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    onPointer_({action::Pointer::Press, event->position(), event->button()});
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    onPointer_({action::Pointer::Move, event->position()});
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    onPointer_({action::Pointer::Release, event->position(), event->button()});
}
