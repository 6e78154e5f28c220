#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>

// Aliased rasterisation straight into a 32-bit QImage. Positions are in pixels, with pixel
// (i, j) covering [i, i+1) x [j, j+1), so its centre is (i + 0.5, j + 0.5). Colours are
// stored unchanged (no blending). Every figure is clipped to `clip` (which must lie inside
// the image) once, before any pixel is touched, and returns the rectangle it painted
// (empty when nothing). Work per figure is bounded by the clipped area whatever the
// coordinates: far-away, huge and NaN figures cost (almost) nothing.
//
// The rules, w being the pen width in pixels:
//
//   dot(c, w)        w = 1: exactly the pixel that contains c.
//                    w > 1: every pixel whose centre lies within w/2 of c.
//                             . # # .      w = 4, c on a pixel corner:
//                             # # # #      a disc of diameter 4
//                             # # # #
//                             . # # .
//   ring(c, r, w)    r = 0: dot(c, w).
//                    r > 0: every pixel whose centre p has r - w/2 <= |p - c| <= r + w/2
//                           (an annulus; a full disc where r - w/2 <= 0).
//   segment(a, b, w) w = 1: the pixels containing a + (b - a) k / n, k = 0..n, where n is
//                           the number of whole pixels spanned along the major axis.
//                    w > 1: every pixel whose centre lies within w/2 of the segment ab
//                           (a capsule with round ends).
namespace raster {

QRect dot(QImage& image, const QRect& clip, QPointF c, int width, QRgb colour);
QRect ring(QImage& image, const QRect& clip, QPointF c, double radius, int width, QRgb colour);
QRect segment(QImage& image, const QRect& clip, QPointF a, QPointF b, int width, QRgb colour);

// The plain per-pixel forms of dot, ring and segment at width > 1: whether the pixel whose
// centre is p belongs to the figure. The span code above must agree with these exactly.
bool inAnnulus(QPointF p, QPointF c, double inner, double outer);
bool inCapsule(QPointF p, QPointF a, QPointF b, double halfWidth);

} // namespace raster
