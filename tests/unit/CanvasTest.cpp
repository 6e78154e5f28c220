// The canvas's dirty rectangles and what the window repaints from them: a figure marks
// only the pixels it can have changed, and a running endless drawing is shown at most
// once per frame. The history that keeps within its memory budget, and its steps across a
// change of screen density.
#include "canvas/Canvas.h"
#include "app/CanvasView.h"
#include "app/ControlCover.h"
#include "app/Form1.h"
#include "canvas/History.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Counts the paint events a widget receives, and the area they cover.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;
    long long pixels = 0;
    QRegion painted;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent*>(event)->region();
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

namespace {

// A dot of the pen at `at`, `width` pixels wide, as the user makes it: the width typed, the
// pen button pressed until the pen is on, a click on the canvas there.
void penDot(Drawing& drawing, QPointF at, int width) {
    using namespace action;
    drawing.take(NewText{Control::Text5, QString::number(width)});
    do
        drawing.take(OnControl{ControlEvent::MouseDown, QStringLiteral("Command7")});
    while (!drawing.state().penOn.on());
    for (const Pointer pointer : {Pointer::Press, Pointer::Move, Pointer::Release})
        drawing.take(OnCanvas{pointer, at});
}

} // namespace

TEST(CanvasView, ADotRepaintsItsRectangleOnly) {
    Form1 form(
        {.quit = [] {}, .openUrl = [](const QUrl&) {}, .clock = LoopScheduler::Clock::Manual});
    form.show();
    runEventLoop(50);
    PaintCounter counter(form.canvasView());
    penDot(form.drawing(), {200, 150}, 10);
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
    const auto drawnBefore = form.drawing().random().drawn();
    QElapsedTimer timer;
    timer.start();
    runEventLoop(500);
    const qint64 ms = timer.elapsed();
    const auto dots = (form.drawing().random().drawn() - drawnBefore) / 3;
    ASSERT_GT(dots, 0u);
    EXPECT_GE(counter.paints, 1);
    EXPECT_LE(counter.paints, ms / CanvasView::kFrameMs + 2);
    // A dot 5 pixels wide lies within 6 x 6 pixels; a batch of steps keeps its dots apart.
    static_assert(LoopScheduler::kMaxBatch <= Canvas::kDirtyRects);
    EXPECT_LE(counter.pixels, qint64(dots) * 36);
}

// A change under a control that paints every pixel of its place is not shown, nor does
// it repaint the control; a button's rounded corners show the canvas, and a control that
// hides uncovers what was drawn beneath it.
TEST(CanvasView, ChangesUnderControlsWaitUntilTheyAreUncovered) {
    Form1 form(
        {.quit = [] {}, .openUrl = [](const QUrl&) {}, .clock = LoopScheduler::Clock::Manual});
    form.show();
    runEventLoop(50);
    QWidget* swatch = form.control(QStringLiteral("Picture6"));
    QWidget* button = form.control(QStringLiteral("Command6"));
    const auto dot = [&](QPointF at, int width) {
        penDot(form.drawing(), at, width);
        form.canvasView()->showChanges();
        runEventLoop(50);
    };
    QApplication::focusWidget()->clearFocus(); // a blinking text cursor repaints its box
    PaintCounter onView(form.canvasView()), onSwatch(swatch), onButton(button);
    dot(QRectF(swatch->geometry()).center(), 5);
    dot(QRectF(button->geometry()).center(), 5);
    EXPECT_EQ(onView.paints + onSwatch.paints + onButton.paints, 0);
    dot(button->geometry().topLeft() + QPointF(0.5, 0.5), 1); // its outermost corner pixel
    EXPECT_EQ(onView.paints, 1);
    EXPECT_EQ(onView.pixels, 1);
    swatch->hide();
    runEventLoop(50);
    EXPECT_EQ(onView.paints, 2);
    EXPECT_TRUE(
        onView.painted.contains(QRect(swatch->geometry().center() - QPoint(2, 2), QSize(5, 5))));
}

// What each control covers holds in its other states: pressed, with the focus, marked.
TEST(CanvasView, ControlsCoverTheSamePixelsInEveryState) {
    Form1 form(
        {.quit = [] {}, .openUrl = [](const QUrl&) {}, .clock = LoopScheduler::Clock::Manual});
    form.show();
    runEventLoop(50);
    QHash<QWidget*, QRegion> shapes;
    for (QWidget* control : form.canvasView()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        shapes.insert(control, ControlCover::opaqueShape(*control, 1));
    const QRect swatch = form.control(QStringLiteral("Picture6"))->rect();
    EXPECT_EQ(shapes.value(form.control(QStringLiteral("Picture6"))), QRegion(swatch));
    QWidget* button = form.control(QStringLiteral("Command6"));
    EXPECT_FALSE(shapes.value(button).contains(QPoint(0, 0)));
    EXPECT_TRUE(shapes.value(button).contains(button->rect().center()));
    // The eye may show any of the frames: each covers its whole place.
    for (QLabel* image : form.canvasView()->findChildren<QLabel*>()) {
        if (image->pixmap().isNull()) continue;
        EXPECT_EQ(shapes.value(image), QRegion(image->rect())) << qPrintable(image->objectName());
    }
    for (QPushButton* b : form.canvasView()->findChildren<QPushButton*>())
        b->setDown(true);
    button->setFocus();
    for (QLineEdit* box : form.canvasView()->findChildren<QLineEdit*>())
        box->setText(QStringLiteral("abc")); // no number: the colour and width boxes turn red
    for (auto it = shapes.cbegin(); it != shapes.cend(); ++it)
        EXPECT_TRUE((it.value() - ControlCover::opaqueShape(*it.key(), 1)).isEmpty())
            << qPrintable(it.key()->objectName());
}

// ---- The raster at device pixel ratios other than 1 ----

namespace {

constexpr numbers::Colour kRed = 0x0000FF;
const QRgb kRedRgb = qRgb(255, 0, 0);

Canvas canvasAt(double ratio) {
    Canvas canvas(QSize(120, 100));
    canvas.setScaleMode(Canvas::Pixels);
    canvas.setDeviceRatio(ratio);
    return canvas;
}

} // namespace

TEST(CanvasRatio, TheRasterHasTheScreensResolution) {
    for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0}) {
        Canvas canvas = canvasAt(ratio);
        // 120 x 100 times the ratio, rounded up: 150 x 125 at 1.25, 210 x 175 at 1.75.
        const QSize device(int(std::ceil(120 * ratio)), int(std::ceil(100 * ratio)));
        EXPECT_EQ(canvas.deviceSize(), device) << ratio;
        EXPECT_EQ(canvas.picture().size(), device) << ratio;
        EXPECT_EQ(canvas.scaleWidth(), 120) << "the units stay the client's";
        canvas.Cls();
        EXPECT_EQ(canvas.takeDirty(), QRect(QPoint(0, 0), device)) << "dirty in device pixels";
    }
}

// The window repaints whole client pixels: a dot of width 2 about (2.5, 2.5) at ratio 2
// takes the device pixels 3 to 6 (centres within 2 of 5), parts of client pixels 1 to 3.
TEST(CanvasRatio, ChangesAreRepaintedInWholeClientPixels) {
    Canvas canvas = canvasAt(2);
    canvas.takeDirty();
    canvas.setDrawWidth(2);
    canvas.PSet(2.5, 2.5, kRed);
    EXPECT_EQ(canvas.takeDirtyRegion(), QRegion(1, 1, 3, 3));
}

// A ring drawn at ratio 2 or 3 is drawn at that resolution, not enlarged: some aligned
// block of ratio x ratio device pixels on its edge is not of one colour.
TEST(CanvasRatio, ARingsEdgeIsNotMadeOfBlocks) {
    for (const int ratio : {2, 3}) {
        Canvas canvas = canvasAt(ratio);
        canvas.setDrawWidth(5);
        canvas.Circle(60, 50, 30, kRed);
        const QImage& raster = canvas.raster();
        int mixed = 0;
        for (int y = 0; y + ratio <= raster.height(); y += ratio)
            for (int x = 0; x + ratio <= raster.width(); x += ratio)
                for (int i = 0; i < ratio * ratio; ++i)
                    if (raster.pixel(x + i % ratio, y + i / ratio) != raster.pixel(x, y)) {
                        ++mixed;
                        break;
                    }
        EXPECT_GT(mixed, 20) << ratio;
    }
}

// The raster at ratio k, read back at each client pixel's centre, is the raster at ratio 1
// except within 0.75 of a thick figure's edge (the device pixel read lies within 0.71 of
// the centre); a 1-pixel dot and line cover the very same client pixels.
TEST(CanvasRatio, ScaledDownItIsTheRasterAtRatioOne) {
    const QPointF ringCentre(50, 45), dotCentre(95.5, 70);
    const double ringRadius = 27.5, ringWidth = 7, dotWidth = 9;
    const auto draw = [&](Canvas& canvas) {
        canvas.setDrawWidth(qint16(ringWidth));
        canvas.Circle(float(ringCentre.x()), float(ringCentre.y()), float(ringRadius), kRed);
        canvas.setDrawWidth(qint16(dotWidth));
        canvas.PSet(float(dotCentre.x()), float(dotCentre.y()), kRed);
        canvas.setDrawWidth(1);
        canvas.PSet(10.7f, 90.2f, kRed);
        canvas.Line(5, 5, 110, 17.5f, kRed);
    };
    const auto nearAnEdge = [&](QPointF p) {
        const double margin = 0.75;
        const double d = std::hypot(p.x() - ringCentre.x(), p.y() - ringCentre.y());
        const double e = std::hypot(p.x() - dotCentre.x(), p.y() - dotCentre.y());
        return std::abs(d - (ringRadius + ringWidth / 2)) < margin ||
               std::abs(d - (ringRadius - ringWidth / 2)) < margin ||
               std::abs(e - dotWidth / 2) < margin;
    };
    Canvas one = canvasAt(1);
    draw(one);
    for (const double ratio : {1.25, 1.5, 1.75, 2.0, 3.0}) {
        Canvas canvas = canvasAt(ratio);
        draw(canvas);
        int compared = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 120; ++x) {
                const QPointF centre(x + 0.5, y + 0.5);
                if (nearAnEdge(centre)) continue;
                ++compared;
                const QPoint device(int(centre.x() * ratio), int(centre.y() * ratio));
                ASSERT_EQ(canvas.raster().pixel(device), one.raster().pixel(x, y))
                    << "ratio " << ratio << " at " << x << "," << y;
            }
        EXPECT_GT(compared, 120 * 100 * 9 / 10);
        // The thin figures' client pixels are whole blocks of device pixels.
        for (const QPoint p : {QPoint(10, 90), QPoint(5, 5), QPoint(58, 11), QPoint(110, 17)}) {
            ASSERT_EQ(one.raster().pixel(p), kRedRgb) << p.x() << "," << p.y();
            const QRect block = canvas.devicePixels(p);
            for (int i = 0; i < block.width() * block.height(); ++i)
                EXPECT_EQ(canvas.raster().pixel(block.topLeft() +
                                                QPoint(i % block.width(), i / block.width())),
                          kRedRgb);
        }
    }
}

// Text too: drawn at the device resolution, twice as tall in device pixels, not enlarged.
TEST(CanvasRatio, TextIsDrawnAtTheDeviceResolution) {
    const auto inkedBounds = [](const QImage& image) {
        QRect bounds;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) bounds |= QRect(x, y, 1, 1);
        return bounds;
    };
    const auto printed = [](double ratio) {
        Canvas canvas = canvasAt(ratio);
        canvas.setForeColor(kRed);
        canvas.setFontSize(24);
        canvas.setCurrentX(10);
        canvas.setCurrentY(10);
        canvas.Print(QStringLiteral("AW"));
        return canvas.picture();
    };
    const QImage one = printed(1), two = printed(2);
    const QRect a = inkedBounds(one), b = inkedBounds(two);
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NEAR(b.height(), 2 * a.height(), 3);
    EXPECT_NEAR(b.left(), 2 * a.left(), 3);
    int mixed = 0;
    for (int y = b.top() & ~1; y < b.bottom(); y += 2)
        for (int x = b.left() & ~1; x < b.right(); x += 2)
            mixed += two.pixel(x, y) != two.pixel(x + 1, y) ||
                     two.pixel(x, y) != two.pixel(x, y + 1) ||
                     two.pixel(x, y) != two.pixel(x + 1, y + 1);
    EXPECT_GT(mixed, 10);
}

TEST(CanvasRatio, ANewRatioKeepsTheDrawing) {
    Canvas canvas = canvasAt(1);
    canvas.PSet(10, 20, kRed);
    canvas.setDeviceRatio(2);
    EXPECT_EQ(canvas.deviceSize(), QSize(240, 200));
    for (const QPoint p : {QPoint(20, 40), QPoint(21, 41)})
        EXPECT_EQ(canvas.raster().pixel(p), kRedRgb);
    EXPECT_EQ(canvas.raster().pixel(22, 40), qRgb(255, 255, 255));
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

// The readied memory becomes the picture copy at the raster's ratio: a large step taken at
// ratio 2 is resampled with the rest when the ratio changes, and still undoes every pixel.
TEST(History, ALargeStepAtRatioTwoFollowsANewRatio) {
    Canvas canvas(QSize(20, 10));
    canvas.setScaleMode(Canvas::Pixels);
    canvas.setDeviceRatio(2);
    History history(canvas);
    history.prepare();
    canvas.setDrawWidth(32);
    canvas.PSet(10, 5, 0);
    history.endGesture();
    canvas.setDeviceRatio(1);
    ASSERT_EQ(canvas.raster().size(), QSize(20, 10));
    EXPECT_TRUE(history.undo());
    for (const QPoint p : {QPoint(0, 0), QPoint(19, 9)})
        EXPECT_EQ(canvas.raster().pixel(p), qRgb(255, 255, 255));
    EXPECT_TRUE(history.redo());
    EXPECT_EQ(canvas.raster().pixel(19, 9), qRgb(0, 0, 0));
}

namespace {

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

} // namespace

// Once its budget is full, steps that each change the whole picture reuse the memory of
// those they drop: a thousand of them, with the memory readied between them as the window
// does, take no fresh pages from the system, where each would take a raster's (2025 pages of
// 4 KiB here). A budget of 8 rasters R keeps the copy, room for the readied memory and
// floor(6R / (R + overhead)) = 5 steps.
TEST(History, AFullBudgetReusesItsMemory) {
    Canvas canvas(QSize(1920, 1080));
    const qsizetype raster = canvas.raster().sizeInBytes();
    History history(canvas, 8 * raster);
    const auto step = [&] {
        canvas.Cls();
        history.endGesture();
        history.prepare();
    };
    for (int i = 0; i < 8; ++i)
        step();
    EXPECT_EQ(history.undoable(), 5);
    const long faults = minorFaults();
    for (int i = 0; i < 1000; ++i)
        step();
    EXPECT_LT(minorFaults() - faults, 2025) << "fresh pages taken";
    EXPECT_EQ(history.undoable(), 5);
    EXPECT_LE(history.bytes(), 8 * raster);
}

// ---- The history across a change of screen density ----

namespace {

bool samePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

// A picture of ratio 1 at ratio 2: each pixel becomes the 2 x 2 device pixels whose
// centres lie in it.
QImage enlarged(const QImage& one) {
    QImage two(one.size() * 2, QImage::Format_RGB32);
    for (int y = 0; y < two.height(); ++y)
        for (int x = 0; x < two.width(); ++x)
            two.setPixel(x, y, one.pixel(x / 2, y / 2));
    return two;
}

// A picture of ratio 2 at ratio 1: each pixel takes the device pixel under its centre,
// (x + 0.5, y + 0.5) times 2.
QImage reduced(const QImage& two) {
    QImage one(two.size() / 2, QImage::Format_RGB32);
    for (int y = 0; y < one.height(); ++y)
        for (int x = 0; x < one.width(); ++x)
            one.setPixel(x, y, two.pixel(2 * x + 1, 2 * y + 1));
    return one;
}

} // namespace

// From ratio 1 to 2 and back, undo and redo go on taking back and bringing back each
// gesture: at 2 the pictures of ratio 1 enlarged, back at 1 those very pictures again, and
// a gesture drawn at 2 as the device pixels under the centres give it. A gesture under
// way while the ratio changes is one step.
TEST(History, ANewRatioKeepsTheSteps) {
    Canvas canvas(QSize(20, 10));
    canvas.setScaleMode(Canvas::Pixels);
    History history(canvas);
    std::vector<QImage> pictures{canvas.raster().copy()};
    const auto gesture = [&](const std::function<void()>& draw) {
        draw();
        history.endGesture();
        pictures.push_back(canvas.raster().copy());
    };
    gesture([&] { canvas.Line(0, 9, 19, 0, kRed); });
    gesture([&] {
        canvas.setDrawWidth(3);
        canvas.Circle(6, 5, 3, kRed);
    });
    canvas.setDrawWidth(5);
    canvas.PSet(15, 4, 0);
    pictures.push_back(canvas.raster().copy());

    canvas.setDeviceRatio(2);
    history.endGesture();
    EXPECT_EQ(history.undoable(), 3);
    ASSERT_TRUE(samePixels(canvas.raster(), enlarged(pictures[3])));
    for (int i = 2; i >= 0; --i) {
        EXPECT_TRUE(history.undo());
        EXPECT_TRUE(samePixels(canvas.raster(), enlarged(pictures[i]))) << "undone to " << i;
    }
    for (int i = 1; i <= 2; ++i) {
        EXPECT_TRUE(history.redo());
        EXPECT_TRUE(samePixels(canvas.raster(), enlarged(pictures[i]))) << "redone to " << i;
    }
    // Drawn at ratio 2: a dot 3 pixels wide about (12.25, 6.75) is 6 device pixels wide,
    // its edge crossing the 2 x 2 blocks of the client pixels.
    canvas.setDrawWidth(3);
    canvas.PSet(12.25f, 6.75f, 0);
    history.endGesture();
    const QImage drawnAtTwo = canvas.raster().copy();
    EXPECT_EQ(history.redoable(), 0);

    canvas.setDeviceRatio(1);
    EXPECT_TRUE(samePixels(canvas.raster(), reduced(drawnAtTwo)));
    EXPECT_FALSE(samePixels(reduced(drawnAtTwo), pictures[2])) << "the dot is seen";
    for (int i = 2; i >= 0; --i) {
        EXPECT_TRUE(history.undo());
        EXPECT_TRUE(samePixels(canvas.raster(), pictures[i])) << "back at 1, undone to " << i;
    }
    EXPECT_FALSE(history.undo());
    for (int i = 1; i <= 2; ++i) {
        EXPECT_TRUE(history.redo());
        EXPECT_TRUE(samePixels(canvas.raster(), pictures[i])) << "back at 1, redone to " << i;
    }
    EXPECT_TRUE(history.redo());
    EXPECT_TRUE(samePixels(canvas.raster(), reduced(drawnAtTwo)));
}

// At ratio 2 every step takes four times the bytes. Of 15 single pixels at ratio 1, 2 to
// undo and 13 to redo, those that fit beside the picture copy of 20 x 10 x 2 x 2 x 4 = 3200
// bytes in a budget of 6400 stay: (6400 - 3200) / (16 + overhead 256) = 11, the 2 undoable
// ones dropped first, then the 2 farthest redoable.
TEST(History, ANewRatioKeepsWhatFitsTheBudget) {
    Canvas canvas(QSize(20, 10));
    canvas.setScaleMode(Canvas::Pixels);
    History history(canvas, 6400);
    for (int x = 0; x < 15; ++x) {
        canvas.PSet(float(x) + 0.5f, 0.5f, 0);
        history.endGesture();
    }
    for (int i = 0; i < 13; ++i)
        history.undo();
    ASSERT_EQ(history.undoable(), 2);

    canvas.setDeviceRatio(2);
    EXPECT_EQ(history.undoable(), 0);
    EXPECT_EQ(history.redoable(), 11);
    EXPECT_EQ(history.bytes(), 3200 + 11 * (16 + History::kStepOverhead));
    while (history.redo()) {
    }
    const auto black = [&](int x) { return canvas.raster().pixel(2 * x, 0) == qRgb(0, 0, 0); };
    for (int x = 0; x < 15; ++x)
        EXPECT_EQ(black(x), x < 13) << x;
}
