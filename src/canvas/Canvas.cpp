#include "Canvas.h"

#include "Raster.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

QRgb toRgb(numbers::Colour c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

} // namespace

Canvas::Canvas(QSize clientSize)
    : raster_(clientSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32), client_(clientSize) {
    raster_.fill(toRgb(kBackColor));
}

// Formats with the C library, whose %g rounds exact ties as every other C program does.
void Canvas::trace(const char* format, ...) const {
    if (!trace_) return;
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    std::string line(std::vsnprintf(nullptr, 0, format, args), '\0');
    std::vsnprintf(line.data(), line.size() + 1, format, again);
    va_end(again);
    va_end(args);
    trace_(QString::fromStdString(line));
}

void Canvas::setScaleMode(qint16 mode) {
    settings_.scaleMode = mode == Pixels ? Pixels : Twips;
    trace("scalemode %d", int(mode));
}

void Canvas::setForeColor(numbers::Colour colour) {
    settings_.foreColor = colour & 0xFFFFFF;
    trace("forecolor %u", settings_.foreColor);
}

void Canvas::setDrawWidth(qint16 pixels) {
    settings_.drawWidth = std::max<qint16>(pixels, 1);
    trace("drawwidth %d", int(settings_.drawWidth));
}

void Canvas::setFontSize(double points) {
    settings_.fontSize = points;
    trace("fontsize %.9g", points);
}

void Canvas::setClientSize(QSize size) {
    client_ = size.expandedTo(QSize(0, 0));
    growRaster(raster_.size());
}

QSize Canvas::deviceSize() const {
    return QSize(static_cast<int>(std::ceil(client_.width() * ratio_)),
                 static_cast<int>(std::ceil(client_.height() * ratio_)));
}

QRect Canvas::devicePixels(QPoint p) const {
    const QPoint first(raster::firstPixelOfCell(p.x(), ratio_),
                       raster::firstPixelOfCell(p.y(), ratio_));
    const QPoint next(raster::firstPixelOfCell(p.x() + 1, ratio_),
                      raster::firstPixelOfCell(p.y() + 1, ratio_));
    return QRect(first, next - QPoint(1, 1));
}

// Null while the client area is empty (QImage::copy would take the whole raster).
QImage Canvas::picture() const { return client_.isEmpty() ? QImage() : raster_.copy(clip()); }

// A raster of at least `size` and the client area, holding the drawing so far at the
// current ratio.
void Canvas::growRaster(QSize size) {
    const QSize grown = size.expandedTo(deviceSize()).expandedTo(QSize(1, 1));
    if (grown == raster_.size() && raster_.devicePixelRatio() == ratio_) return;
    raster_ = grow(raster_, grown, ratio_);
}

// Copied 1:1 when the ratio is the raster's own, resampled when it differs.
QImage Canvas::grow(const QImage& raster, QSize size, double ratio) {
    QImage larger(size, QImage::Format_RGB32);
    larger.setDevicePixelRatio(ratio);
    larger.fill(toRgb(kBackColor));
    const double k = resampling(raster.devicePixelRatio(), ratio);
    const QImage drawn = k == 1 ? raster : raster::resample(raster, QPoint(0, 0), k);
    raster::copyPixels(drawn, drawn.rect() & larger.rect(), larger, QPoint(0, 0));
    return larger;
}

// What was drawn and not yet taken as changed stays so, at its new place; the resampled
// pixels themselves are no change of the picture, only to be shown.
void Canvas::setDeviceRatio(double ratio) {
    if (!(ratio > 0) || !std::isfinite(ratio) || ratio == ratio_) return;
    const double k = resampling(ratio_, ratio);
    ratio_ = ratio;
    growRaster(QSize(static_cast<int>(std::ceil(raster_.width() * k)),
                     static_cast<int>(std::ceil(raster_.height() * k))));
    const QRect changed = raster::resampledRect(changed_, k) & raster_.rect();
    changed_ = changed.isEmpty() ? QRect() : changed;
    dirtyCount_ = 0;
    markDirty(raster_.rect());
    if (resampleFollower_) resampleFollower_();
}

Canvas::Saved Canvas::save() const { return {raster_, client_, ratio_, settings_, changed_}; }

void Canvas::restore(Saved saved) {
    raster_ = std::move(saved.raster);
    client_ = saved.client;
    ratio_ = saved.ratio;
    settings_ = saved.settings;
    raster_.setDevicePixelRatio(ratio_);
    growRaster(raster_.size());
    dirtyCount_ = 0;
    markDirty(raster_.rect());
    changed_ = saved.changed & raster_.rect();
}

void Canvas::touch(const QRect& rect) {
    if (rect.isEmpty()) return;
    // What QRect's union does, inline: this runs for every figure.
    changed_ = changed_.isNull() ? rect
                                 : QRect(QPoint(std::min(changed_.left(), rect.left()),
                                                std::min(changed_.top(), rect.top())),
                                         QPoint(std::max(changed_.right(), rect.right()),
                                                std::max(changed_.bottom(), rect.bottom())));
    markDirty(rect);
}

void Canvas::markDirty(const QRect& rect) {
    if (dirtyCount_ == kDirtyRects) {
        const QRect bounds = takeDirty();
        dirty_[dirtyCount_++] = bounds;
    }
    dirty_[dirtyCount_++] = rect;
}

QRect Canvas::takeDirty() {
    QRect bounds;
    for (int i = 0; i < dirtyCount_; ++i)
        bounds |= dirty_[i];
    dirtyCount_ = 0;
    return bounds;
}

// Added from the top down, each rectangle mostly extends the region's last bands instead of
// splitting bands in the middle: half the time of adding them as they came.
QRegion Canvas::takeDirtyRegion() {
    std::sort(dirty_.begin(), dirty_.begin() + dirtyCount_,
              [](const QRect& a, const QRect& b) { return a.top() < b.top(); });
    QRegion region;
    for (int i = 0; i < dirtyCount_; ++i) {
        const QRect& device = dirty_[i];
        region += QRectF(QPointF(device.topLeft()) / ratio_, QSizeF(device.size()) / ratio_)
                      .toAlignedRect();
    }
    dirtyCount_ = 0;
    return region;
}

void Canvas::exchangePixels(QImage& pixels, QPoint topLeft) {
    const QRect rect(topLeft, pixels.size());
    Q_ASSERT(raster_.rect().contains(rect) && pixels.format() == raster_.format());
    for (int y = 0; y < rect.height(); ++y) {
        auto* ours = reinterpret_cast<QRgb*>(raster_.scanLine(rect.top() + y)) + rect.left();
        auto* theirs = reinterpret_cast<QRgb*>(pixels.scanLine(y));
        std::swap_ranges(ours, ours + rect.width(), theirs);
    }
    markDirty(rect);
}

void Canvas::Cls() {
    trace("cls");
    raster_.fill(toRgb(kBackColor));
    dirtyCount_ = 0; // all of it is changed
    touch(raster_.rect());
    settings_.currentX = settings_.currentY = 0;
}

void Canvas::dot(float x, float y, numbers::Colour colour) {
    if (settings_.drawWidth == 1)
        touch(raster::cell(raster_, clip(), QPointF(toPixels(x), toPixels(y)), ratio_,
                           toRgb(colour)));
    else
        touch(raster::dot(raster_, clip(), toDevice(x, y), deviceWidth(), toRgb(colour)));
}

void Canvas::PSet(float x, float y, numbers::Colour colour) {
    trace("pset %.9g %.9g %u %d", double(x), double(y), colour, int(settings_.drawWidth));
    dot(x, y, colour);
}

void Canvas::Circle(float x, float y, float radius, std::optional<numbers::Colour> colour) {
    const numbers::Colour c = colour.value_or(settings_.foreColor);
    trace("circle %.9g %.9g %.9g %u %d", double(x), double(y), double(radius), c,
          int(settings_.drawWidth));
    if (radius == 0) return dot(x, y, c);
    touch(raster::ring(raster_, clip(), toDevice(x, y), toPixels(radius) * ratio_, deviceWidth(),
                       toRgb(c)));
}

void Canvas::Line(float x1, float y1, float x2, float y2, numbers::Colour colour) {
    trace("line %.9g %.9g %.9g %.9g %u %d", double(x1), double(y1), double(x2), double(y2), colour,
          int(settings_.drawWidth));
    if (settings_.drawWidth == 1)
        touch(raster::cellSegment(raster_, clip(), QPointF(toPixels(x1), toPixels(y1)),
                                  QPointF(toPixels(x2), toPixels(y2)), ratio_, toRgb(colour)));
    else
        touch(raster::segment(raster_, clip(), toDevice(x1, y1), toDevice(x2, y2), deviceWidth(),
                              toRgb(colour)));
}

QFont Canvas::printFont() const {
    QFont font = font_;
    // Points at 96 dots per inch, the density the twips ratio assumes.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(settings_.fontSize * 96.0 / 72.0))));
    font.setStyleStrategy(QFont::NoAntialias); // colours are drawn unchanged, never blended
    return font;
}

void Canvas::Print(const QString& text) {
    trace("print %.9g %.9g %s", settings_.currentX, settings_.currentY, qUtf8Printable(text));
    const QPointF topLeft(toPixels(settings_.currentX), toPixels(settings_.currentY));
    if (!std::isfinite(topLeft.x()) || !std::isfinite(topLeft.y())) return;
    const QFont font = printFont();
    const QFontMetricsF metrics(font);
    const QRectF box(topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
    if (!box.intersects(QRectF(clip()))) return;
    QPainter painter(&raster_); // in client pixels: the raster's ratio scales to device ones
    painter.setClipRect(QRect(QPoint(0, 0), client_));
    painter.setFont(font);
    painter.setPen(QColor(toRgb(settings_.foreColor)));
    painter.drawText(topLeft + QPointF(0, metrics.ascent()), text);
    const QRectF device(box.topLeft() * ratio_, box.size() * ratio_);
    touch(device.toAlignedRect() & clip());
}

void Canvas::PaintPicture(const QImage& picture) {
    trace("paintpicture %d %d", picture.width(), picture.height());
    if (picture.isNull()) return;
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    const QImage device = ratio_ == 1 ? opaque : raster::resample(opaque, QPoint(0, 0), ratio_);
    if (device.isNull()) return;
    growRaster(raster_.size().expandedTo(device.size()));
    raster::copyPixels(device, device.rect(), raster_, QPoint(0, 0));
    touch(device.rect());
}

double Canvas::TextWidth(const QString& text) const {
    return fromPixels(QFontMetricsF(printFont()).horizontalAdvance(text));
}

double Canvas::TextHeight(const QString&) const {
    return fromPixels(QFontMetricsF(printFont()).height());
}
