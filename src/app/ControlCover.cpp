#include "ControlCover.h"

#include <QImage>
#include <QWidget>

void ControlCover::learn() {
    shapes_.clear();
    for (QWidget* child : parent_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        shapes_.insert(child, learnt(*child));
}

QRegion ControlCover::covered() {
    QRegion region;
    for (QWidget* child : parent_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isHidden()) continue;
        auto shape = shapes_.constFind(child);
        if (shape == shapes_.constEnd()) shape = shapes_.insert(child, learnt(*child));
        region += shape->translated(child->pos());
    }
    return region;
}

// A control that paints its whole rectangle itself is told so: Qt then paints nothing
// beneath it when it repaints, and moves it (the eye) by copying its pixels. One that
// fills its background through Qt is opaque to Qt already, and must stay unmarked, or Qt
// would stop filling it.
QRegion ControlCover::learnt(QWidget& child) const {
    QRegion shape = opaqueShape(child, parent_.devicePixelRatioF());
    if (shape == QRegion(child.rect()) && !child.autoFillBackground())
        child.setAttribute(Qt::WA_OpaquePaintEvent);
    return shape;
}

namespace {

// Whether every device pixel of logical pixel (x, y) is opaque.
bool opaqueAt(const QImage& image, int x, int y, double ratio) {
    const QRect device = QRectF(x * ratio, y * ratio, ratio, ratio).toAlignedRect();
    for (int dy = device.top(); dy <= device.bottom(); ++dy)
        for (int dx = device.left(); dx <= device.right(); ++dx)
            if (!image.valid(dx, dy) || qAlpha(image.pixel(dx, dy)) != 255) return false;
    return true;
}

} // namespace

// Only the widget itself and its children are painted: no parent background shows through.
QRegion ControlCover::opaqueShape(QWidget& widget, double ratio) {
    const QSize logical = widget.size();
    QImage image(QSizeF(logical * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    widget.render(&image, {}, {}, QWidget::DrawChildren);
    QRegion shape;
    for (int y = 0; y < logical.height(); ++y) {
        for (int x = 0; x < logical.width();) {
            if (!opaqueAt(image, x, y, ratio)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < logical.width() && opaqueAt(image, x, y, ratio))
                ++x;
            shape += QRect(start, y, x - start, 1);
        }
    }
    return shape;
}
