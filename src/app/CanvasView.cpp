#include "CanvasView.h"

#include "canvas/Canvas.h"

#include <QMouseEvent>
#include <QPainter>

CanvasView::CanvasView(Canvas& canvas, PointerHandler onPointer, QWidget* parent)
    : QWidget(parent), canvas_(canvas), onPointer_(std::move(onPointer)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setMouseTracking(true);
}

void CanvasView::showChanges() {
    const QRect changed = canvas_.takeDirty();
    if (!changed.isEmpty()) update(changed);
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area.topLeft(), canvas_.raster(), area);
}

void CanvasView::resizeEvent(QResizeEvent*) {
    canvas_.setClientSize(size());
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
