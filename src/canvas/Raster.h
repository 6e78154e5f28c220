#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>

// Aliased rasterisation straight into a 32-bit QImage. Positions are in pixels, with pixel
// (i, j) covering [i, i+1) x [j, j+1), so its centre is (i + 0.5, j + 0.5). Colours are
// stored unchanged (no blending). Every figure is clipped to `clip` (which must lie inside
// the image) once, before any pixel is touched, and returns the rectangle it painted
// (empty when nothing). Work per figure is bounded by the clipped area whatever the
// coordinates: far-away, huge, infinite and NaN figures cost (almost) nothing and paint
// nothing outside the clip. No figure allocates.
//
// The rules, w being the pen width in pixels, any real number (below 1 counts as 1):
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
//                             . # # # # .    r = 3, w = 1, c on a pixel corner:
//                             # . . . . #    the pixels whose centres lie
//                             # . . . . #    2.5 to 3.5 from c
//                             # . . . . #
//                             # . . . . #
//                             . # # # # .
//   segment(a, b, w) w = 1: the pixels containing a + (b - a) j / n, j = 0..n, where n is
//                           the larger of |floor(bx) - floor(ax)| and |floor(by) - floor(ay)|:
//                           along that (major) axis sample j lies in the j-th column or row
//                           from a's, so the line takes one pixel in each from a's pixel to
//                           b's, and each pixel touches the next at a side or a corner. The
//                           samples are placed exactly, as in real numbers, not rounded:
//                           positions count in 2^-64 of a pixel, which holds every double
//                           but those nearer zero than 2^-11 (these are rounded down to it).
//                           (A segment longer than 2^30 pixels is first cut to the clip.)
//                    w > 1: every pixel whose centre lies within w/2 of the segment ab
//                           (a capsule with round ends).
//
// The single-pixel figures also come on a coarser grid of cells k pixels across (k > 0),
// for a picture held at k times its drawing's resolution: cell (i, j) is every pixel whose
// centre lies in [ik, (i+1)k) x [jk, (j+1)k), so that cells tile the image, and positions
// are in cells. At k = 1 a cell is a pixel.
//
//   cell(p, k)          the cell that contains p.
//   cellSegment(a, b, k) the cells that segment(a, b, 1) would take as pixels.
//
// "Lies within" is decided exactly as inAnnulus and inCapsule below decide it, in doubles:
// the fast span code and these plain tests agree on every pixel.
namespace raster {

QRect dot(QImage& image, const QRect& clip, QPointF c, double width, QRgb colour);
QRect ring(QImage& image, const QRect& clip, QPointF c, double radius, double width, QRgb colour);
QRect segment(QImage& image, const QRect& clip, QPointF a, QPointF b, double width, QRgb colour);
QRect cell(QImage& image, const QRect& clip, QPointF p, double k, QRgb colour);
QRect cellSegment(QImage& image, const QRect& clip, QPointF a, QPointF b, double k, QRgb colour);

// The pixels of cell i along one axis: first(i) up to first(i + 1) - 1.
int firstPixelOfCell(double i, double k);

// Resampling a picture for a new device pixel ratio, k new pixels to an old one (k > 0):
// new pixel p takes the colour of the old pixel whose cell, k new pixels across, holds it,
// that is the old pixel under p's centre. Colours stay unblended, and the new pixels of a
// rectangle come from that rectangle's own, so a part resamples as it does in the whole.
// The new pixels that the old pixels of `rect` give (empty when k < 1 leaves none).
QRect resampledRect(const QRect& rect, double k);
// `pixels`, the old pixels of the rectangle at `topLeft`, resampled: the new pixels of
// resampledRect, in the same 32-bit format (null when there are none).
QImage resample(const QImage& pixels, QPoint topLeft, double k);

// Copies the 32-bit pixels of `source`, a rectangle of `from`, into `to` with its top-left
// at `at`; the rectangle lies inside both images there.
void copyPixels(const QImage& from, const QRect& source, QImage& to, QPoint at);

// The plain per-pixel forms of dot, ring and segment at width > 1: whether the pixel whose
// centre is p belongs to the figure. The span code above must agree with these exactly.
bool inAnnulus(QPointF p, QPointF c, double inner, double outer);
bool inCapsule(QPointF p, QPointF a, QPointF b, double halfWidth);

} // namespace raster
