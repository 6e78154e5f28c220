#include "ControlCover.h"

#include <QImage>
#include <QWidget>

void ControlCover::learn() {
    shapes_.clear();
    placed_.clear();
    covered_ = QRegion();
    for (QWidget* child : parent_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        shapes_.insert(child, learnt(*child));
}

// Walks the list of children rather than asking findChildren(), which allocates and casts
// through the meta-object: this runs at every frame of an endless drawing.
QRegion ControlCover::covered() {
    placedNow_.clear();
    for (QObject* object : parent_.children()) {
        if (!object->isWidgetType()) continue;
        auto* child = static_cast<QWidget*>(object);
        if (!child->isHidden()) placedNow_.emplace_back(child, child->pos());
    }
    if (placedNow_ == placed_) return covered_;
    covered_ = QRegion();
    for (const auto& [child, at] : placedNow_) {
        auto shape = shapes_.constFind(child);
        if (shape == shapes_.constEnd()) shape = shapes_.insert(child, learnt(*child));
        covered_ += shape->translated(at);
    }
    std::swap(placed_, placedNow_);
    return covered_;
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
