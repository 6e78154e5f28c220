// quenzel-bench: how fast the canvas draws what the buttons and the pen draw, next to
// QPainter and Cairo drawing the same figures on an image of the same format and size, and
// to the floor: the very same pixels written as precomputed spans. Every workload is a
// list of figures recorded from the real drawing code, replayed into each renderer, at a
// device pixel ratio of 1 or 2; each timing is the fastest of several repetitions.
#include "Figures.h"

#include "app/CanvasView.h"
#include "app/Fonts.h"
#include "app/Form1.h"
#include "app/FormDesign.h"
#include "art/BouncingTrail.h"
#include "art/ConcentricRings.h"
#include "art/GreenTrail.h"
#include "art/PulsingTrail.h"
#include "art/RandomDots.h"
#include "canvas/History.h"
#include "interactive/ChaseRunner.h"
#include "interactive/PointerModes.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kRepetitions = 9; // at least 5; more steadies the minimum on a busy machine
const QSize kClient(design::kClientWidth / design::kTwipsPerPixel,
                    design::kClientHeight / design::kTwipsPerPixel);

template <typename Run> double elapsedMs(Run run) {
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.nsecsElapsed() / 1e6;
}

// The fastest of kRepetitions runs of `run`, in milliseconds; `prepare` runs untimed
// before each.
template <typename Prepare, typename Run> double fastestMs(Prepare prepare, Run run) {
    double best = INFINITY;
    for (int i = 0; i < kRepetitions; ++i) {
        prepare();
        best = std::min(best, elapsedMs(run));
    }
    return best;
}

struct Result {
    double painterMs, cairoMs, canvasMs, floorMs;
    long long pixels;
};

double painterMs(const Figures& figures, QSize device, double ratio) {
    QImage image(device, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return fastestMs([&] { image.fill(Qt::white); },
                     [&] {
                         QPainter painter(&image);
                         drawWithPainter(painter, figures);
                     });
}

double cairoMs(const Figures& figures, QSize device, double ratio) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, device.width(), device.height());
    const auto clear = [&] {
        cairo_t* cairo = cairo_create(surface);
        cairo_set_source_rgb(cairo, 1, 1, 1);
        cairo_paint(cairo);
        cairo_destroy(cairo);
    };
    const double ms = fastestMs(clear, [&] {
        cairo_t* cairo = cairo_create(surface);
        cairo_scale(cairo, ratio, ratio);
        drawWithCairo(cairo, figures);
        cairo_destroy(cairo);
        cairo_surface_flush(surface);
    });
    cairo_surface_destroy(surface);
    return ms;
}

Result race(const Figures& figures, double ratio) {
    Canvas canvas(kClient);
    canvas.setScaleMode(Canvas::Pixels);
    canvas.setDeviceRatio(ratio);
    const QSize device = canvas.deviceSize();
    const auto clear = [&] {
        canvas.Cls();
        canvas.takeDirty();
    };
    const double canvasMs = fastestMs(clear, [&] { drawOnCanvas(canvas, figures); });

    const Spans spans = spansOf(figures, kClient, ratio);
    QImage floor(canvas.raster().size(), QImage::Format_RGB32);
    const double floorMs =
        fastestMs([&] { floor.fill(Qt::white); }, [&] { fillSpans(floor, spans); });
    if (floor != canvas.raster())
        std::fprintf(stderr, "warning: the floor's spans are not the canvas's pixels\n");

    return {painterMs(figures, device, ratio), cairoMs(figures, device, ratio), canvasMs, floorMs,
            paintedPixels(spans)};
}

// The name padded by characters, not bytes, so that the columns line up.
QByteArray column(const QString& name) { return name.leftJustified(16).toUtf8(); }

void printHeader() {
    std::printf("%s %7s %9s %9s %9s %9s %8s %8s %8s %8s\n",
                column(QStringLiteral("workload")).constData(), "figures", "QPainter", "Cairo",
                "canvas", "floor", "QPainter", "Cairo", "canvas", "canvas");
    std::printf("%s %7s %9s %9s %9s %9s %8s %8s %8s %8s\n", column(QString()).constData(), "", "ms",
                "ms", "ms", "ms", "/canvas", "/canvas", "/floor", "ns/px");
}

void printRace(const QString& name, const Figures& figures, const Result& r) {
    std::printf("%s %7zu %9.2f %9.2f %9.2f %9.2f %8.1f %8.1f %8.2f %8.3f\n",
                column(name).constData(), figures.size(), r.painterMs, r.cairoMs, r.canvasMs,
                r.floorMs, r.painterMs / r.canvasMs, r.cairoMs / r.canvasMs, r.canvasMs / r.floorMs,
                r.canvasMs * 1e6 / double(r.pixels));
    std::fflush(stdout);
}

// A click of a generated-art button from start-up, with the pen `width` pixels wide.
Figures artClick(const char* button, int width) {
    return record(kClient, width, [button](Canvas& canvas) {
        Random random;
        DrawingState state;
        const QString b = QString::fromUtf8(button);
        if (b == u"①") art::drawPulsingTrail(canvas, random);
        if (b == u"◎") art::drawConcentricRings(canvas, random);
        if (b == u"○") art::drawBouncingTrail(canvas, random);
        if (b == u"③") art::drawGreenTrail(canvas, random, state);
    });
}

// The pen switched on from start-up and dragged along a Lissajous figure over the whole
// canvas, one dot per movement at whole pixels, as a mouse delivers them.
Figures penDots(Form1& form, int count) {
    return record(kClient, 1, [&](Canvas& canvas) {
        canvas.setScaleMode(Canvas::Pixels);
        DrawingState state = form.state();
        Random random;
        Easel easel{state, canvas, form, random};
        interactive::Command7_MouseDown(easel);
        interactive::Form_MouseDown(easel, 0, 0);
        for (int i = 0; i < count; ++i) {
            const double t = i * 0.001;
            const auto x = float(std::round((0.5 + 0.45 * std::sin(3 * t)) * kClient.width()));
            const auto y = float(std::round((0.5 + 0.45 * std::sin(4 * t)) * kClient.height()));
            interactive::drawPointerModes(easel, x, y);
        }
    });
}

Figures randomDots(int count) {
    return record(kClient, 1, [count](Canvas& canvas) {
        Random random;
        auto dots = art::RandomDots::begin(canvas, random);
        for (int i = 0; i < count; ++i)
            dots.step();
    });
}

// The figures drawn as one gesture, without and with the history recording it (the step
// ends after the last figure, as at the release of a drag): the fastest times in
// milliseconds, the two taken in turns, three times as often as the rest, so that a busy
// machine slows both alike.
std::pair<double, double> recordingMs(const Figures& figures) {
    Canvas canvas(kClient);
    canvas.setScaleMode(Canvas::Pixels);
    History history(canvas);
    // Between gestures the window readies the history's memory while idle.
    const auto clear = [&] {
        canvas.Cls();
        history.endGesture();
        history.prepare();
        canvas.takeDirty();
    };
    double without = INFINITY, with = INFINITY;
    for (int i = 0; i < 3 * kRepetitions; ++i) {
        clear();
        without = std::min(without, elapsedMs([&] { drawOnCanvas(canvas, figures); }));
        clear();
        with = std::min(with, elapsedMs([&] {
                            drawOnCanvas(canvas, figures);
                            history.endGesture();
                        }));
    }
    return {without, with};
}

// An undo and a redo of a step that changed a whole picture of that size, in milliseconds.
std::pair<double, double> undoRedoMs(QSize size) {
    Canvas canvas(size);
    History history(canvas);
    canvas.Cls();
    history.endGesture();
    const double undo = fastestMs([&] { history.redo(); }, [&] { history.undo(); });
    const double redo = fastestMs([&] { history.undo(); }, [&] { history.redo(); });
    return {undo, redo};
}

void printRecording(const QString& name, std::size_t figures, double withoutMs, double withMs) {
    std::printf("%s %8zu %12.2f %10.2f %+6.1f%%\n", column(name).constData(), figures, withoutMs,
                withMs, 100 * (withMs / withoutMs - 1));
    std::fflush(stdout);
}

void printHistoryOnly(const QString& name, double ms) {
    std::printf("%s %8s %12s %10.2f %7s\n", column(name).constData(), "-", "-", ms, "-");
    std::fflush(stdout);
}

// Chase steps in the off-screen window, each followed by what the window does after a
// step: showing the canvas's changes and handling pending events, paints included. The
// target jumps between two far corners every 100 steps, as if the pointer moved, so that
// the eye and its read-outs keep changing.
double chaseMs(Form1& form, int steps) {
    Random random;
    Easel easel{form.state(), form.canvas(), form, random};
    return fastestMs([] {},
                     [&] {
                         interactive::ChaseRunner runner(0, 0);
                         for (int i = 0; i < steps; ++i) {
                             if (i % 100 == 0)
                                 runner = i % 200 ? interactive::ChaseRunner(400, 350)
                                                  : interactive::ChaseRunner(20, 10);
                             runner.step(easel);
                             form.canvasView()->showChanges();
                             QCoreApplication::processEvents();
                         }
                     });
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    useJapaneseFonts();
    Form1 form(
        {.quit = [] {}, .openUrl = [](const QUrl&) {}, .clock = LoopScheduler::Clock::Manual});
    form.show();
    form.canvas().setScaleMode(Canvas::Pixels);

    // An argument picks the workloads whose names contain it, for profiling one of them.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const auto wanted = [&](const QString& name) { return name.contains(only); };

    printHeader();
    // Races the figures that `make` records, if the workload is wanted; the ratio of
    // QPainter's time to the canvas's, or 0.
    const auto report = [&](const QString& name, double ratio, const auto& make) {
        if (!wanted(name)) return 0.0;
        const Figures figures = make();
        const Result r = race(figures, ratio);
        printRace(name, figures, r);
        return r.painterMs / r.canvasMs;
    };
    const auto button = [](const char* b) { return QString::fromUtf8(b); };
    double ratioPulsingW10 = 0, ratioPulsingW10At2 = 0;
    for (const char* b : {"①", "◎", "○", "③"}) {
        for (const int width : {10, 5, 1}) {
            const QString name = QStringLiteral("%1 w=%2").arg(button(b)).arg(width);
            const double ratio = report(name, 1, [&] { return artClick(b, width); });
            if (name == u"① w=10") ratioPulsingW10 = ratio;
        }
    }
    report(QStringLiteral("pen dots w=10"), 1, [&] { return penDots(form, 100'000); });
    report(QStringLiteral("② dots w=5"), 1, [&] { return randomDots(100'000); });
    // On a screen of device pixel ratio 2: four times the pixels.
    for (const char* b : {"①", "◎"}) {
        const double ratio =
            report(QStringLiteral("%1 w=10 2x").arg(button(b)), 2, [&] { return artClick(b, 10); });
        if (button(b) == u"①") ratioPulsingW10At2 = ratio;
    }
    report(QStringLiteral("pen dots w=10 2x"), 2, [&] { return penDots(form, 100'000); });
    if (const QString name = QStringLiteral("chase steps"); wanted(name)) {
        constexpr int kChaseSteps = 10'000;
        std::printf("%s %7d %9s %9s %9.2f\n", column(name).constData(), kChaseSteps, "-", "-",
                    chaseMs(form, kChaseSteps));
    }
    std::printf("QPainter/canvas ①/w10 = %.1f, at 2x %.1f\n", ratioPulsingW10, ratioPulsingW10At2);

    // What the history costs: recording a gesture, and taking a whole picture back.
    std::printf("\n%s %8s %12s %10s %7s\n", column(QStringLiteral("history")).constData(),
                "figures", "without ms", "with ms", "change");
    if (const QString name = QStringLiteral("recording ① w=10"); wanted(name)) {
        const Figures figures = artClick("①", 10);
        const auto [without, with] = recordingMs(figures);
        printRecording(name, figures.size(), without, with);
    }
    if (const QString name = QStringLiteral("recording pen dots"); wanted(name)) {
        const Figures pen = penDots(form, 100'000);
        const auto [without, with] = recordingMs(pen);
        printRecording(name, pen.size(), without, with);
    }
    if (const QString name = QStringLiteral("undo, redo 1920x1080"); wanted(name)) {
        const auto [undo, redo] = undoRedoMs(QSize(1920, 1080));
        printHistoryOnly(QStringLiteral("undo 1920x1080"), undo);
        printHistoryOnly(QStringLiteral("redo 1920x1080"), redo);
    }
    return 0;
}
