// Endless drawings started one from within another, as a user would: "②" clicks and
// movements in chase mode, alternating, a hundred thousand times. Only the newest loop
// advances, and neither memory nor stack depth grows with the number started.
//
// The hundred thousand starts go straight to the button and the canvas view rather than
// through the window system, and pending events are handled after every thousand: each
// synthesized click would otherwise cost a full repaint (about a millisecond, most of it
// spent waiting for the raster engine's worker threads).

#include "Replay.h"
#include "app/CanvasView.h"
#include "app/Form1.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>

namespace {

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Records how deep in the stack the window's events are handled: with loops nested inside
// one another each new one would be handled deeper.
class StackProbe : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            const int here = 0;
            const auto address = reinterpret_cast<std::uintptr_t>(&here);
            lowest = lowest == 0 ? address : std::min(lowest, address);
            highest = std::max(highest, address);
        }
        return false;
    }
    void reset() { lowest = highest = 0; }
    std::uintptr_t lowest = 0, highest = 0;
};

class Supersession : public testing::Test {
  protected:
    Replay replay{[this](const QString& line) { output << line; }};
    QStringList output;

    Form1& form() { return replay.form(); }
    void run(const QStringList& lines) {
        ASSERT_EQ(replay.run(lines), Replay::Outcome::Finished) << qPrintable(replay.error());
    }
    // Starts `count` loops, "②" and a chase movement in turn. The two pointer places lie
    // far apart, so that the eye, which closes a fiftieth of the way at each start,
    // settles between them and never covers the pointer.
    void startLoops(int count) {
        auto* dots = qobject_cast<QAbstractButton*>(form().control(QStringLiteral("Command9")));
        ASSERT_NE(dots, nullptr);
        for (int i = 0; i < count; ++i) {
            if (i % 2 == 0)
                dots->click();
            else
                moveOnCanvas(i % 4 == 1 ? QPointF(100, 100) : QPointF(350, 250));
            if (i % 1000 == 999) QCoreApplication::processEvents();
        }
    }
    void moveOnCanvas(QPointF at) {
        CanvasView* view = form().canvasView();
        QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(view, &move);
    }
    QString spriteX() { return form().drawing().state().spriteX.toText(); }
};

TEST_F(Supersession, HundredThousandLoopsKeepMemoryAndStackFlat) {
    run({QStringLiteral("click Command14")});
    StackProbe probe;
    qApp->installEventFilter(&probe);
    QElapsedTimer clock;
    clock.start();

    startLoops(10'000);
    const long residentAt10k = residentKiB();
    const auto stackAt10k = std::pair(probe.lowest, probe.highest);
    probe.reset();
    startLoops(90'000);
    const long residentAt100k = residentKiB();
    const auto stackAt100k = std::pair(probe.lowest, probe.highest);
    qApp->removeEventFilter(&probe);
    std::printf("100000 loops in %.1f s; resident %ld KiB at 10000, %ld KiB at 100000\n",
                clock.elapsed() / 1000.0, residentAt10k, residentAt100k);

    EXPECT_LT(residentAt100k - residentAt10k, 2 * 1024) << "resident memory grew";
    // Movements are handled at the same depths, however many loops were started.
    EXPECT_NE(stackAt10k.first, 0u);
    EXPECT_EQ(stackAt100k, stackAt10k);
    // Each "②" click drew its first dot at once: three random numbers each.
    EXPECT_EQ(form().drawing().random().drawn(), 3u * 50'000);
}

TEST_F(Supersession, OnlyTheNewestLoopAdvances) {
    run({QStringLiteral("click Command14")});
    startLoops(1'000);
    // The last one started is the chase runner: steps move the eye and draw no dot.
    const QString x = spriteX();
    const auto drawn = form().drawing().random().drawn();
    run({QStringLiteral("steps 5")});
    EXPECT_NE(spriteX(), x);
    EXPECT_EQ(form().drawing().random().drawn(), drawn);

    // A click of "②" from here: the dots advance, the eye stays.
    run({QStringLiteral("click Command9"), QStringLiteral("steps 5")});
    EXPECT_EQ(form().drawing().random().drawn(), drawn + 3 * 6);
    const QString stopped = spriteX();
    run({QStringLiteral("steps 100")});
    EXPECT_EQ(spriteX(), stopped);

    // "CLS" and another drawing in between do not end the dots.
    run({QStringLiteral("click Command3"), QStringLiteral("click Command11"),
         QStringLiteral("steps 2")});
    EXPECT_EQ(form().drawing().random().drawn(), drawn + 3 * 6 + 300 + 2 + 6);
}

TEST_F(Supersession, EndEndsEverything) {
    run({QStringLiteral("click Command14"), QStringLiteral("move 100 100"),
         QStringLiteral("click Command9")});
    EXPECT_EQ(replay.run({QStringLiteral("click Command5"), QStringLiteral("steps 5")}),
              Replay::Outcome::Ended);
    EXPECT_FALSE(form().isVisible());
}

double threadCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 +
           usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
}

// The window on the real clock: the eye glides at its pace, rests once it has arrived,
// and any input that could change what it shows wakes it again.
TEST(RestingEye, CostsNothingAndWakesOnInput) {
    Form1 form({.quit = [] {}, .openUrl = [](const QUrl&) {}});
    form.show();
    qobject_cast<QAbstractButton*>(form.control(QStringLiteral("Command14")))->click();
    CanvasView* view = form.canvasView();
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 200), view->mapToGlobal(QPointF(300, 200)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
    auto* readOut = qobject_cast<QLineEdit*>(form.control(QStringLiteral("Text7")));
    // About 700 steps until the eye stops moving: under a second at 1000 steps a second.
    QString last;
    for (int waited = 0; waited < 10'000 && readOut->text() != last; waited += 200) {
        last = readOut->text();
        QTest::qWait(200);
    }
    ASSERT_EQ(readOut->text().toStdString(), last.toStdString()) << "the eye never came to rest";
    EXPECT_NEAR(readOut->text().toDouble(), 4500, 1);

    // Measured with the event loop blocked waiting, as in the program (a polling wait
    // would cost about a percent by itself).
    const double before = threadCpuMs();
    QElapsedTimer clock;
    clock.start();
    QEventLoop idle;
    QTimer::singleShot(1000, &idle, &QEventLoop::quit);
    idle.exec();
    EXPECT_LT(threadCpuMs() - before, clock.elapsed() * 0.01) << "processor time at rest";

    // Typing into a read-out: the resting eye writes it again at its next step.
    QTest::keyClicks(readOut, QStringLiteral("7"));
    QTest::qWait(50);
    EXPECT_EQ(readOut->text().toStdString(), last.toStdString());
}

// Counts the moves of a widget.
class MoveCounter : public QObject {
  public:
    explicit MoveCounter(QWidget* widget) { widget->installEventFilter(this); }
    int moves = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        moves += event->type() == QEvent::Move;
        return false;
    }
};

// The eye on the real clock steps a thousand times a second, but its image moves at most
// once per frame, to where the last step put it; the read-outs follow every third frame.
TEST(GlidingEye, ReachesTheWidgetsAtMostOncePerFrame) {
    Form1 form({.quit = [] {}, .openUrl = [](const QUrl&) {}});
    form.show();
    qobject_cast<QAbstractButton*>(form.control(QStringLiteral("Command14")))->click();
    QWidget* image = form.control(QStringLiteral("Image1"));
    MoveCounter eye(image);
    CanvasView* view = form.canvasView();
    QMouseEvent move(QEvent::MouseMove, QPointF(400, 350), view->mapToGlobal(QPointF(400, 350)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::sendEvent(view, &move);
    QEventLoop glide;
    QTimer::singleShot(150, &glide, &QEventLoop::quit);
    glide.exec();
    const qint64 ms = clock.elapsed();

    // In twips from (0, 0) towards 6000: after n steps the eye is at 6000 (1 - 0.98^n).
    const auto stepsTo = [](double x) { return std::log(1 - x / 6000) / std::log(0.98); };
    const double x = *form.drawing().state().spriteX.number();
    const double steps = stepsTo(x);
    EXPECT_EQ(image->x(), std::lround(form.drawing().canvas().toPixels(x)));
    EXPECT_GE(eye.moves, 2);
    EXPECT_LE(eye.moves, ms / LoopScheduler::kTickMs + 2);
    EXPECT_GE(steps, 8.0 * eye.moves) << eye.moves << " moves after " << ms << " ms";
    auto* readOut = qobject_cast<QLineEdit*>(form.control(QStringLiteral("Text7")));
    const double shown = stepsTo(readOut->text().toDouble());
    EXPECT_GE(shown, 1) << "no read-out shown";
    EXPECT_LE(steps - shown, LoopScheduler::kTicksPerReadOut * LoopScheduler::kMaxBatch);
}

} // namespace
