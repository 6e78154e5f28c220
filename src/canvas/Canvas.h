#pragma once

#include "Numbers.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <utility>

// The drawing surface: an off-screen raster with the settings and operations the drawing
// logic relies on. Coordinates and radii are in the current unit (ScaleMode 1: twips,
// 15 per pixel; 3: pixels), origin top-left, y downward; pen widths are always pixels.
//
// The raster has the screen's resolution: k device pixels to a pixel of the client area
// (k the device pixel ratio, 1 unless set), and every figure is drawn at it from the same
// geometry: radii, centres and pen widths times k; a dot or line 1 pixel wide covers
// whole client pixels, each the device pixels whose centres lie in it.
//
// The raster keeps its drawing: it grows with the client area and never shrinks, so a
// window that is made smaller and larger again shows what was drawn. Figures are clipped
// to the current client area. The window paints what takeDirtyRegion() returns, in client
// pixels; takeDirty() gives the bounds in device pixels.
class Canvas {
  public:
    static constexpr int kTwipsPerPixel = 15;
    enum ScaleModes : qint16 { Twips = 1, Pixels = 3 };

    explicit Canvas(QSize clientSize);

    // Settings.
    qint16 scaleMode() const { return settings_.scaleMode; }
    void setScaleMode(qint16 mode);
    double scaleWidth() const { return fromPixels(client_.width()); }
    double scaleHeight() const { return fromPixels(client_.height()); }
    numbers::Colour backColor() const { return kBackColor; }
    numbers::Colour foreColor() const { return settings_.foreColor; }
    void setForeColor(numbers::Colour colour);
    qint16 drawWidth() const { return settings_.drawWidth; }
    void setDrawWidth(qint16 pixels); // 1..32767; smaller values count as 1
    double fontSize() const { return settings_.fontSize; }
    void setFontSize(double points);
    double currentX() const { return settings_.currentX; }
    double currentY() const { return settings_.currentY; }
    void setCurrentX(double x) { settings_.currentX = x; }
    void setCurrentY(double y) { settings_.currentY = y; }

    // Drawing operations.
    void Cls();
    void PSet(float x, float y, numbers::Colour colour);
    // Without a colour the outline takes ForeColor. A radius of 0 draws a dot.
    void Circle(float x, float y, float radius, std::optional<numbers::Colour> colour = {});
    // The figure of option word 6: the segment from (x1, y1) to (x2, y2).
    void Line(float x1, float y1, float x2, float y2, numbers::Colour colour);
    void Print(const QString& text);
    // A picture (opaque RGB32) at the top-left, image pixel (i, j) on the device pixels of
    // client pixel (i, j), as a new ratio resamples the raster. Unlike a figure it is not
    // clipped to the client area: the raster grows to hold all of it, so that the picture
    // is there whether the window has grown to show it yet or not.
    void PaintPicture(const QImage& picture);
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;

    // Unit conversions between the current unit and pixels.
    double toPixels(double units) const { return units / unitsPerPixel(); }
    double fromPixels(double pixels) const { return pixels * unitsPerPixel(); }

    // The window's side.
    QSize clientSize() const { return client_; }
    void setClientSize(QSize size);
    // The raster, in device pixels; its devicePixelRatio() is the ratio.
    const QImage& raster() const { return raster_; }
    double deviceRatio() const { return ratio_; }
    // A new ratio (> 0) keeps the drawing so far, resampled to the new resolution
    // (raster::resample, k = new ratio / old), then calls the follower set below.
    void setDeviceRatio(double ratio);
    // How many device pixels of ratio `to` a device pixel of ratio `from` becomes.
    static double resampling(double from, double to) { return to / from; }
    // Called after every resampling: what keeps pictures of the raster (the history)
    // resamples them alike. One follower at a time; an empty function removes it.
    void setResampleFollower(std::function<void()> follower) {
        resampleFollower_ = std::move(follower);
    }
    // The client area in device pixels: its size times the ratio, rounded up.
    QSize deviceSize() const;
    // The device pixels that make up the client pixel p.
    QRect devicePixels(QPoint p) const;
    // The picture the user sees: the client area's device pixels.
    QImage picture() const;
    // A raster grown to `size` (no smaller than it) as the canvas grows its own, at the
    // given ratio: what was drawn stays at the top left, new pixels take the back colour.
    static QImage grow(const QImage& raster, QSize size, double ratio);
    // What drawing has changed since the last take: the bounding rectangle in device
    // pixels, or the rectangles of the figures widened to whole client pixels, so that dots
    // far apart are not repainted as one large rectangle. Past kDirtyRects figures (more than an
    // endless drawing's batch of steps, fewer than a generated picture) the rectangles so far merge
    // into their bounds.
    static constexpr int kDirtyRects = 64;
    QRect takeDirty();
    QRegion takeDirtyRegion();
    // The bounds of what drawing has changed since the last take, for the history; kept
    // apart from the repaint bookkeeping above, which the window takes far more often.
    QRect takeChanged() { return std::exchange(changed_, QRect()); }
    QRect changed() const { return changed_; }
    // Exchanges the raster's pixels in the rectangle of `pixels` at `topLeft`, which must
    // lie inside the raster, with `pixels` (same format): how the history steps back and
    // forth. Marked for repainting, not as a change.
    void exchangePixels(QImage& pixels, QPoint topLeft);
    void setFont(const QFont& font) { font_ = font; }

    // The settings the drawing logic writes, and the pen's place.
    struct Settings {
        qint16 scaleMode = Twips;
        numbers::Colour foreColor = 0;
        qint16 drawWidth = 1;
        double fontSize = 9;
        double currentX = 0;
        double currentY = 0;
    };
    // Everything a canvas holds but its font and its trace: what a checkpoint keeps.
    struct Saved {
        QImage raster;
        QSize client;
        double ratio = 1;
        Settings settings;
        QRect changed; // for the history
    };
    Saved save() const;
    // Takes all of `saved` over (a raster of the client area's device size or larger, in the
    // canvas's format, at `saved.ratio`; `changed` within it); all of it is to be repainted.
    void restore(Saved saved);

    // Receives one line per operation and setting write while set (for the replay trace).
    void setTrace(std::function<void(const QString&)> trace) { trace_ = std::move(trace); }

  private:
    static constexpr numbers::Colour kBackColor = 0xFFFFFF;

    int unitsPerPixel() const { return settings_.scaleMode == Twips ? kTwipsPerPixel : 1; }
    QRect clip() const { return QRect(QPoint(0, 0), deviceSize()); }
    QPointF toDevice(float x, float y) const {
        return {toPixels(x) * ratio_, toPixels(y) * ratio_};
    }
    double deviceWidth() const { return settings_.drawWidth * ratio_; }
    void dot(float x, float y, numbers::Colour colour);
    void growRaster(QSize size);
    QFont printFont() const;
    void touch(const QRect& rect);
    // One trace line, formatted as printf formats it.
    void trace(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void markDirty(const QRect& rect);

    QImage raster_;
    QSize client_;
    std::array<QRect, kDirtyRects> dirty_;
    int dirtyCount_ = 0;
    QRect changed_;
    QFont font_;
    double ratio_ = 1;
    Settings settings_;
    std::function<void(const QString&)> trace_;
    std::function<void()> resampleFollower_;
};
