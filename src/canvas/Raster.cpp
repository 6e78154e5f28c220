#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace raster {

namespace {

// Largest representable row or column bound; keeps every double -> int conversion defined.
constexpr double kFar = 1 << 30;

int clampToInt(double v) {
    return static_cast<int>(std::clamp(v, -kFar, kFar));
}

bool finite(QPointF p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

void fillSpan(QImage& image, int row, int from, int to, QRgb colour) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
    std::fill(line + from, line + to + 1, colour);
}

// First and last column of row `row` whose pixel centres satisfy `inside`, given a guess
// [from, to] from floating-point arithmetic that may be off by a pixel at either end.
// Nudges each end until it agrees with `inside` exactly.
template <typename Inside> void settle(int& from, int& to, int row, Inside inside) {
    const double y = row + 0.5;
    while (from <= to && !inside(QPointF(from + 0.5, y)))
        ++from;
    while (from - 1 >= -kFar && inside(QPointF(from - 0.5, y)))
        --from;
    while (to >= from && !inside(QPointF(to + 0.5, y)))
        --to;
    while (to + 1 <= kFar && inside(QPointF(to + 1.5, y)))
        ++to;
}

// Columns of row centre y whose centres lie within `radius` of c: [lo, hi], or lo > hi.
void discSpan(QPointF c, double radius, double y, double& lo, double& hi) {
    const double dy = y - c.y();
    const double d2 = radius * radius - dy * dy;
    if (d2 < 0) {
        lo = 1;
        hi = 0;
        return;
    }
    const double half = std::sqrt(d2);
    lo = std::ceil(c.x() - half - 0.5);
    hi = std::floor(c.x() + half - 0.5);
}

QRect annulus(QImage& image, const QRect& clip, QPointF c, double inner, double outer,
              QRgb colour) {
    if (!finite(c) || !std::isfinite(outer) || clip.isEmpty()) return {};
    const int top = std::max(clip.top(), clampToInt(std::ceil(c.y() - outer - 0.5)));
    const int bottom = std::min(clip.bottom(), clampToInt(std::floor(c.y() + outer - 0.5)));
    if (top > bottom || c.x() + outer < clip.left() || c.x() - outer > clip.right() + 1) return {};

    const auto inside = [&](QPointF p) { return inAnnulus(p, c, inner, outer); };
    QRect touched;
    for (int row = top; row <= bottom; ++row) {
        const double y = row + 0.5;
        double lo, hi, holeLo, holeHi;
        discSpan(c, outer, y, lo, hi);
        discSpan(c, inner > 0 ? inner : -1, y, holeLo, holeHi);
        const bool hole = inner > 0 && (y - c.y()) * (y - c.y()) < inner * inner;
        // Without a hole one span; with one, the spans left and right of it.
        const double spans[2][2] = {{lo, hole ? std::min(hi, holeLo - 1) : hi},
                                    {hole ? std::max(lo, holeHi + 1) : 1, hole ? hi : 0}};
        for (const auto& span : spans) {
            int from = clampToInt(std::max<double>(span[0], clip.left()));
            int to = clampToInt(std::min<double>(span[1], clip.right()));
            if (from > to) continue;
            // The guess is exact but for rounding; settle it against the rule, and keep
            // it inside the clip.
            settle(from, to, row, inside);
            from = std::max(from, clip.left());
            to = std::min(to, clip.right());
            if (from > to) continue;
            fillSpan(image, row, from, to, colour);
            touched |= QRect(QPoint(from, row), QPoint(to, row));
        }
    }
    return touched;
}

} // namespace

bool inAnnulus(QPointF p, QPointF c, double inner, double outer) {
    const double dx = p.x() - c.x(), dy = p.y() - c.y();
    const double d2 = dx * dx + dy * dy;
    return d2 <= outer * outer && (inner <= 0 || d2 >= inner * inner);
}

bool inCapsule(QPointF p, QPointF a, QPointF b, double halfWidth) {
    const double vx = b.x() - a.x(), vy = b.y() - a.y();
    const double length2 = vx * vx + vy * vy;
    double t = length2 > 0 ? ((p.x() - a.x()) * vx + (p.y() - a.y()) * vy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = p.x() - (a.x() + t * vx), dy = p.y() - (a.y() + t * vy);
    return dx * dx + dy * dy <= halfWidth * halfWidth;
}

QRect dot(QImage& image, const QRect& clip, QPointF c, int width, QRgb colour) {
    if (width > 1) return annulus(image, clip, c, -1, width / 2.0, colour);
    if (!finite(c)) return {};
    const double x = std::floor(c.x()), y = std::floor(c.y());
    if (x < clip.left() || x > clip.right() || y < clip.top() || y > clip.bottom()) return {};
    const QPoint pixel(static_cast<int>(x), static_cast<int>(y));
    fillSpan(image, pixel.y(), pixel.x(), pixel.x(), colour);
    return QRect(pixel, QSize(1, 1));
}

QRect ring(QImage& image, const QRect& clip, QPointF c, double radius, int width, QRgb colour) {
    radius = std::abs(radius);
    if (radius == 0) return dot(image, clip, c, width, colour);
    return annulus(image, clip, c, radius - width / 2.0, radius + width / 2.0, colour);
}

namespace {

// Liang-Barsky: narrows [t0, t1] of a + t (b - a) to the part inside the rectangle.
bool clipParameter(QPointF a, QPointF b, const QRectF& box, double& t0, double& t1) {
    const double d[2] = {b.x() - a.x(), b.y() - a.y()};
    const double lo[2] = {box.left() - a.x(), box.top() - a.y()};
    const double hi[2] = {box.right() - a.x(), box.bottom() - a.y()};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0) {
            if (lo[axis] > 0 || hi[axis] < 0) return false;
            continue;
        }
        double tLo = lo[axis] / d[axis], tHi = hi[axis] / d[axis];
        if (tLo > tHi) std::swap(tLo, tHi);
        t0 = std::max(t0, tLo);
        t1 = std::min(t1, tHi);
    }
    return t0 <= t1;
}

QRect thinSegment(QImage& image, const QRect& clip, QPointF a, QPointF b, QRgb colour) {
    const double length = std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
    const double n = std::floor(length);
    double t0 = 0, t1 = 1;
    const QRectF box(clip.left() - 1.0, clip.top() - 1.0, clip.width() + 2.0, clip.height() + 2.0);
    if (!clipParameter(a, b, box, t0, t1)) return {};
    if (n == 0) return dot(image, clip, a, 1, colour);
    QRect touched;
    const auto first = static_cast<long long>(std::ceil(t0 * n));
    const auto last = static_cast<long long>(std::floor(t1 * n));
    for (long long k = first; k <= last; ++k) {
        const double t = static_cast<double>(k) / n;
        touched |= dot(image, clip, a + (b - a) * t, 1, colour);
    }
    return touched;
}

} // namespace

QRect segment(QImage& image, const QRect& clip, QPointF a, QPointF b, int width, QRgb colour) {
    if (!finite(a) || !finite(b) || clip.isEmpty()) return {};
    if (width <= 1) return thinSegment(image, clip, a, b, colour);

    const double half = width / 2.0;
    const QRectF bounds = QRectF(a, b).normalized().adjusted(-half, -half, half, half);
    const int top = std::max(clip.top(), clampToInt(std::ceil(bounds.top() - 0.5)));
    const int bottom = std::min(clip.bottom(), clampToInt(std::floor(bounds.bottom() - 0.5)));
    const int left = std::max(clip.left(), clampToInt(std::ceil(bounds.left() - 0.5)));
    const int right = std::min(clip.right(), clampToInt(std::floor(bounds.right() - 0.5)));
    // Used once per pointer movement in circle mode, so the plain per-pixel test suffices.
    QRect touched;
    for (int row = top; row <= bottom; ++row) {
        int from = -1;
        for (int column = left; column <= right + 1; ++column) {
            const bool in =
                column <= right && inCapsule(QPointF(column + 0.5, row + 0.5), a, b, half);
            if (in && from < 0) from = column;
            if (!in && from >= 0) {
                fillSpan(image, row, from, column - 1, colour);
                touched |= QRect(QPoint(from, row), QPoint(column - 1, row));
                from = -1;
            }
        }
    }
    return touched;
}

} // namespace raster
