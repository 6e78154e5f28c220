#include "Figures.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <utility>

namespace {

QRgb toRgb(numbers::Colour c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// One trace line as a figure, if it is a dot or a circle: "pset X Y C W" or
// "circle X Y R C W". The trace prints floats with nine digits, which reads back exactly.
std::optional<Figure> parse(const QString& line) {
    const QStringList w = line.split(u' ');
    const auto f = [&](int i) { return static_cast<float>(w[i].toDouble()); };
    if (w[0] == u"pset" && w.size() == 5)
        return Figure{Figure::Kind::Dot, f(1), f(2), 0, w[3].toUInt(), w[4].toInt()};
    if (w[0] == u"circle" && w.size() == 6)
        return Figure{Figure::Kind::Circle, f(1), f(2), f(3), w[4].toUInt(), w[5].toInt()};
    return std::nullopt;
}

} // namespace

Figures record(QSize clientSize, int penWidth, const std::function<void(Canvas&)>& draw) {
    Canvas canvas(clientSize);
    canvas.setDrawWidth(static_cast<qint16>(penWidth));
    Figures figures;
    canvas.setTrace([&](const QString& line) {
        const auto figure = parse(line);
        if (!figure) return;
        if (canvas.scaleMode() != Canvas::Pixels) {
            std::fprintf(stderr, "recorded a figure in twips: %s\n", qPrintable(line));
            std::exit(2);
        }
        figures.push_back(*figure);
    });
    draw(canvas);
    return figures;
}

void drawOnCanvas(Canvas& canvas, const Figures& figures) {
    for (const Figure& f : figures) {
        if (f.width != canvas.drawWidth()) canvas.setDrawWidth(static_cast<qint16>(f.width));
        if (f.kind == Figure::Kind::Dot)
            canvas.PSet(f.x, f.y, f.colour);
        else
            canvas.Circle(f.x, f.y, f.radius, f.colour);
    }
}

void drawWithPainter(QPainter& painter, const Figures& figures) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    QPen pen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap);
    for (const Figure& f : figures) {
        // A new pen only when it changes, as a careful QPainter user would.
        if (pen.width() != f.width || pen.color().rgb() != toRgb(f.colour)) {
            pen.setWidth(f.width);
            pen.setColor(QColor(toRgb(f.colour)));
            painter.setPen(pen);
        }
        const QPointF centre(f.x, f.y);
        if (f.kind == Figure::Kind::Dot || f.radius == 0)
            painter.drawPoint(centre);
        else
            painter.drawEllipse(centre, f.radius, f.radius);
    }
}

void drawWithCairo(cairo_t* cairo, const Figures& figures) {
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    numbers::Colour colour = ~0u;
    for (const Figure& f : figures) {
        if (f.colour != colour) {
            colour = f.colour;
            cairo_set_source_rgb(cairo, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                                 ((colour >> 16) & 0xFF) / 255.0);
        }
        if (f.radius != 0) {
            cairo_set_line_width(cairo, f.width);
            cairo_arc(cairo, f.x, f.y, std::abs(f.radius), 0, 2 * std::numbers::pi);
            cairo_stroke(cairo);
        } else if (f.width > 1) {
            cairo_arc(cairo, f.x, f.y, f.width / 2.0, 0, 2 * std::numbers::pi);
            cairo_fill(cairo);
        } else {
            cairo_rectangle(cairo, std::floor(f.x), std::floor(f.y), 1, 1);
            cairo_fill(cairo);
        }
    }
}

namespace {

// The columns of `row` whose pixel centres p satisfy |p - c|^2 <= limit (strictly below
// when `strict`), in the doubles of the rule: a first guess from the square root, then
// moved until the rule's own test agrees at both ends. Empty when from > to.
std::pair<int, int> runOf(int row, QPointF c, double limit, bool strict) {
    const double dy = (row + 0.5) - c.y();
    const auto inside = [&](int i) {
        const double dx = (i + 0.5) - c.x(), d2 = dx * dx + dy * dy;
        return strict ? d2 < limit : d2 <= limit;
    };
    const double half = std::sqrt(std::max(0.0, limit - dy * dy));
    int from = int(std::ceil(c.x() - half - 0.5)), to = int(std::floor(c.x() + half - 0.5));
    while (from <= to && !inside(from))
        ++from;
    while (inside(from - 1))
        --from;
    while (to >= from && !inside(to))
        --to;
    while (to >= from && inside(to + 1))
        ++to;
    return {from, to};
}

void addSpan(Spans& spans, const QRect& clip, int row, int from, int to, QRgb colour) {
    from = std::max(from, clip.left());
    to = std::min(to, clip.right());
    if (row >= clip.top() && row <= clip.bottom() && from <= to)
        spans.push_back({row, from, to, colour});
}

// The device pixels of client pixel i: those whose centres lie in [ik, (i+1)k).
std::pair<int, int> pixelsOf(double i, double ratio) {
    return {int(std::ceil(i * ratio - 0.5)), int(std::ceil((i + 1) * ratio - 0.5)) - 1};
}

} // namespace

Spans spansOf(const Figures& figures, QSize clientSize, double ratio) {
    Spans spans;
    const QRect clip(0, 0, int(std::ceil(clientSize.width() * ratio)),
                     int(std::ceil(clientSize.height() * ratio)));
    for (const Figure& f : figures) {
        const QRgb colour = toRgb(f.colour);
        const double radius = std::abs(double(f.radius)) * ratio;
        if (radius == 0 && f.width == 1) {
            const auto [left, right] = pixelsOf(std::floor(f.x), ratio);
            const auto [top, bottom] = pixelsOf(std::floor(f.y), ratio);
            for (int row = top; row <= bottom; ++row)
                addSpan(spans, clip, row, left, right, colour);
            continue;
        }
        const QPointF c(double(f.x) * ratio, double(f.y) * ratio);
        const double width = std::max(1.0, f.width * ratio);
        const double outer = radius + width / 2, inner = radius == 0 ? -1 : radius - width / 2;
        for (int row = int(std::floor(c.y() - outer)); row <= int(std::ceil(c.y() + outer));
             ++row) {
            const auto [from, to] = runOf(row, c, outer * outer, false);
            if (from > to) continue;
            const auto [holeFrom, holeTo] =
                inner > 0 ? runOf(row, c, inner * inner, true) : std::pair(1, 0);
            if (holeFrom > holeTo) {
                addSpan(spans, clip, row, from, to, colour);
            } else {
                addSpan(spans, clip, row, from, holeFrom - 1, colour);
                addSpan(spans, clip, row, holeTo + 1, to, colour);
            }
        }
    }
    return spans;
}

void fillSpans(QImage& image, const Spans& spans) {
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (const Span& s : spans) {
        auto* line = reinterpret_cast<QRgb*>(bits + s.row * stride);
        std::fill(line + s.from, line + s.to + 1, s.colour);
    }
}

long long paintedPixels(const Spans& spans) {
    long long count = 0;
    for (const Span& s : spans)
        count += s.to - s.from + 1;
    return count;
}
