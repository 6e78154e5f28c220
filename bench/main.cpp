// quenzel-bench: how fast the canvas draws what the buttons and the pen draw, next to
// QPainter drawing the same figures on a QImage of the same format. Every workload is a
// list of figures recorded from the real drawing code, replayed into both renderers; each
// timing is the fastest of several repetitions.
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
#include "interactive/ChaseRunner.h"
#include "interactive/PointerModes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kRepetitions = 9; // at least 5; more steadies the minimum on a busy machine
const QSize kClient(design::kClientWidth / design::kTwipsPerPixel,
                    design::kClientHeight / design::kTwipsPerPixel);

// Processor time of the whole process (paints may use worker threads), in milliseconds: on
// a shared machine, wall time would count the time spent waiting for a processor.
double processorMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The fastest of kRepetitions runs of `run`, in milliseconds of wall time or, with
// `now`, of that clock; `prepare` runs untimed before each.
template <typename Prepare, typename Run>
double fastestMs(Prepare prepare, Run run, double (*now)() = nullptr) {
    double best = INFINITY;
    for (int i = 0; i < kRepetitions; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        const double start = now ? now() : 0;
        run();
        best = std::min(best, now ? now() - start : timer.nsecsElapsed() / 1e6);
    }
    return best;
}

struct Result {
    double painterMs, canvasMs;
    long long pixels;
};

Result race(const Figures& figures) {
    Canvas canvas(kClient);
    canvas.setScaleMode(Canvas::Pixels);
    QImage image(kClient, canvas.raster().format());
    const double painterMs = fastestMs([&] { image.fill(Qt::white); },
                                       [&] {
                                           QPainter painter(&image);
                                           drawWithPainter(painter, figures);
                                       });
    const double canvasMs = fastestMs(
        [&] {
            canvas.Cls();
            canvas.takeDirty();
        },
        [&] { drawOnCanvas(canvas, figures); });
    return {painterMs, canvasMs, paintedPixels(figures, kClient)};
}

// The name padded by characters, not bytes, so that the columns line up.
QByteArray column(const QString& name) { return name.leftJustified(16).toUtf8(); }

void printHeader() {
    std::printf("%s %8s %12s %10s %7s %16s\n", column(QStringLiteral("workload")).constData(),
                "figures", "QPainter ms", "canvas ms", "ratio", "canvas ns/pixel");
}

void printRace(const QString& name, const Figures& figures, const Result& r) {
    std::printf("%s %8zu %12.2f %10.2f %7.1f %16.3f\n", column(name).constData(), figures.size(),
                r.painterMs, r.canvasMs, r.painterMs / r.canvasMs,
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

// Runs `steps` steps of the window's current endless drawing as its clock does: a batch
// per display frame, each followed by the frame (the writes shown, pending events and
// paints handled).
void runFrames(Form1& form, int steps) {
    constexpr int kPerFrame = LoopScheduler::kStepsPerSecond * LoopScheduler::kTickMs / 1000;
    for (int done = 0; done < steps; done += kPerFrame) {
        form.loops().advance(std::min(kPerFrame, steps - done));
        QCoreApplication::processEvents();
    }
}

void click(Form1& form, const char* button) {
    qobject_cast<QAbstractButton*>(form.control(QString::fromLatin1(button)))->click();
    QCoreApplication::processEvents();
}

void moveOnCanvas(Form1& form, QPointF at) {
    QMouseEvent move(QEvent::MouseMove, at, form.canvasView()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.canvasView(), &move);
}

// Microseconds of processor time per chase step in the off-screen window, display included. The
// pointer jumps between two far corners every 100 steps (each jump starts a runner, whose first
// step counts), so that the eye and its read-outs keep changing.
double chaseMicroseconds(Form1& form, int steps) {
    constexpr int kLeg = 100;
    click(form, "Command14");
    const double ms =
        fastestMs([] {},
                  [&] {
                      for (int leg = 0; leg < steps / kLeg; ++leg) {
                          moveOnCanvas(form, leg % 2 ? QPointF(400, 350) : QPointF(20, 10));
                          runFrames(form, kLeg - 1);
                      }
                  },
                  processorMs);
    click(form, "Command14");
    return ms * 1000 / steps;
}

// Microseconds of processor time per dot of "②" in the off-screen window, display included.
double dotsMicroseconds(Form1& form, int steps) {
    click(form, "Command9");
    return fastestMs([] {}, [&] { runFrames(form, steps); }, processorMs) * 1000 / steps;
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
    double ratioPulsingW10 = 0;
    for (const char* button : {"①", "◎", "○", "③"}) {
        for (const int width : {10, 5, 1}) {
            const QString name =
                QStringLiteral("%1 w=%2").arg(QString::fromUtf8(button)).arg(width);
            if (!wanted(name)) continue;
            const Figures figures = artClick(button, width);
            const Result r = race(figures);
            printRace(name, figures, r);
            if (name == u"① w=10") ratioPulsingW10 = r.painterMs / r.canvasMs;
        }
    }
    if (const QString name = QStringLiteral("pen dots w=10"); wanted(name)) {
        const Figures pen = penDots(form, 100'000);
        printRace(name, pen, race(pen));
    }
    if (const QString name = QStringLiteral("② dots w=5"); wanted(name)) {
        const Figures dots = randomDots(100'000);
        printRace(name, dots, race(dots));
    }
    constexpr int kLoopSteps = 10'000;
    const auto printLoop = [&](const QString& name, double microseconds) {
        std::printf("%s %8d steps %10.2f µs per step\n", column(name).constData(), kLoopSteps,
                    microseconds);
    };
    if (const QString name = QStringLiteral("chase steps"); wanted(name))
        printLoop(name, chaseMicroseconds(form, kLoopSteps));
    if (const QString name = QStringLiteral("② steps"); wanted(name))
        printLoop(name, dotsMicroseconds(form, kLoopSteps));
    std::printf("ratio ①/w10 = %.1f\n", ratioPulsingW10);
    return 0;
}
