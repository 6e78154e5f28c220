#pragma once

#include "canvas/Canvas.h"

#include <QPainter>

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

// How many pixel writes the figures make on a client area of that size, by the canvas's
// per-pixel rule (overdraw counted every time).
long long paintedPixels(const Figures& figures, QSize clientSize);
