// The canvas's dirty rectangles and what the window repaints from them: a figure marks
// only the pixels it can have changed, and a running endless drawing is shown at most
// once per frame. The history that keeps within its memory budget.
#include "canvas/Canvas.h"
#include "app/CanvasView.h"
#include "app/Form1.h"
#include "canvas/History.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPaintEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Counts the paint events a widget receives, and the area they cover.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;
    long long pixels = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += qint64(r.width()) * r.height();
        }
        return false;
    }
};

void runEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

QRegion regionOf(std::initializer_list<QRect> rects) {
    QRegion region;
    for (const QRect& r : rects)
        region += r;
    return region;
}

TEST(CanvasDirty, AFigureMarksItsOwnPixelsOnly) {
    Canvas canvas(QSize(451, 382));
    canvas.setScaleMode(Canvas::Pixels);
    canvas.setDrawWidth(10);
    // Centres within 5 of (100, 100): columns and rows 95..104.
    canvas.PSet(100, 100, 0xFF);
    EXPECT_EQ(canvas.takeDirty(), QRect(95, 95, 10, 10));
    EXPECT_TRUE(canvas.takeDirty().isEmpty()) << "taking empties it";

    // In twips: centre (100, 100) pixels, radius 20, pen 1: centres 19.5 to 20.5 away.
    // Column 79 (centre 79.5) is 20.5 across but at least 0.5 down: too far; column 80
    // reaches 19.5 across and 0.5 down. So rows and columns 80..119.
    canvas.setScaleMode(Canvas::Twips);
    canvas.setDrawWidth(1);
    canvas.Circle(1500, 1500, 300, 0xFF);
    EXPECT_EQ(canvas.takeDirty(), QRect(80, 80, 40, 40));
}

TEST(CanvasDirty, DotsFarApartStayApart) {
    Canvas canvas(QSize(451, 382));
    canvas.setScaleMode(Canvas::Pixels);
    canvas.setDrawWidth(10);
    canvas.PSet(20, 20, 0xFF);
    canvas.PSet(400, 300, 0xFF);
    EXPECT_EQ(canvas.takeDirtyRegion(), regionOf({QRect(15, 15, 10, 10), QRect(395, 295, 10, 10)}));

    // As many dots as rectangles: each its own. One more, and those before merge into
    // their bounds.
    QRegion dots;
    for (int i = 0; i < Canvas::kDirtyRects; ++i) {
        const int x = 10 + (i * 97) % 430, y = 10 + (i * 61) % 360;
        canvas.PSet(float(x), float(y), 0xFF);
        dots += QRect(x - 5, y - 5, 10, 10);
    }
    EXPECT_EQ(canvas.takeDirtyRegion(), dots);
    for (int i = 0; i <= Canvas::kDirtyRects; ++i)
        canvas.PSet(float(10 + i), float(10 + 5 * i), 0xFF);
    // Dot i covers 10 x 10 from (5 + i, 5 + 5i): dots 0..63 lie within (5, 5)..(77, 329).
    EXPECT_EQ(canvas.takeDirtyRegion(), regionOf({QRect(5, 5, 73, 325), QRect(69, 325, 10, 10)}));
}

TEST(CanvasDirty, ClearingMarksTheWholeRasterAndFiguresStayInTheClientArea) {
    Canvas canvas(QSize(100, 80));
    canvas.setScaleMode(Canvas::Pixels);
    canvas.setDrawWidth(10);
    canvas.PSet(50, 40, 0xFF);
    canvas.Cls();
    EXPECT_EQ(canvas.takeDirtyRegion(), QRegion(0, 0, 100, 80));

    // A dot astride the corner marks, and paints, only what lies inside.
    canvas.PSet(99, 79, 0xFF);
    EXPECT_EQ(canvas.takeDirty(), QRect(94, 74, 6, 6));
    canvas.PSet(-50, 40, 0xFF);
    EXPECT_TRUE(canvas.takeDirty().isEmpty());

    // The raster never shrinks; a smaller client area clips what follows.
    canvas.setClientSize(QSize(60, 50));
    canvas.Cls();
    canvas.takeDirty();
    canvas.Circle(60, 50, 20, 0xFF);
    EXPECT_TRUE(QRect(0, 0, 60, 50).contains(canvas.takeDirty()));
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            if (x >= 60 || y >= 50) {
                ASSERT_EQ(canvas.raster().pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
            }
}

TEST(CanvasView, ADotRepaintsItsRectangleOnly) {
    Form1 form(
        {.quit = [] {}, .openUrl = [](const QUrl&) {}, .clock = LoopScheduler::Clock::Manual});
    form.show();
    runEventLoop(50);
    PaintCounter counter(form.canvasView());
    form.canvas().setScaleMode(Canvas::Pixels);
    form.canvas().setDrawWidth(10);
    form.canvas().PSet(200, 150, 0xFF);
    form.canvasView()->showChanges();
    runEventLoop(50);
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(counter.pixels, 100);
}

// "②" with the real clock steps every millisecond; the canvas shows its dots at most once
// per frame, each paint covering the dots and not the canvas. The controls on the canvas
// are hidden while counting: a blinking text cursor or a button's state repaints the
// canvas beneath them too.
TEST(CanvasView, EndlessDotsRepaintSmallAreasAtMostOncePerFrame) {
    Form1 form({.quit = [] {}, .openUrl = [](const QUrl&) {}, .clock = LoopScheduler::Clock::Real});
    form.show();
    qobject_cast<QPushButton*>(form.control(QStringLiteral("Command9")))->click();
    for (QWidget* control : form.canvasView()->findChildren<QWidget*>())
        control->hide();
    runEventLoop(100); // the cleared canvas is shown
    PaintCounter counter(form.canvasView());
    const auto drawnBefore = form.random().drawn();
    QElapsedTimer timer;
    timer.start();
    runEventLoop(500);
    const qint64 ms = timer.elapsed();
    const auto dots = (form.random().drawn() - drawnBefore) / 3;
    ASSERT_GT(dots, 0u);
    EXPECT_GE(counter.paints, 1);
    EXPECT_LE(counter.paints, ms / CanvasView::kFrameMs + 2);
    // A dot 5 pixels wide lies within 6 x 6 pixels; a batch of steps keeps its dots apart.
    static_assert(LoopScheduler::kMaxBatch <= Canvas::kDirtyRects);
    EXPECT_LE(counter.pixels, qint64(dots) * 36);
}

// The history keeps what fits in its budget, dropping the oldest steps first; a step that
// cannot fit alone is not kept. Single pixels at width 1 make steps of 4 bytes each.
TEST(History, KeepsTheNewestStepsWithinItsBudget) {
    Canvas canvas(QSize(20, 10));
    canvas.setScaleMode(Canvas::Pixels);
    const qsizetype picture = 20 * 10 * 4, step = 4 + History::kStepOverhead;
    History history(canvas, 2 * picture); // the picture copy and three single pixels
    const auto black = [&](int x) { return canvas.raster().pixel(x, 0) == qRgb(0, 0, 0); };
    for (int x = 0; x < 5; ++x) {
        canvas.PSet(float(x) + 0.5f, 0.5f, 0);
        history.endGesture();
    }
    EXPECT_EQ(history.undoable(), 3);
    EXPECT_EQ(history.bytes(), picture + 3 * step);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(history.undo());
    EXPECT_FALSE(history.undo()); // the two oldest are gone, their dots stay
    EXPECT_TRUE(black(0) && black(1));
    EXPECT_FALSE(black(2) || black(3) || black(4));
    EXPECT_EQ(history.redoable(), 3);

    // A cleared picture needs 800 bytes and its overhead: more than is left beside the copy.
    canvas.Cls();
    history.endGesture();
    EXPECT_EQ(history.undoable(), 0);
    EXPECT_EQ(history.redoable(), 0);
    EXPECT_EQ(history.bytes(), picture);
    EXPECT_FALSE(history.undo());

    // A raster that does not fit twice keeps no history.
    History tooSmall(canvas, 2 * picture - 1);
    canvas.PSet(0.5f, 0.5f, 0);
    tooSmall.endGesture();
    EXPECT_EQ(tooSmall.bytes(), 0);
    EXPECT_FALSE(tooSmall.undo());
}

// With memory readied, a step that changes most of the picture takes the whole old copy,
// and undo and redo still restore every pixel.
TEST(History, ALargeStepTakesTheWholeOldPicture) {
    Canvas canvas(QSize(20, 10));
    canvas.setScaleMode(Canvas::Pixels);
    History history(canvas);
    history.prepare();
    const qsizetype picture = 20 * 10 * 4;
    EXPECT_EQ(history.bytes(), 2 * picture);
    const auto count = [&](QRgb colour) {
        int n = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x)
                n += canvas.raster().pixel(x, y) == colour;
        return n;
    };
    canvas.setDrawWidth(32); // a disc of diameter 32 around (10, 5) covers every pixel
    canvas.PSet(10, 5, 0);
    history.endGesture();
    EXPECT_EQ(history.bytes(), 2 * picture + History::kStepOverhead);
    EXPECT_EQ(count(qRgb(0, 0, 0)), 200);
    EXPECT_TRUE(history.undo());
    EXPECT_EQ(count(qRgb(255, 255, 255)), 200);
    EXPECT_TRUE(history.redo());
    EXPECT_EQ(count(qRgb(0, 0, 0)), 200);
}
