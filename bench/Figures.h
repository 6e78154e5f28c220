#pragma once

#include "canvas/Canvas.h"

#include <QPainter>

#include <cairo.h>

#include <functional>
#include <vector>

// A drawing as the list of dots and circles it put on the canvas, so that the very same
// list can be drawn again, timed, by the canvas and by QPainter.
struct Figure {
    enum class Kind { Dot, Circle };
    Kind kind;
    float x, y;   // pixels
    float radius; // pixels; 0 for a dot
    numbers::Colour colour;
    int width; // pen width in pixels
};
using Figures = std::vector<Figure>;

// Runs `draw` on a fresh canvas of `clientSize` whose pen is `penWidth` pixels wide and
// returns every dot and circle it drew, read from the canvas's trace. Only drawings in
// pixels are recorded: a figure drawn in twips stops the program.
Figures record(QSize clientSize, int penWidth, const std::function<void(Canvas&)>& draw);

// Draws the figures on the canvas, which must be in pixels; leaves its pen width changed.
void drawOnCanvas(Canvas& canvas, const Figures& figures);

// Draws the figures with an aliased QPainter: circles as outlines with a pen of the
// figure's width, dots as points with a round cap.
void drawWithPainter(QPainter& painter, const Figures& figures);

// Draws the figures with aliased Cairo: circles as cairo_arc + cairo_stroke with a line of
// the figure's width, dots as filled discs of that diameter (at width 1 the pixel).
void drawWithCairo(cairo_t* cairo, const Figures& figures);

// One run of pixels of one row, as the canvas fills them.
struct Span {
    int row, from, to;
    QRgb colour;
};
using Spans = std::vector<Span>;

// The runs the figures fill on a client area of that size at `ratio` device pixels per
// pixel, found by the canvas's per-pixel rule row by row (not by the canvas's code):
// one run per row of a disc, two per row through a ring's hole, in drawing order.
Spans spansOf(const Figures& figures, QSize clientSize, double ratio);

// Writes the spans into the image: the floor of any rasteriser that writes these pixels.
void fillSpans(QImage& image, const Spans& spans);

// How many pixel writes the spans make (overdraw counted every time).
long long paintedPixels(const Spans& spans);
