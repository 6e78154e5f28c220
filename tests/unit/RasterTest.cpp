// The rasteriser's pixel rules: counted on the cases worked out by hand or by a small
// integer count, and compared pixel for pixel with the plain per-pixel tests of the rules
// on a table of small cases and on random ones. Hostile coordinates must neither hang nor
// paint outside the clip.
#include "canvas/Raster.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

using namespace raster;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kInk = 0xFF123456;

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kWhite);
    return image;
}

int inked(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == kInk;
    return count;
}

QRect inkedBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == kInk) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The image the plain rule gives: every pixel of the clip whose centre passes `inside`.
QImage byRule(QSize size, const QRect& clip, const std::function<bool(QPointF)>& inside) {
    QImage image = blank(size.width(), size.height());
    for (int y = clip.top(); y <= clip.bottom(); ++y)
        for (int x = clip.left(); x <= clip.right(); ++x)
            if (inside(QPointF(x + 0.5, y + 0.5))) image.setPixel(x, y, kInk);
    return image;
}

// The ring rule as the header states it, written with inAnnulus.
std::function<bool(QPointF)> ringRule(QPointF c, double r, double w) {
    if (r == 0 && w <= 1) {
        const QPoint pixel(int(std::floor(c.x())), int(std::floor(c.y())));
        return [pixel](QPointF p) { return QPoint(int(p.x()), int(p.y())) == pixel; };
    }
    const double inner = r == 0 ? -1 : r - w / 2.0;
    return [=](QPointF p) { return inAnnulus(p, c, inner, r + w / 2.0); };
}

// Pixels of the ring about a centre on the half-pixel grid, counted in integers apart
// from the rasteriser's arithmetic: with X = 2i + 1 - 2cx, Y likewise, a centre lies
// within [r - w/2, r + w/2] of c when (2r - w)^2 <= X^2 + Y^2 <= (2r + w)^2.
int ringCount(QSize size, QPointF c, int r, int w) {
    const long long cx2 = std::llround(2 * c.x()), cy2 = std::llround(2 * c.y());
    const long long outer = 2LL * r + w, inner = 2LL * r - w;
    int count = 0;
    for (long long j = 0; j < size.height(); ++j)
        for (long long i = 0; i < size.width(); ++i) {
            const long long x = 2 * i + 1 - cx2, y = 2 * j + 1 - cy2, d = x * x + y * y;
            count += d <= outer * outer && (inner <= 0 || d >= inner * inner);
        }
    return count;
}

// Random numbers from a fixed seed, so that every run tries the same cases.
class Dice {
  public:
    explicit Dice(unsigned seed) : engine_(seed) {}
    double real(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(engine_);
    }
    int whole(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }

  private:
    std::mt19937 engine_;
};

void expectSameImage(const QImage& actual, const QImage& expected, const std::string& what) {
    int differing = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y) && differing++ == 0) first = {x, y};
    EXPECT_EQ(differing, 0) << what << "; first differing pixel " << first.x() << "," << first.y();
}

} // namespace

TEST(RasterRules, DotsCountedByHand) {
    QImage image = blank(20, 20);
    // Width 1: exactly the pixel containing the point, wherever in it the point lies.
    EXPECT_EQ(dot(image, image.rect(), {3.99, 7.01}, 1, kInk), QRect(3, 7, 1, 1));
    EXPECT_EQ(inked(image), 1);
    EXPECT_EQ(image.pixel(3, 7), kInk);

    // Width 5 about a pixel centre: the lattice points within 2.5, 5 + 2 x 5 + 2 x 3.
    image = blank(20, 20);
    EXPECT_EQ(dot(image, image.rect(), {10.5, 10.5}, 5, kInk), QRect(8, 8, 5, 5));
    EXPECT_EQ(inked(image), 21);

    // Width 10 about a pixel corner: centres (a + 0.5, b + 0.5) within 5; per quarter
    // 5 + 5 + 4 + 4 + 2 by columns, 80 in all, ten across.
    image = blank(20, 20);
    EXPECT_EQ(dot(image, image.rect(), {10, 10}, 10, kInk), QRect(5, 5, 10, 10));
    EXPECT_EQ(inked(image), 80);
}

TEST(RasterRules, RingsCountedInIntegers) {
    const QSize size(700, 700);
    for (const QPointF c : {QPointF(350, 350), QPointF(350.5, 349), QPointF(350.5, 350.5)})
        for (const int w : {1, 5, 10})
            for (const int r : {0, 1, 30, 300}) {
                QImage image = blank(size.width(), size.height());
                ring(image, image.rect(), c, r, w, kInk);
                const int expected = r == 0 && w == 1 ? 1 : ringCount(size, c, r, w);
                EXPECT_EQ(inked(image), expected)
                    << "c " << c.x() << "," << c.y() << " r " << r << " w " << w;
            }
}

TEST(RasterRules, ThinRingIsOnePixelWideAndClosed) {
    // r = 3, w = 1 about a pixel corner, as drawn in the header: rows 1 and 6 hold
    // columns 2..5, rows 2..5 columns 1 and 6.
    QImage image = blank(8, 8);
    ring(image, image.rect(), {4, 4}, 3, 1, kInk);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool cap = (y == 1 || y == 6) && x >= 2 && x <= 5;
            const bool side = y >= 2 && y <= 5 && (x == 1 || x == 6);
            EXPECT_EQ(image.pixel(x, y) == kInk, cap || side) << x << "," << y;
        }
}

TEST(RasterRules, RingsAgreeWithThePlainRuleOnATable) {
    const QSize size(64, 48);
    const struct {
        QPointF c;
        double r;
        double w;
        QRect clip;
    } cases[] = {
        {{32, 24}, 0, 1, {0, 0, 64, 48}},
        {{32, 24}, 0, 7, {0, 0, 64, 48}},
        {{32.3, 24.8}, 0, 6, {0, 0, 64, 48}},
        {{32, 24}, 10, 1, {0, 0, 64, 48}},
        {{32.5, 24}, 10, 2, {0, 0, 64, 48}},
        {{32, 24}, 2, 10, {0, 0, 64, 48}},
        {{32, 24}, 5, 10, {0, 0, 64, 48}},
        {{31.25, 23.75}, 12.5, 3, {0, 0, 64, 48}},
        {{32.1, 24.7}, 15, 4, {0, 0, 64, 48}},
        {{0, 0}, 20, 5, {0, 0, 64, 48}},
        {{-10, 24}, 20, 5, {0, 0, 64, 48}},
        {{70, 50}, 20, 9, {0, 0, 64, 48}},
        {{32, 24}, 100, 10, {0, 0, 64, 48}},
        {{32, 24}, 30, 80, {0, 0, 64, 48}},
        {{32, 24}, 20, 5, {10, 5, 30, 20}},
        {{5, 5}, 8, 3, {10, 10, 40, 30}},
        {{32 / 15.0, 24}, 20, 5, {0, 0, 64, 48}},
        {{32, 24}, -10, 3, {0, 0, 64, 48}},
        // Widths of a pen scaled by a fractional device pixel ratio.
        {{32, 24}, 12, 1.5, {0, 0, 64, 48}},
        {{33.75, 24.5}, 18.75, 12.5, {0, 0, 64, 48}},
        {{32.5, 24}, 0, 7.5, {0, 0, 64, 48}},
        {{20.25, 20.5}, 3.75, 2.5, {0, 0, 64, 48}},
        // Pixel centres exactly on the edge, off the half-pixel grid: (10.5, 10.5) lies
        // 1.25 from (9.75, 9.5), (22.5, 23.5) 3.75 from (20.25, 20.5) (3-4-5 by 0.75).
        {{9.75, 9.5}, 0.75, 1, {0, 0, 64, 48}},
        {{9.75, 9.5}, 1.75, 1, {0, 0, 64, 48}},
        {{20.25, 20.5}, 3.25, 1, {0, 0, 64, 48}},
        {{20.25, 20.5}, 4.25, 1, {0, 0, 64, 48}},
        {{20.25, 20.5}, 1.25, 5, {0, 0, 64, 48}},
        // Huge rings whose edge crosses the canvas, on and off the grid.
        {{32, 1e6 + 24}, 1e6, 5, {0, 0, 64, 48}},
        {{32.3, 1e6 + 24.7}, 1e6, 5, {0, 0, 64, 48}},
        {{-5e5, 24}, 5e5 + 30, 3, {0, 0, 64, 48}},
    };
    for (const auto& k : cases) {
        QImage image = blank(size.width(), size.height());
        const QRect touched = ring(image, k.clip, k.c, k.r, k.w, kInk);
        const QImage expected = byRule(size, k.clip, ringRule(k.c, std::abs(k.r), k.w));
        const std::string what = "c " + std::to_string(k.c.x()) + "," + std::to_string(k.c.y()) +
                                 " r " + std::to_string(k.r) + " w " + std::to_string(k.w);
        expectSameImage(image, expected, what);
        EXPECT_EQ(touched, inkedBounds(expected)) << what;
    }
}

// Centres of the kinds the rasteriser treats apart: on the half-pixel grid, on a finer
// binary grid (quarter pixels, half of them with radii in quarters so that pixel centres
// often fall exactly on an edge), come from single precision, and arbitrary doubles (a twips
// position in pixels).
TEST(RasterRules, RingsAndDotsAgreeWithThePlainRuleOnRandomCases) {
    Dice dice(20240611);
    const QSize size(90, 70);
    for (int n = 0; n < 3000; ++n) {
        double x = dice.real(-30, 120), y = dice.real(-30, 100);
        double r = n % 7 == 0 ? 0 : n % 5 == 0 ? std::round(dice.real(0, 60)) : dice.real(0, 60);
        switch (n % 4) {
        case 0:
            x = std::round(2 * x) / 2;
            y = std::round(2 * y) / 2;
            break;
        case 1:
            x = std::round(4 * x) / 4;
            y = std::round(4 * y) / 4;
            if (n % 8 == 1) r = std::round(4 * r) / 4;
            break;
        case 2:
            x = float(x);
            y = float(y);
            break;
        default:
            x = std::round(x * 15) / 15;
            y = std::round(y * 15) / 15;
        }
        const double w = n % 3 == 2 ? dice.real(1, 14) : dice.whole(1, 14);
        const int left = dice.whole(0, 40), top = dice.whole(0, 30);
        const QRect clip(left, top, dice.whole(0, 90 - left), dice.whole(0, 70 - top));
        QImage image = blank(size.width(), size.height());
        const QRect touched = r == 0 && n % 2 ? dot(image, clip, {x, y}, w, kInk)
                                              : ring(image, clip, {x, y}, r, w, kInk);
        const QImage expected = byRule(size, clip, ringRule({x, y}, r, w));
        const std::string what = "case " + std::to_string(n);
        expectSameImage(image, expected, what);
        EXPECT_EQ(touched, inkedBounds(expected)) << what;
        if (HasFailure()) break;
    }
}

TEST(RasterRules, ThickSegmentsAgreeWithThePlainRule) {
    Dice dice(7);
    const QSize size(80, 60);
    for (int n = 0; n < 300; ++n) {
        const QPointF a(dice.real(-20, 100), dice.real(-20, 80));
        const QPointF b = n % 10 == 0 ? a : QPointF(dice.real(-20, 100), dice.real(-20, 80));
        const double w = n % 2 ? dice.real(1.5, 12) : dice.whole(2, 12);
        const QRect clip(5, 4, 70, 50);
        QImage image = blank(size.width(), size.height());
        const QRect touched = segment(image, clip, a, b, w, kInk);
        const QImage expected =
            byRule(size, clip, [&](QPointF p) { return inCapsule(p, a, b, w / 2.0); });
        expectSameImage(image, expected, "segment " + std::to_string(n));
        EXPECT_EQ(touched, inkedBounds(expected));
    }
}

TEST(RasterRules, ThinSegmentsStepOnePixelAlongTheMajorAxis) {
    // Horizontal: 10 whole pixels spanned, 11 samples, 11 pixels of row 0.
    QImage image = blank(20, 10);
    EXPECT_EQ(segment(image, image.rect(), {0.5, 0.5}, {10.5, 0.5}, 1, kInk), QRect(0, 0, 11, 1));
    EXPECT_EQ(inked(image), 11);

    // Steep: n = 6, samples at x = 0.5 + k/3, y = 0.5 + k: columns 0 0 1 1 1 2 2, one
    // pixel in each of rows 0..6.
    image = blank(20, 10);
    segment(image, image.rect(), {0.5, 0.5}, {2.5, 6.5}, 1, kInk);
    const int columns[7] = {0, 0, 1, 1, 1, 2, 2};
    EXPECT_EQ(inked(image), 7);
    for (int y = 0; y < 7; ++y)
        EXPECT_EQ(image.pixel(columns[y], y), kInk) << y;

    // Whole ends 39 apart: sample k lies at x = k exactly, so all 40 pixels of the row.
    image = blank(50, 10);
    EXPECT_EQ(segment(image, image.rect(), {0, 5}, {39, 5}, 1, kInk), QRect(0, 5, 40, 1));
    EXPECT_EQ(inked(image), 40);

    // Shorter than a pixel: the pixel containing the start, like a dot.
    image = blank(20, 10);
    EXPECT_EQ(segment(image, image.rect(), {4.2, 4.9}, {4.9, 4.1}, 1, kInk), QRect(4, 4, 1, 1));

    // Cut by the clip: the samples inside it only, on the same steps as uncut.
    image = blank(20, 10);
    const QRect clip(3, 0, 4, 10);
    EXPECT_EQ(segment(image, clip, {0.5, 2.5}, {10.5, 2.5}, 1, kInk), QRect(3, 2, 4, 1));
    EXPECT_EQ(inked(image), 4);
}

namespace {

// The thin-segment rule of the header in integers, apart from the rasteriser's arithmetic,
// for ends on the grid of 2^-40 of a cell: with n the larger of the axes' differences of
// whole cells, sample j lies in cell floor((A n + (B - A) j) / (n 2^40)) on each axis, A and
// B the ends in 2^-40 of a cell. Gives the samples' cells in order.
std::vector<QPoint> thinSegmentCells(QPointF a, QPointF b) {
    using Int = long long;
    constexpr Int unit = Int(1) << 40;
    const auto units = [](double v) { return std::llround(std::ldexp(v, 40)); };
    const auto floorDiv = [](Int v, Int d) { return v / d - (v % d < 0 ? 1 : 0); };
    const Int ax = units(a.x()), ay = units(a.y()), bx = units(b.x()), by = units(b.y());
    const Int n = std::max(std::abs(floorDiv(bx, unit) - floorDiv(ax, unit)),
                           std::abs(floorDiv(by, unit) - floorDiv(ay, unit)));
    std::vector<QPoint> cells;
    for (Int j = 0; j <= n; ++j) {
        const auto at = [&](Int from, Int to) {
            return n == 0 ? floorDiv(from, unit) : floorDiv(from * n + (to - from) * j, n * unit);
        };
        cells.emplace_back(int(at(ax, bx)), int(at(ay, by)));
    }
    return cells;
}

} // namespace

// A seeded table of thin segments in all eight directions (octant n % 8), at ratios 1, 1.5
// and 2, with whole ends (as the pointer gives them), ends on pixel centres and fractional
// ends, often cut by the clip, against the rule: pixel for pixel, and the line without a gap
// (each sample's cell next to the one before, by a side or a corner).
TEST(RasterRules, ThinSegmentsAgreeWithTheRuleOnRandomCases) {
    Dice dice(1717);
    const QSize cells(64, 48);
    const double ratios[] = {1, 1.5, 2};
    for (int n = 0; n < 720; ++n) {
        const double k = ratios[n / 8 % 3];
        const int kind = n / 24 % 3; // 0 whole, 1 pixel centres, 2 fractional
        const auto whole = [&](double lo, double hi) {
            const double v = dice.real(lo, hi);
            return kind == 2 ? std::ldexp(std::round(std::ldexp(v, 40)), -40) : std::floor(v);
        };
        const auto end = [&](double lo, double hi) {
            return whole(lo, hi) + (kind == 1 ? 0.5 : 0);
        };
        // Major and minor extents, then the octant: axes swapped, x and y mirrored.
        double along = whole(0, 70), across = std::min(whole(0, 70), along);
        if (n % 8 & 1) std::swap(along, across);
        const QPointF a(n % 3 ? end(-6, 40) : end(0, 1), end(-6, 30));
        const QPointF b(a.x() + (n % 8 & 2 ? -along : along),
                        a.y() + (n % 8 & 4 ? -across : across));
        const QSize size(int(std::ceil(cells.width() * k)), int(std::ceil(cells.height() * k)));
        const QRect clip = n % 4 ? QRect(QPoint(0, 0), size)
                                 : QRect(dice.whole(0, 30), dice.whole(0, 20), dice.whole(10, 60),
                                         dice.whole(10, 50)) &
                                       QRect(QPoint(0, 0), size);
        const std::vector<QPoint> taken = thinSegmentCells(a, b);
        const std::string what = "case " + std::to_string(n) + " (" + std::to_string(a.x()) + "," +
                                 std::to_string(a.y()) + ")-(" + std::to_string(b.x()) + "," +
                                 std::to_string(b.y()) + ") at " + std::to_string(k);
        for (std::size_t j = 1; j < taken.size(); ++j) {
            const QPoint step = taken[j] - taken[j - 1];
            ASSERT_EQ(std::max(std::abs(step.x()), std::abs(step.y())), 1)
                << what << " sample " << j;
        }
        std::vector<bool> isTaken(cells.width() * cells.height());
        for (const QPoint c : taken)
            if (QRect(QPoint(0, 0), cells).contains(c))
                isTaken[c.y() * cells.width() + c.x()] = true;
        // Pixel (x, y) lies in cell (i, j) when its centre lies in [ik, (i+1)k) x [jk, (j+1)k).
        const QImage expected = byRule(size, clip, [&](QPointF p) {
            return isTaken[int(p.y() / k) * cells.width() + int(p.x() / k)];
        });
        QImage image = blank(size.width(), size.height());
        const QRect touched = cellSegment(image, clip, a, b, k, kInk);
        expectSameImage(image, expected, what);
        EXPECT_EQ(touched, inkedBounds(expected)) << what;
        if (HasFailure()) break;
    }
}

// Cell i, k pixels across, is the pixels whose centres lie in [ik, (i+1)k).
TEST(RasterRules, CellsTileTheImageAtAnyRatio) {
    const struct {
        double k;
        int cell, first, last;
    } cases[] = {
        {1, 3, 3, 3},   {1.25, 1, 1, 1}, {1.25, 2, 2, 3}, {1.5, 0, 0, 0}, {1.5, 1, 1, 2},
        {1.5, 2, 3, 3}, {1.75, 1, 2, 2}, {1.75, 2, 3, 4}, {2, 3, 6, 7},   {3, 2, 6, 8},
    };
    for (const auto& c : cases) {
        QImage image = blank(20, 20);
        const QRect expected(c.first, c.first, c.last - c.first + 1, c.last - c.first + 1);
        EXPECT_EQ(cell(image, image.rect(), {c.cell + 0.3, c.cell + 0.7}, c.k, kInk), expected)
            << c.k << " " << c.cell;
        EXPECT_EQ(inked(image), expected.width() * expected.height());
    }

    // The steep segment below at k = 1.5: columns 0 0 1 1 1 2 2 of rows 0..6 are cells
    // 1, 2 and 1 pixels wide and rows 1, 2, 1, 2, 1, 2, 1 high: 1+2+2+4+2+2+1 pixels.
    QImage image = blank(20, 12);
    EXPECT_EQ(cellSegment(image, image.rect(), {0.5, 0.5}, {2.5, 6.5}, 1.5, kInk),
              QRect(0, 0, 4, 10));
    EXPECT_EQ(inked(image), 14);
    image = blank(30, 4);
    EXPECT_EQ(cellSegment(image, image.rect(), {0.5, 0.5}, {10.5, 0.5}, 2, kInk),
              QRect(0, 0, 22, 2));
    EXPECT_EQ(inked(image), 44);
}

// Resampled by k, new pixel (x, y) takes the old pixel under its centre, ((x + 0.5) / k,
// (y + 0.5) / k), whether k enlarges or reduces; and a part resamples to the very pixels
// the whole gives it.
TEST(RasterRules, ResamplingTakesThePixelUnderEachCentre) {
    Dice dice(4);
    QImage old(13, 9, QImage::Format_RGB32);
    for (int y = 0; y < old.height(); ++y)
        for (int x = 0; x < old.width(); ++x)
            old.setPixel(x, y, 0xFF000000u | unsigned(dice.whole(0, 0xFFFFFF)));
    for (const double k : {2.0, 1.5, 0.75, 0.5}) {
        const QImage whole = resample(old, QPoint(0, 0), k);
        EXPECT_EQ(whole.size(), resampledRect(old.rect(), k).size()) << k;
        EXPECT_EQ(whole.width(), int(std::ceil(13 * k - 0.5))) << k;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                ASSERT_EQ(whole.pixel(x, y), old.pixel(int((x + 0.5) / k), int((y + 0.5) / k)))
                    << k << " at " << x << "," << y;
        const QRect part(3, 2, 5, 4);
        const QRect to = resampledRect(part, k);
        EXPECT_EQ(resample(old.copy(part), part.topLeft(), k), whole.copy(to)) << k;
    }
}

// Each call on hostile values: quick, and nothing outside the clip.
TEST(RasterRules, HostileFiguresNeitherHangNorLeaveTheClip) {
    const double far = 1e30, nan = std::nan("");
    const QRect clip(10, 8, 40, 30);
    enum Kind { Dot, Ring, Segment };
    const struct {
        const char* what;
        Kind kind;
        QPointF a;     // centre, or where a segment starts
        double radius; // of a ring
        QPointF b;     // where a segment ends
        int width;
        int expectedInk; // -1: any amount
    } cases[] = {
        {"dot at 1e30", Dot, {far, far}, 0, {}, 10, 0},
        {"dot at -1e30", Dot, {-far, 20}, 0, {}, 1, 0},
        {"dot at NaN", Dot, {nan, 20}, 0, {}, 5, 0},
        {"ring about NaN", Ring, {30, nan}, 5, {}, 5, 0},
        {"NaN radius", Ring, {30, 20}, nan, {}, 5, 0},
        {"infinite radius", Ring, {30, 20}, INFINITY, {}, 5, 0},
        {"radius 1e30 about the canvas", Ring, {30, 20}, far, {}, 10, 0},
        {"radius 1e30 from afar", Ring, {far, 20}, far, {}, 10, -1},
        {"radius 3e6 reaching in", Ring, {30, 3e6 + 20}, 3e6, {}, 10, -1},
        {"radius 1e6 reaching in", Ring, {30, 1e6 + 20}, 1e6, {}, 10, -1},
        {"radius 1e6 reaching in, off the grid", Ring, {30.3, 1e6 + 20.7}, 1e6, {}, 10, -1},
        {"width 32767 dot", Dot, {30, 20}, 0, {}, 32767, 40 * 30},
        {"width 32767 ring from afar", Ring, {-far, 20}, 5, {}, 32767, 0},
        {"width 32767 ring about the canvas", Ring, {30, 20}, 1e5, {}, 32767, 0},
        {"segment across 1e30, level", Segment, {-far, 20.5}, 0, {far, 20.5}, 1, 40},
        {"segment across 1e30, slanted", Segment, {-far, -far}, 0, {far, far}, 1, -1},
        {"segment across 1e30, thick", Segment, {-far, 20}, 0, {far, 20}, 9, -1},
        {"segment to NaN", Segment, {20, 20}, 0, {nan, 20}, 3, 0},
        {"segment width 32767", Segment, {20, 20}, 0, {25, 30}, 32767, 40 * 30},
    };
    for (const auto& k : cases) {
        QImage image = blank(60, 50);
        QElapsedTimer timer;
        timer.start();
        const QRect touched = k.kind == Dot    ? dot(image, clip, k.a, k.width, kInk)
                              : k.kind == Ring ? ring(image, clip, k.a, k.radius, k.width, kInk)
                                               : segment(image, clip, k.a, k.b, k.width, kInk);
        EXPECT_LT(timer.elapsed(), 50) << k.what;
        const QRect bounds = inkedBounds(image);
        EXPECT_TRUE(bounds.isEmpty() || clip.contains(bounds)) << k.what;
        EXPECT_EQ(touched, bounds) << k.what;
        if (k.expectedInk >= 0) {
            EXPECT_EQ(inked(image), k.expectedInk) << k.what;
        }
    }

    QImage image = blank(60, 50);
    EXPECT_TRUE(ring(image, QRect(20, 20, 0, 0), {20, 20}, 5, 5, kInk).isEmpty());
    EXPECT_TRUE(segment(image, QRect(20, 20, 0, 5), {0, 0}, {50, 50}, 1, kInk).isEmpty());
    EXPECT_EQ(inked(image), 0) << "an empty clip takes nothing";
}
