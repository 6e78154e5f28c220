#include "Raster.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace raster {

namespace {

// Largest row or column bound kept; keeps every double -> int conversion defined.
constexpr double kFar = 1 << 30;
// Within this many pixels of the origin (centres, radii, pen widths) figures are drawn by
// spans; beyond it they are tested pixel by pixel.
constexpr double kNear = 1 << 20;

int clampToInt(double v) { return static_cast<int>(std::clamp(v, -kFar, kFar)); }

bool finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// The rows of the clip whose pixel centres lie between y = low and y = high:
// [top, bottom], empty when top > bottom.
void rowsBetween(const QRect& clip, double low, double high, int& top, int& bottom) {
    top = std::max(clip.top(), clampToInt(std::ceil(low - 0.5)));
    bottom = std::min(clip.bottom(), clampToInt(std::floor(high - 0.5)));
}

// Fills `count` pixels from `first` on. Runs are short (tens of pixels), so they go four
// pixels to a store, the last four overlapping the ones before instead of a tail of ones.
void fillRun(QRgb* first, int count, QRgb colour) {
    if (count < 4) {
        for (int i = 0; i < count; ++i)
            first[i] = colour;
        return;
    }
    const struct { QRgb pixels[4]; } four{{colour, colour, colour, colour}};
    QRgb* const lastFour = first + count - 4;
    for (QRgb* p = first; p < lastFour; p += 4)
        std::memcpy(p, &four, sizeof four);
    std::memcpy(lastFour, &four, sizeof four);
}

// Fills horizontal runs of one figure: the image's rows are looked up, and the clip's
// columns applied, here and nowhere else. Remembers the rectangle it filled.
class Spans {
  public:
    Spans(QImage& image, const QRect& clip, QRgb colour)
        : bits_(image.bits()), stride_(image.bytesPerLine()), left_(clip.left()),
          right_(clip.right()), colour_(colour) {}

    // Columns from..to of `row`, which must lie in the clip's rows; either end may lie
    // outside its columns.
    void fill(int row, int from, int to) {
        from = std::max(from, left_);
        to = std::min(to, right_);
        if (from > to) return;
        fillRun(reinterpret_cast<QRgb*>(bits_ + row * stride_) + from, to - from + 1, colour_);
        minX_ = std::min(minX_, from);
        maxX_ = std::max(maxX_, to);
        minY_ = std::min(minY_, row);
        maxY_ = std::max(maxY_, row);
    }

    QRect touched() const {
        return minX_ > maxX_ ? QRect() : QRect(QPoint(minX_, minY_), QPoint(maxX_, maxY_));
    }

    int left() const { return left_; }
    int right() const { return right_; }

  private:
    uchar* bits_;
    qsizetype stride_;
    int left_, right_;
    QRgb colour_;
    int minX_ = INT_MAX, maxX_ = INT_MIN, minY_ = INT_MAX, maxY_ = INT_MIN;
};

// Every pixel of rows top..bottom and columns left..right whose centre satisfies `inside`,
// tested one by one: the slow path, for figures too far out for span arithmetic. The
// work is bounded by the clip whatever the figure.
template <typename Inside>
void fillTested(Spans& spans, int top, int bottom, int left, int right, Inside inside) {
    left = std::max(left, spans.left());
    right = std::min(right, spans.right());
    for (int row = top; row <= bottom; ++row) {
        int from = left;
        for (int column = left; column <= right + 1; ++column) {
            if (column <= right && inside(QPointF(column + 0.5, row + 0.5))) continue;
            spans.fill(row, from, column - 1);
            from = column + 1;
        }
    }
}

// The pixels of cell (x, y), k pixels across, that lie in the clip.
void fillCell(Spans& spans, const QRect& clip, double x, double y, double k) {
    const int top = std::max(clip.top(), firstPixelOfCell(y, k));
    const int bottom = std::min(clip.bottom(), firstPixelOfCell(y + 1, k) - 1);
    const int from = firstPixelOfCell(x, k), to = firstPixelOfCell(x + 1, k) - 1;
    for (int row = top; row <= bottom; ++row)
        spans.fill(row, from, to);
}

// ---- Annuli about a centre on the half-pixel grid, in integers ----
//
// With 2c whole, every pixel centre p lies at a whole number of half pixels from c:
// p - c = (X, Y) / 2 with X = 2i + 1 - 2cx, Y = 2j + 1 - 2cy. Then |p - c|^2 = (X^2 + Y^2)/4
// exactly in doubles (the numbers stay below 2^53), and the rule's comparisons become
// X^2 + Y^2 <= floor(4 outer^2) and, for the hole, X^2 + Y^2 <= ceil(4 inner^2) - 1.
// All X of one figure have the parity of 1 - 2cx, and the columns of a row are symmetric
// in X, so one bound per circle and row decides both ends.

using Int = std::int64_t;

// The largest x >= 0 with x's parity and x^2 <= a, walked from a previous answer `x`
// (p - 2 means none). Going down a circle the answer changes a little from row to row,
// so each row takes a step or two instead of a square root:
//   plain: x = floor(sqrt(a)), less 1 if its parity is wrong.
Int walkBound(Int x, Int a) {
    while ((x + 2) * (x + 2) <= a)
        x += 2;
    while (x >= 0 && x * x > a)
        x -= 2;
    return x;
}

// The same bound computed afresh, for the first row.
Int bound(Int parity, Int a) {
    if (a < 0) return parity - 2;
    Int x = static_cast<Int>(std::sqrt(static_cast<double>(a)));
    if ((x - parity) & 1) --x;
    return walkBound(x, a);
}

// Rows j and cy2 - 1 - j lie at Y and -Y, so one pair of bounds serves both: the rows are
// taken in pairs by |Y|, from the farthest in to the nearest.
void gridAnnulus(Spans& spans, int top, int bottom, QPointF c, double inner, double outer) {
    const Int cx2 = static_cast<Int>(2 * c.x()), cy2 = static_cast<Int>(2 * c.y());
    const Int parity = (1 - cx2) & 1;
    const Int outerLimit = static_cast<Int>(std::floor(4 * (outer * outer)));
    const Int holeLimit = inner > 0 ? static_cast<Int>(std::ceil(4 * (inner * inner))) - 1 : -1;
    const auto column = [cx2](Int x) { return static_cast<int>((x - 1 + cx2) >> 1); }; // even
    const auto fillRow = [&](Int row, Int edge, Int hole) {
        if (row < top || row > bottom) return;
        if (hole < 0) {
            spans.fill(int(row), column(-edge), column(edge));
        } else {
            spans.fill(int(row), column(-edge), column(-hole - 2));
            spans.fill(int(row), column(hole + 2), column(edge));
        }
    };

    const Int yTop = 2 * Int(top) + 1 - cy2, yBottom = 2 * Int(bottom) + 1 - cy2;
    const Int farthest = std::max(-yTop, yBottom);
    const Int nearest = yTop > 0 ? yTop : yBottom < 0 ? -yBottom : (1 - cy2) & 1;
    Int edge = bound(parity, outerLimit - farthest * farthest);
    Int hole = bound(parity, holeLimit - farthest * farthest);
    for (Int y = farthest; y >= nearest; y -= 2) {
        edge = walkBound(edge, outerLimit - y * y);
        hole = walkBound(hole, holeLimit - y * y);
        if (edge < 0) continue;
        fillRow((cy2 - 1 - y) >> 1, edge, hole);
        if (y != 0) fillRow((cy2 - 1 + y) >> 1, edge, hole);
    }
}

// ---- Annuli about any centre, in doubles ----
//
// For one row, the rule's test fl(fl((i + 0.5 - cx)^2) + dy^2) <= outer^2 is monotone in
// |i + 0.5 - cx| even with rounding, so the row's pixels form one run, and the hole's
// another, both about the column nearest cx. From one row to the next a run's ends move
// little, so each row starts from the ends of the row before and walks them with the test
// itself: exact by construction, and without a square root.

// The run of columns in lo..hi whose centres satisfy `inside`, walked from `from`, `to`,
// the run of the row before; `nearest` is the column of lo..hi nearest the centre, which
// the run contains unless it is empty. Returns whether it is not.
//   plain: from = the least i in lo..hi with inside(i), to = the greatest.
template <typename Inside>
bool walkRun(int nearest, int lo, int hi, int& from, int& to, Inside inside) {
    if (!inside(nearest)) {
        from = to = nearest;
        return false;
    }
    from = std::clamp(from, lo, nearest);
    to = std::clamp(to, nearest, hi);
    if (inside(from)) {
        while (from > lo && inside(from - 1))
            --from;
    } else {
        do
            ++from;
        while (!inside(from));
    }
    if (inside(to)) {
        while (to < hi && inside(to + 1))
            ++to;
    } else {
        do
            --to;
        while (!inside(to));
    }
    return true;
}

// The rule's test for the pixels of one row, in the doubles of inAnnulus.
class DoubleRow {
  public:
    DoubleRow(int row, QPointF c, double inner, double outer)
        : cx_(c.x()), dy2_(square((row + 0.5) - c.y())), outer2_(square(outer)),
          inner2_(square(inner)) {}
    bool inDisc(int column) const { return d2(column) <= outer2_; }
    bool inHole(int column) const { return d2(column) < inner2_; }

  private:
    static double square(double v) { return v * v; }
    double d2(int column) const { return square((column + 0.5) - cx_) + dy2_; }
    double cx_, dy2_, outer2_, inner2_;
};

// The same test in integers, for a centre on the grid of step 2^-q (q >= 1), 2^q c whole.
// Pixel centres lie on it too: p - c = (X, Y) 2^-q with X = 2^q i + 2^(q-1) - 2^q cx. While
// |X| and |Y| stay below 2^25 the doubles of the rule are exact, |p - c|^2 being
// (X^2 + Y^2) 2^-2q, so the tests become X^2 + Y^2 <= floor(2^2q outer^2) and, for the
// hole, X^2 + Y^2 <= ceil(2^2q inner^2) - 1.
class FixedRow {
  public:
    using Int = std::int64_t;
    struct Grid {
        Int step, x0, y0; // X = step i + x0, Y = step j + y0
        Int disc, hole;   // the limits of X^2 + Y^2
    };
    // The grid for a figure about c, or nothing when c is off every grid fine enough.
    static std::optional<Grid> grid(QPointF c, double inner, double outer) {
        const double finest = 0x1p25 / (outer + 1);
        for (double step = 2; step <= finest; step *= 2) {
            const double x = c.x() * step, y = c.y() * step;
            if (x != std::floor(x) || y != std::floor(y)) continue;
            const double step2 = step * step;
            const Int half = static_cast<Int>(step) / 2;
            return Grid{static_cast<Int>(step), half - static_cast<Int>(x),
                        half - static_cast<Int>(y),
                        static_cast<Int>(std::floor(step2 * (outer * outer))),
                        inner > 0 ? static_cast<Int>(std::ceil(step2 * (inner * inner))) - 1 : -1};
        }
        return std::nullopt;
    }
    FixedRow(int row, const Grid& g) : g_(g), y2_(square(g.step * row + g.y0)) {}
    bool inDisc(int column) const { return d2(column) <= g_.disc; }
    bool inHole(int column) const { return d2(column) <= g_.hole; }

  private:
    static Int square(Int v) { return v * v; }
    Int d2(int column) const { return square(g_.step * column + g_.x0) + y2_; }
    const Grid& g_;
    Int y2_;
};

// The annulus row by row, each row's runs walked from the row before. `makeRow(row)`
// gives the test for a row.
template <typename MakeRow>
void walkAnnulus(Spans& spans, int top, int bottom, double cx, bool hasHole, MakeRow makeRow) {
    const int lo = spans.left(), hi = spans.right();
    const int centre = std::clamp(clampToInt(std::floor(cx)), lo, hi);
    int from = centre, to = centre, holeFrom = centre, holeTo = centre;
    for (int row = top; row <= bottom; ++row) {
        const auto test = makeRow(row);
        if (!walkRun(centre, lo, hi, from, to, [&](int i) { return test.inDisc(i); })) continue;
        const bool hole = hasHole && walkRun(std::clamp(centre, from, to), from, to, holeFrom,
                                             holeTo, [&](int i) { return test.inHole(i); });
        if (hole) {
            spans.fill(row, from, holeFrom - 1);
            spans.fill(row, holeTo + 1, to);
        } else {
            spans.fill(row, from, to);
        }
    }
}

bool onHalfPixelGrid(double v) { return 2 * v == std::floor(2 * v); }

// Every figure but the single-pixel dot. Takes the cheapest exact way for the figure:
// integers when the centre lies on the half-pixel grid (whole-pixel centres, as the
// generated drawings and the pen give them) or on a finer binary grid (centres that came
// as floats), the rule's own doubles otherwise, and pixel by pixel for figures too far
// out for spans.
QRect annulus(QImage& image, const QRect& clip, QPointF c, double inner, double outer,
              QRgb colour) {
    if (!finite(c) || !std::isfinite(outer) || !(outer >= 0) || clip.isEmpty()) return {};
    int top, bottom;
    rowsBetween(clip, c.y() - outer, c.y() + outer, top, bottom);
    if (top > bottom || c.x() + outer < clip.left() || c.x() - outer > clip.right() + 1) return {};

    Spans spans(image, clip, colour);
    const bool near = std::abs(c.x()) <= kNear && std::abs(c.y()) <= kNear && outer <= kNear;
    if (near && onHalfPixelGrid(c.x()) && onHalfPixelGrid(c.y()))
        gridAnnulus(spans, top, bottom, c, inner, outer);
    else if (const auto grid = near ? FixedRow::grid(c, inner, outer) : std::nullopt)
        walkAnnulus(spans, top, bottom, c.x(), inner > 0,
                    [&](int row) { return FixedRow(row, *grid); });
    else if (near)
        walkAnnulus(spans, top, bottom, c.x(), inner > 0,
                    [&](int row) { return DoubleRow(row, c, inner, outer); });
    else
        fillTested(spans, top, bottom, clip.left(), clip.right(),
                   [&](QPointF p) { return inAnnulus(p, c, inner, outer); });
    return spans.touched();
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

int firstPixelOfCell(double i, double k) { return clampToInt(std::ceil(i * k - 0.5)); }

QRect resampledRect(const QRect& rect, double k) {
    return QRect(QPoint(firstPixelOfCell(rect.left(), k), firstPixelOfCell(rect.top(), k)),
                 QPoint(firstPixelOfCell(rect.right() + 1, k) - 1,
                        firstPixelOfCell(rect.bottom() + 1, k) - 1));
}

namespace {

// For each new pixel of cells first to first + count - 1, in order, the cell (the old
// pixel) it lies in, counted from `first`: the list grows by cell i's pixels, each i.
std::vector<int> resampledFrom(int first, int count, double k) {
    std::vector<int> from;
    for (int i = 0; i < count; ++i)
        from.resize(std::size_t(firstPixelOfCell(first + i + 1, k) - firstPixelOfCell(first, k)),
                    i);
    return from;
}

} // namespace

void copyPixels(const QImage& from, const QRect& source, QImage& to, QPoint at) {
    const auto bytes = std::size_t(source.width()) * sizeof(QRgb);
    for (int y = 0; y < source.height(); ++y)
        std::memcpy(to.scanLine(at.y() + y) + at.x() * sizeof(QRgb),
                    from.constScanLine(source.top() + y) + source.left() * sizeof(QRgb), bytes);
}

QImage resample(const QImage& pixels, QPoint topLeft, double k) {
    const std::vector<int> columns = resampledFrom(topLeft.x(), pixels.width(), k);
    const std::vector<int> rows = resampledFrom(topLeft.y(), pixels.height(), k);
    QImage resampled(int(columns.size()), int(rows.size()), pixels.format());
    for (int y = 0; y < resampled.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(pixels.constScanLine(rows[y]));
        auto* to = reinterpret_cast<QRgb*>(resampled.scanLine(y));
        for (std::size_t x = 0; x < columns.size(); ++x)
            to[x] = from[columns[x]];
    }
    return resampled;
}

QRect cell(QImage& image, const QRect& clip, QPointF p, double k, QRgb colour) {
    if (!finite(p) || !(k > 0) || !std::isfinite(k)) return {};
    Spans spans(image, clip, colour);
    fillCell(spans, clip, std::floor(p.x()), std::floor(p.y()), k);
    return spans.touched();
}

QRect dot(QImage& image, const QRect& clip, QPointF c, double width, QRgb colour) {
    if (width > 1) return annulus(image, clip, c, -1, width / 2.0, colour);
    return cell(image, clip, c, 1, colour);
}

QRect ring(QImage& image, const QRect& clip, QPointF c, double radius, double width, QRgb colour) {
    radius = std::abs(radius);
    if (!(width > 1)) width = 1;
    if (radius == 0) return dot(image, clip, c, width, colour);
    return annulus(image, clip, c, radius - width / 2.0, radius + width / 2.0, colour);
}

namespace {

// Longest segment stepped from its own ends, so that the step counter stays exact and
// the work bounded. A longer one is first cut to the box around the clip: along its major
// axis its ends become the box's edges, and the other coordinate follows the line from
// the nearer end (exact for level and plumb lines; so far out a slanted one can only be
// placed to within rounding anyway).
constexpr double kLongest = 1 << 30;

void cutToBox(QPointF& a, QPointF& b, const QRectF& box) {
    const bool alongX = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y());
    const auto major = [alongX](QPointF p) { return alongX ? p.x() : p.y(); };
    const auto minor = [alongX](QPointF p) { return alongX ? p.y() : p.x(); };
    const double lo = alongX ? box.left() : box.top(), hi = alongX ? box.right() : box.bottom();
    const double minorLo = alongX ? box.top() : box.left();
    const double minorHi = alongX ? box.bottom() : box.right();
    const auto at = [&](double u) {
        const QPointF& from = std::abs(u - major(a)) <= std::abs(u - major(b)) ? a : b;
        const QPointF& to = &from == &a ? b : a;
        const double slope = (minor(to) - minor(from)) / (major(to) - major(from));
        const double m = std::clamp(minor(from) + (u - major(from)) * slope, minorLo, minorHi);
        return alongX ? QPointF(u, m) : QPointF(m, u);
    };
    const QPointF cutA = at(std::clamp(major(a), lo, hi)), cutB = at(std::clamp(major(b), lo, hi));
    a = cutA;
    b = cutB;
}

// ---- Thin segments, in integers ----
//
// Along the major axis sample j lies in the cell of a plus or minus j (see the header), so
// only the minor axis needs arithmetic: the cell of a + (b - a) j / n, worked out in fixed
// point, 2^64 units to a cell, where no rounding can take a sample into the next cell.

__extension__ using Wide = __int128;
constexpr Wide kUnit = Wide(1) << 64;

// v in units, rounded down: exact for every double whose last bit is worth 2^-64 or more
// (all but those nearer zero than 2^-11). |v| must stay below 2^62.
Wide toUnits(double v) { return static_cast<Wide>(std::floor(std::ldexp(v, 64))); }

// Rounded down, for d > 0.
Wide floorDiv(Wide v, Wide d) { return v / d - (v % d < 0 ? 1 : 0); }

// The minor-axis cells of samples j = first, first + 1, ...: with c = floor(a), A the rest
// of a and D = b - a, both in units, sample j lies in cell c + floor((A n + D j) / (n unit)).
// The quotient is carried from sample to sample with its remainder, Bresenham's way.
class MinorCells {
  public:
    MinorCells(double a, double b, Int n, Int first) : denominator_(n * kUnit) {
        const Int c = static_cast<Int>(std::floor(a));
        const Wide rest = toUnits(a) - c * kUnit;
        const Wide advance = toUnits(b) - toUnits(a); // below (n + 1) units
        const Wide step = floorDiv(advance, denominator_);
        step_ = static_cast<Int>(step);
        stepRest_ = advance - step * denominator_;
        // A n + D first, split so that no product passes 2^98: D = M unit + E with E below
        // a unit, M first = W n + V with V below n.
        const Wide m = floorDiv(advance, kUnit), e = advance - m * kUnit;
        const Wide w = floorDiv(m * first, n), v = m * first - w * n;
        const Wide part = v * kUnit + rest * n + e * first;
        const Wide more = floorDiv(part, denominator_);
        cell_ = static_cast<Int>(c + w + more);
        rest_ = part - more * denominator_;
    }
    Int cell() const { return cell_; }
    void next() {
        cell_ += step_;
        rest_ += stepRest_;
        if (rest_ >= denominator_) {
            rest_ -= denominator_;
            ++cell_;
        }
    }

  private:
    Wide denominator_, stepRest_ = 0, rest_ = 0;
    Int step_ = 0, cell_ = 0;
};

// The thin segment on cells k pixels across, a and b in cells. The box is the clip in cells
// with a cell to spare, within 2^30 of the origin so that all the arithmetic stays exact.
QRect thinSegment(QImage& image, const QRect& clip, QPointF a, QPointF b, double k, QRgb colour) {
    const QRectF box = QRectF(clip.left() / k - 1.0, clip.top() / k - 1.0, clip.width() / k + 2.0,
                              clip.height() / k + 2.0) &
                       QRectF(-kFar, -kFar, 2 * kFar, 2 * kFar);
    if (std::max(a.x(), b.x()) < box.left() || std::min(a.x(), b.x()) > box.right() ||
        std::max(a.y(), b.y()) < box.top() || std::min(a.y(), b.y()) > box.bottom())
        return {};
    if (std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y())) > kLongest) cutToBox(a, b, box);

    const auto steps = [](double from, double to) {
        return std::abs(std::floor(to) - std::floor(from));
    };
    const bool alongX = steps(a.x(), b.x()) >= steps(a.y(), b.y());
    const auto major = [alongX](QPointF p) { return alongX ? p.x() : p.y(); };
    const auto minor = [alongX](QPointF p) { return alongX ? p.y() : p.x(); };
    const auto from = static_cast<Int>(std::floor(major(a)));
    const auto n = static_cast<Int>(steps(major(a), major(b)));
    if (n == 0) return cell(image, clip, a, k, colour);
    const Int direction = major(b) > major(a) ? 1 : -1;
    // The samples whose major-axis cell lies in the box.
    const auto lo = static_cast<Int>(std::floor(alongX ? box.left() : box.top()));
    const auto hi = static_cast<Int>(std::floor(alongX ? box.right() : box.bottom()));
    const Int first = std::max<Int>(0, direction > 0 ? lo - from : from - hi);
    const Int last = std::min<Int>(n, direction > 0 ? hi - from : from - lo);
    if (first > last) return {};

    Spans spans(image, clip, colour);
    MinorCells cells(minor(a), minor(b), n, first);
    for (Int j = first; j <= last; ++j, cells.next()) {
        const auto along = static_cast<double>(from + direction * j);
        const auto across = static_cast<double>(cells.cell());
        fillCell(spans, clip, alongX ? along : across, alongX ? across : along, k);
    }
    return spans.touched();
}

} // namespace

QRect cellSegment(QImage& image, const QRect& clip, QPointF a, QPointF b, double k, QRgb colour) {
    if (!finite(a) || !finite(b) || clip.isEmpty() || !(k > 0) || !std::isfinite(k)) return {};
    return thinSegment(image, clip, a, b, k, colour);
}

QRect segment(QImage& image, const QRect& clip, QPointF a, QPointF b, double width, QRgb colour) {
    if (!(width > 1)) return cellSegment(image, clip, a, b, 1, colour);
    if (!finite(a) || !finite(b) || clip.isEmpty()) return {};

    // Used once per pointer movement in circle mode, so the plain per-pixel test suffices.
    const double half = width / 2.0;
    const QRectF bounds = QRectF(a, b).normalized().adjusted(-half, -half, half, half);
    int top, bottom;
    rowsBetween(clip, bounds.top(), bounds.bottom(), top, bottom);
    Spans spans(image, clip, colour);
    fillTested(spans, top, bottom, clampToInt(std::ceil(bounds.left() - 0.5)),
               clampToInt(std::floor(bounds.right() - 0.5)),
               [&](QPointF p) { return inCapsule(p, a, b, half); });
    return spans.touched();
}

} // namespace raster
