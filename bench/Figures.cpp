#include "Figures.h"

#include "canvas/Raster.h"

#include <QStringList>

#include <cmath>
#include <cstdio>
#include <cstdlib>

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

long long paintedPixels(const Figures& figures, QSize clientSize) {
    long long count = 0;
    const QRect client(QPoint(0, 0), clientSize);
    for (const Figure& f : figures) {
        const QPointF c(f.x, f.y);
        const double radius = f.kind == Figure::Kind::Dot ? 0 : std::abs(double(f.radius));
        if (f.width <= 1 && radius == 0) {
            count += client.contains(QPoint(int(std::floor(f.x)), int(std::floor(f.y))));
            continue;
        }
        const double inner = radius == 0 ? -1 : radius - f.width / 2.0;
        const double outer = radius + f.width / 2.0;
        const QRect box = QRect(QPoint(int(std::floor(f.x - outer)), int(std::floor(f.y - outer))),
                                QPoint(int(std::ceil(f.x + outer)), int(std::ceil(f.y + outer)))) &
                          client;
        for (int j = box.top(); j <= box.bottom(); ++j)
            for (int i = box.left(); i <= box.right(); ++i)
                count += raster::inAnnulus(QPointF(i + 0.5, j + 0.5), c, inner, outer);
    }
    return count;
}
