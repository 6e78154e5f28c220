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
    connect(&frame_, &QTimer::timeout, this, &CanvasView::flush);
}

void CanvasView::showChanges() {
    pending_ += canvas_.takeDirtyRegion();
    if (pending_.isEmpty() || frame_.isActive()) return;
    const qint64 left = sinceRepaint_.isValid() ? kFrameMs - sinceRepaint_.elapsed() : 0;
    if (left <= 0)
        flush();
    else
        frame_.start(int(left));
}

void CanvasView::showChangesNow() {
    pending_ += canvas_.takeDirtyRegion();
    flush();
}

// Qt merges the requests of one frame into one paint event all the same; what the frame
// gate saves is a paint per event-loop pass when events come faster than frames.
void CanvasView::flush() {
    frame_.stop();
    if (pending_.isEmpty()) return;
    update(pending_);
    pending_ = QRegion();
    sinceRepaint_.start();
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const QRect& area : event->region())
        painter.drawImage(area.topLeft(), canvas_.raster(), area);
}

void CanvasView::resizeEvent(QResizeEvent*) { canvas_.setClientSize(size()); }

void CanvasView::mousePressEvent(QMouseEvent* event) {
    onPointer_(Pointer::Press, event->position(), event->button());
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    onPointer_(Pointer::Move, event->position(), event->buttons());
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    onPointer_(Pointer::Release, event->position(), event->button());
}
