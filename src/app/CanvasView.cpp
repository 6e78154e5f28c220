#include "CanvasView.h"

#include "canvas/Canvas.h"

#include <QMouseEvent>
#include <QPainter>

CanvasView::CanvasView(Canvas& canvas, PointerHandler onPointer, QWidget* parent)
    : QWidget(parent), canvas_(canvas), onPointer_(std::move(onPointer)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setMouseTracking(true);
    frame_.setSingleShot(true);
    frame_.setInterval(kFrameMs);
    connect(&frame_, &QTimer::timeout, this, &CanvasView::flush);
    canvas_.setDeviceRatio(devicePixelRatioF());
}

void CanvasView::showChanges() {
    const double ratio = canvas_.deviceRatio();
    for (const QRect& device : canvas_.takeDirtyRegion())
        pending_ += QRectF(device.topLeft() / ratio, device.size() / ratio).toAlignedRect();
    if (!frame_.isActive()) flush();
}

// The window may have moved to a screen of another density: the canvas follows it, and
// all of it is shown anew.
void CanvasView::followScreenDensity() {
    if (devicePixelRatioF() == canvas_.deviceRatio()) return;
    canvas_.setDeviceRatio(devicePixelRatioF());
    canvas_.takeDirty();
    update();
}

// Qt merges the requests of one frame into one paint event all the same; what the frame
// timer saves is the paint per event-loop pass that a drawing stepping every millisecond
// would otherwise get.
void CanvasView::flush() {
    if (pending_.isEmpty()) return;
    update(pending_);
    pending_ = QRegion();
    frame_.start();
}

// The raster is drawn 1:1 onto the screen's pixels: each area's device pixels, widened to
// whole ones, at their own place.
void CanvasView::paintEvent(QPaintEvent* event) {
    followScreenDensity();
    QPainter painter(this);
    const double ratio = canvas_.deviceRatio();
    for (const QRect& area : event->region()) {
        const QRect device =
            QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio).toAlignedRect();
        painter.drawImage(QPointF(device.topLeft()) / ratio, canvas_.raster(), device);
    }
}

void CanvasView::resizeEvent(QResizeEvent*) {
    canvas_.setClientSize(size());
    followScreenDensity();
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    onPointer_(Pointer::Press, event->position(), event->button());
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    onPointer_(Pointer::Move, event->position(), event->buttons());
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    onPointer_(Pointer::Release, event->position(), event->button());
}
