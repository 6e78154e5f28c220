// quenzel-bench: how fast the canvas draws what the buttons and the pen draw, next to
// QPainter and Cairo drawing the same figures on an image of the same format and size, and
// to the floor: the very same pixels written as precomputed spans. Every workload is a
// list of figures recorded from the real drawing code, replayed into each renderer, at a
// device pixel ratio of 1 or 2; each timing is the fastest of several repetitions. Then what
// the history and the recording of a drawing cost, and what an hour of drawing records.
#include "Clocks.h"
#include "Figures.h"
#include "RecorderBench.h"

#include "app/CanvasView.h"
#include "app/FilmExport.h"
#include "app/Fonts.h"
#include "app/Form1.h"
#include "art/BouncingTrail.h"
#include "art/ConcentricRings.h"
#include "art/GreenTrail.h"
#include "art/PulsingTrail.h"
#include "art/RandomDots.h"
#include "canvas/History.h"
#include "drawing/FormDesign.h"
#include "interactive/ChaseRunner.h"
#include "interactive/PointerModes.h"
#include "recording/CheckpointData.h"
#include "recording/RecordedLine.h"
#include "recording/RecordingFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kRepetitions = 9; // at least 5; more steadies the minimum on a busy machine
const QSize kClient(design::kClientWidth / design::kTwipsPerPixel,
                    design::kClientHeight / design::kTwipsPerPixel);
// A maximised window on a 4K screen at 200 %: a client area of 1920 x 1033 pixels, a raster
// of 3840 x 2066.
const QSize kBigClient(1920, 1033);
constexpr double kBigRatio = 2;

// The fastest of kRepetitions runs of `run`, in milliseconds of wall time or, with
// `now`, of that clock; `prepare` runs untimed before each.
template <typename Prepare, typename Run>
double fastestMs(Prepare prepare, Run run, double (*now)() = nullptr) {
    double best = INFINITY;
    for (int i = 0; i < kRepetitions; ++i) {
        prepare();
        if (now) {
            const double start = now();
            run();
            best = std::min(best, now() - start);
        } else {
            best = std::min(best, elapsedMs(run));
        }
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

Result race(const Figures& figures, double ratio, QSize client = kClient) {
    Canvas canvas(client);
    canvas.setScaleMode(Canvas::Pixels);
    canvas.setDeviceRatio(ratio);
    const QSize device = canvas.deviceSize();
    const auto clear = [&] {
        canvas.Cls();
        canvas.takeDirty();
    };
    const double canvasMs = fastestMs(clear, [&] { drawOnCanvas(canvas, figures); });

    const Spans spans = spansOf(figures, client, ratio);
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
Figures artClick(const char* button, int width, QSize client = kClient) {
    return record(client, width, [button](Canvas& canvas) {
        Random random;
        DrawingState state;
        const QString b = QString::fromUtf8(button);
        if (b == u"①") art::drawPulsingTrail(canvas, random);
        if (b == u"◎") art::drawConcentricRings(canvas, random);
        if (b == u"○") art::drawBouncingTrail(canvas, random);
        if (b == u"③") art::drawGreenTrail(canvas, random, state);
    });
}

// The boxes as they stand at start-up, for the pen button to read its width from.
struct StartUpBoxes : ControlSurface {
    QString text(Control box) const override {
        return QString::fromUtf16(design::control(nameOf(box)).text);
    }
    void setText(Control, const QString&) override {}
    void moveImage(Control, QPointF) override {}
    void copyPicture(Control, Control) override {}
};

// The pen switched on from start-up and dragged along a Lissajous figure over the whole
// canvas, one dot per movement at whole pixels, as a mouse delivers them.
Figures penDots(Form1& form, int count) {
    return record(kClient, 1, [&](Canvas& canvas) {
        canvas.setScaleMode(Canvas::Pixels);
        DrawingState state = form.drawing().state();
        Random random;
        StartUpBoxes boxes;
        Easel easel{state, canvas, boxes, random};
        interactive::Command7_MouseDown(easel);
        interactive::Form_MouseDown(easel, 0, 0);
        for (int i = 0; i < count; ++i) {
            const QPointF at = penPath(kClient, i);
            interactive::drawPointerModes(easel, float(at.x()), float(at.y()));
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

void printRecorder(const QString& name, const RecorderCost& c) {
    std::printf("%s %8lld %12.2f %10.2f %+6.1f%% %9.2f\n", column(name).constData(), c.actions,
                c.withoutMs, c.withMs, 100 * (c.withMs / c.withoutMs - 1), c.writerMs);
    std::fflush(stdout);
}

void printHour(const Hour& h) {
    std::printf("%s %8lld actions, %lld lines, %lld checkpoints: text %.2f MB (checkpoints "
                "%.2f MB), file %.2f MB\n",
                column(QStringLiteral("an hour")).constData(), h.actions, h.lines, h.checkpoints,
                h.textMB, h.checkpointsMB, h.fileMB);
    std::printf("%s processor time: drawing %.2f s, writer %.2f s; brought back: read %.0f ms, "
                "bringBack %.0f ms (%lld actions in it), %s\n",
                column(QString()).constData(), h.playedS, h.writerS, h.readMs, h.bringBackMs,
                h.actionsBroughtBack, h.same ? "the same drawing" : "NOT THE SAME DRAWING");
    std::printf("%s the longest bringBack, just before a checkpoint: %.0f ms (%lld actions)\n",
                column(QString()).constData(), h.worstBringBackMs, h.worstActions);
    std::printf("%s a jump back to a moment of the film: %.0f ms median, %.0f ms the longest\n",
                column(QString()).constData(), h.medianSeekMs, h.worstSeekMs);
    std::fflush(stdout);
}

void printHistoryOnly(const QString& name, double ms) {
    std::printf("%s %8s %12s %10.2f %7s\n", column(name).constData(), "-", "-", ms, "-");
    std::fflush(stdout);
}

// What the end of a gesture that changed the whole picture costs the history at that size,
// with the readying of memory that follows it while the window is idle: processor time (the
// kernel's page faults included), the fastest of kRepetitions once the budget is full.
double gestureEndMs(QSize client, double ratio) {
    Canvas canvas(client);
    canvas.setDeviceRatio(ratio);
    History history(canvas);
    const auto change = [&] {
        canvas.Cls();
        canvas.takeDirty();
    };
    const auto end = [&] {
        history.endGesture();
        history.prepare();
    };
    for (int kept = -1; history.undoable() != kept;) {
        kept = history.undoable();
        change();
        end();
    }
    return fastestMs(change, end, processorMs);
}

// What showing the whole raster costs the window at that size: the canvas view, and the
// controls on it, painted into an image of the screen's pixels as into the window's backing
// store (processor time, the fastest of kRepetitions).
double showingMs(QSize client, double ratio) {
    Form1 form(
        {.quit = [] {}, .openUrl = [](const QUrl&) {}, .clock = LoopScheduler::Clock::Manual});
    form.drawing().take(action::DeviceRatio{ratio});
    form.resizeClientArea(client);
    form.show();
    QCoreApplication::processEvents();
    QWidget* view = form.canvasView();
    QImage screen(form.drawing().canvas().deviceSize(), QImage::Format_RGB32);
    screen.setDevicePixelRatio(ratio);
    const double ms = fastestMs([] {}, [&] { view->render(&screen); }, processorMs);
    if (screen.pixel(0, 0) != form.drawing().canvas().raster().pixel(0, 0) ||
        view->size() != client)
        std::fprintf(stderr, "warning: the view is not shown at the big screen's size\n");
    return ms;
}

// Runs `steps` steps of the window's current endless drawing as its clock does: a batch
// per display frame, each followed by the frame (the writes shown, pending events and
// paints handled).
constexpr int kStepsPerFrame = LoopScheduler::kStepsPerSecond * LoopScheduler::kTickMs / 1000;

void runFrames(Form1& form, int steps) {
    for (int done = 0; done < steps; done += kStepsPerFrame) {
        form.loops().advance(std::min(kStepsPerFrame, steps - done));
        QCoreApplication::processEvents();
    }
}

void click(Form1& form, const char* button) {
    qobject_cast<QAbstractButton*>(form.control(QString::fromLatin1(button)))->click();
    QCoreApplication::processEvents();
}

void pointerOnCanvas(Form1& form, QEvent::Type type, QPointF at,
                     Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, form.canvasView()->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(form.canvasView(), &event);
}

void moveOnCanvas(Form1& form, QPointF at) { pointerOnCanvas(form, QEvent::MouseMove, at); }

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

// An hour of drawing as its recording: pen strokes of 5 s at 100 moves a second with a
// second's rest between, a generated picture every minute, and a checkpoint every 10 s as the
// recorder would make them.
QByteArray hourRecording() {
    using namespace action;
    Drawing drawing{QSize(451, 382), QFont(), {.end = [] {}, .openUrl = [](const QUrl&) {}}};
    drawing.take(DeviceRatio{1});
    QByteArray text = recording::header(QSize(451, 382), 1);
    const auto take = [&](qint64 ms, const Action& a) {
        drawing.take(a);
        text += recording::line(ms, a);
    };
    const auto click = [&](qint64 ms, const char* name) {
        take(ms, OnControl{ControlEvent::MouseDown, QString::fromLatin1(name)});
        take(ms, OnControl{ControlEvent::Click, QString::fromLatin1(name)});
    };
    constexpr qint64 kHourMs = 3'600'000;
    qint64 checkpointAt = -10'000; // none yet
    for (qint64 ms = 0; ms < kHourMs; ms += 6000) {
        if (ms / 10'000 != checkpointAt / 10'000)
            text +=
                recording::checkpointLine(checkpointAt = ms, recording::encode(drawing.snapshot()));
        if (ms % 60'000 == 0) click(ms, "Command6");
        click(ms, "Command7");
        const double y = double(ms / 6000 % 350) + 20;
        take(ms, OnCanvas{Pointer::Press, QPointF(20, y), Qt::LeftButton});
        for (qint64 t = 10; t <= 5000; t += 10)
            take(ms + t, OnCanvas{Pointer::Move, QPointF(20 + t / 12.5, y + (t / 10) % 20)});
        take(ms + 5000, OnCanvas{Pointer::Release, QPointF(420, y), Qt::LeftButton});
    }
    return text;
}

// Seconds of wall time to export the hour at ×16 as each film.
void filmSeconds(const QByteArray& hour) {
    QTemporaryDir dir;
    for (const char* name : {"hour.webp", "hour.mp4"}) {
        QElapsedTimer wall;
        wall.start();
        QString error;
        const film::Outcome outcome = exportFilm(
            hour, dir.filePath(QString::fromLatin1(name)), {.speed = 16},
            [](qint64, qint64) { return true; }, &error);
        std::printf("%s %8lld frames %10.1f s %s\n",
                    column(QStringLiteral("film ×16 ") + QString::fromLatin1(name)).constData(),
                    film::frameCount(Playback(hour).length(), 16), wall.elapsed() / 1000.0,
                    outcome == film::Outcome::Done ? "" : qPrintable(error));
    }
}

// Two windows, the second recording into a temporary folder as the program does: what
// `run` costs the window's thread in turns (see inTurns).
template <typename Prepare, typename Run>
RecorderCost windowsInTurns(int runs, Prepare prepare, Run run) {
    QTemporaryDir dir;
    const auto services = [](std::optional<RecordingFolder> recordings) {
        return Form1::Services{.quit = [] {},
                               .openUrl = [](const QUrl&) {},
                               .clock = LoopScheduler::Clock::Manual,
                               .recordings = std::move(recordings)};
    };
    Form1 without(services(std::nullopt));
    auto with = std::make_unique<Form1>(services(RecordingFolder(dir.path())));
    without.show();
    with->show();
    QCoreApplication::processEvents();
    return inTurns(without, *with, runs, prepare, run, [&] { with.reset(); });
}

// A stroke of `moves` pointer movements with the pen through the window's events, a frame
// shown after every other movement (a mouse's 100 movements a second on a 60 Hz screen).
RecorderCost windowPenDots(int moves, int runs) {
    const auto prepare = [](Form1& form) {
        click(form, "Command3");
        if (!form.drawing().state().penOn.on())
            form.drawing().take(
                action::OnControl{action::ControlEvent::MouseDown, QStringLiteral("Command7")});
    };
    const auto run = [moves](Form1& form) {
        pointerOnCanvas(form, QEvent::MouseButtonPress, penPath(kClient, 0), Qt::LeftButton);
        for (int i = 1; i <= moves; ++i) {
            pointerOnCanvas(form, QEvent::MouseMove, penPath(kClient, i), Qt::LeftButton);
            if (i % 2) continue;
            form.canvasView()->showChangesNow(); // as the frame's timer would
            QCoreApplication::processEvents();
        }
        pointerOnCanvas(form, QEvent::MouseButtonRelease, penPath(kClient, moves), Qt::LeftButton);
        QCoreApplication::processEvents();
        return moves + 2LL;
    };
    return windowsInTurns(runs, prepare, run);
}

// "②" in the window as its clock runs it (see runFrames).
RecorderCost windowDots(int steps, int runs) {
    const auto prepare = [](Form1& form) {
        click(form, "Command3");
        click(form, "Command9");
    };
    const auto run = [steps](Form1& form) {
        runFrames(form, steps);
        return (steps + kStepsPerFrame - 1LL) / kStepsPerFrame;
    };
    return windowsInTurns(runs, prepare, run);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    useJapaneseFonts();
    Form1 form(
        {.quit = [] {}, .openUrl = [](const QUrl&) {}, .clock = LoopScheduler::Clock::Manual});
    form.show();

    // An argument picks the workloads whose names contain it, for profiling one of them.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const auto wanted = [&](const QString& name) { return name.contains(only); };

    printHeader();
    // Races the figures that `make` records, if the workload is wanted; the ratio of
    // QPainter's time to the canvas's, or 0.
    const auto report = [&](const QString& name, double ratio, const auto& make,
                            QSize client = kClient) {
        if (!wanted(name)) return 0.0;
        const Figures figures = make();
        const Result r = race(figures, ratio, client);
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
    constexpr int kLoopSteps = 10'000;
    const auto printLoop = [&](const QString& name, double microseconds) {
        std::printf("%s %8d steps %10.2f µs per step\n", column(name).constData(), kLoopSteps,
                    microseconds);
    };
    if (const QString name = QStringLiteral("chase steps"); wanted(name))
        printLoop(name, chaseMicroseconds(form, kLoopSteps));
    if (const QString name = QStringLiteral("② steps"); wanted(name))
        printLoop(name, dotsMicroseconds(form, kLoopSteps));
    std::printf("QPainter/canvas ①/w10 = %.1f, at 2x %.1f\n", ratioPulsingW10, ratioPulsingW10At2);

    // A maximised window on a 4K screen: the clicks, then what a gesture's end and showing the
    // whole raster cost beside them.
    std::printf("\n%s\n", column(QStringLiteral("big screen 3840x2066 at ratio 2")).constData());
    for (const char* b : {"①", "◎", "○", "③"})
        report(
            QStringLiteral("%1 w=10 4K").arg(button(b)), kBigRatio,
            [&] { return artClick(b, 10, kBigClient); }, kBigClient);
    const auto printBig = [](const QString& name, const char* what, double ms) {
        std::printf("%s %7s %9.2f ms of processor time, %s\n", column(name).constData(), "-", ms,
                    what);
        std::fflush(stdout);
    };
    if (const QString name = QStringLiteral("gesture end 4K"); wanted(name))
        printBig(name, "the history's, memory readied", gestureEndMs(kBigClient, kBigRatio));
    if (const QString name = QStringLiteral("showing 4K"); wanted(name))
        printBig(name, "the whole raster painted", showingMs(kBigClient, kBigRatio));

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
    // The making-of of an hour, at ×16: 225 s of film.
    if (wanted(QStringLiteral("film ×16"))) filmSeconds(hourRecording());

    // What recording costs the drawing's thread (processor time, fastest of 27 in turns), and
    // what the file's writer thread spends per run; then the hour.
    std::printf("\n%s %8s %12s %10s %7s %9s\n", column(QStringLiteral("recorder")).constData(),
                "actions", "without ms", "with ms", "change", "writer ms");
    if (const QString name = QStringLiteral("recorder pen dots"); wanted(name))
        printRecorder(QStringLiteral("pen dots"),
                      recorderPenDots(kClient, 100'000, 3 * kRepetitions));
    if (const QString name = QStringLiteral("recorder ② dots"); wanted(name))
        printRecorder(QStringLiteral("② dots"), recorderDots(kClient, 100'000, 3 * kRepetitions));
    if (const QString name = QStringLiteral("recorder pen dots, window"); wanted(name))
        printRecorder(QStringLiteral("pen dots, window"), windowPenDots(10'000, 3 * kRepetitions));
    if (const QString name = QStringLiteral("recorder ② steps, window"); wanted(name))
        printRecorder(QStringLiteral("② steps, window"), windowDots(10'000, 3 * kRepetitions));
    // Last: the session's clock stays an hour ahead.
    if (const QString name = QStringLiteral("recorder an hour"); wanted(name))
        printHour(anHour(kClient));
    return 0;
}
