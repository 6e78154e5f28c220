// The clock of the endless drawings: the pace of the real clock with its capped catch-up,
// a drawing at rest costing nothing until the next action, and what each batch shows. The
// controls as the drawing writes them: current at once, handed to the widgets when shown.

#include "app/LoopScheduler.h"
#include "drawing/ControlModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <map>
#include <thread>
#include <vector>

namespace {

using Clock = LoopScheduler::Clock;
using Showing = LoopScheduler::Showing;

// Counts the steps the clock gives and how many ran between two showings (one batch), and
// what each showing showed. While `changes` is false a step changes nothing.
struct Counter {
    int steps = 0;
    int shown = 0;
    int sinceShown = 0;
    bool changes = true;
    std::vector<int> batches;
    std::vector<Showing> showings;

    LoopScheduler::Steps takeSteps() {
        return [this](long long count) {
            for (long long i = 0; i < count; ++i) {
                ++steps;
                ++sinceShown;
                if (!changes) return false;
            }
            return true;
        };
    }
    std::function<void(Showing)> show() {
        return [this](Showing what) {
            ++shown;
            batches.push_back(std::exchange(sinceShown, 0));
            showings.push_back(what);
        };
    }
};

double threadCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 +
           usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
}

// Lets the event loop run for `ms` milliseconds, blocked while nothing is due as in the
// program; returns the time that really passed.
qint64 runEventLoop(int ms) {
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return timer.elapsed();
}

TEST(LoopScheduler, ManualClockAdvancesOnlyWhenAsked) {
    Counter c;
    LoopScheduler loops(Clock::Manual, c.takeSteps(), c.show());
    EXPECT_EQ(loops.afterAction(true), Showing::Everything);
    runEventLoop(50);
    EXPECT_EQ(c.steps, 0);
    loops.advance(7);
    EXPECT_EQ(c.steps, 7);
    EXPECT_EQ(c.showings, std::vector{Showing::Everything});
}

TEST(LoopScheduler, RealClockKeepsAThousandStepsPerSecondAtMost) {
    Counter c;
    LoopScheduler loops(Clock::Real, c.takeSteps(), c.show());
    QElapsedTimer since;
    since.start();
    c.showings.push_back(loops.afterAction(true));
    runEventLoop(400);
    const qint64 ms = since.elapsed();
    // Never ahead of the clock; behind it only by what a busy machine withholds.
    EXPECT_LE(c.steps, ms * LoopScheduler::kStepsPerSecond / 1000 + 1);
    EXPECT_GE(c.steps, ms / 4) << "after " << ms << " ms";
    EXPECT_LE(*std::max_element(c.batches.begin(), c.batches.end()), LoopScheduler::kMaxBatch);
    // Everything after the action, then at every third batch; what moves in between; and
    // while the clock ticks, an action shows only what actions wrote.
    using enum ControlModel::Showing;
    EXPECT_EQ(loops.afterAction(true), Actions);
    ASSERT_GT(c.showings.size(), 4u);
    EXPECT_EQ(c.showings[0], Everything);
    for (std::size_t i = 1; i < c.showings.size(); ++i)
        EXPECT_EQ(c.showings[i], i % LoopScheduler::kTicksPerReadOut ? Moving : Everything) << i;
}

TEST(LoopScheduler, LateEventLoopCatchesUpInOneCappedBatch) {
    Counter c;
    LoopScheduler loops(Clock::Real, c.takeSteps(), c.show());
    loops.afterAction(true);
    runEventLoop(20);
    const int before = c.steps;
    // A handler that keeps the event loop away for 300 ms.
    QTimer::singleShot(0, [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); });
    runEventLoop(20);
    // The steps missed are not all owed: one batch of at most kMaxBatch, then the pace.
    EXPECT_LE(c.steps - before, LoopScheduler::kMaxBatch + 30);
    EXPECT_EQ(*std::max_element(c.batches.begin(), c.batches.end()), LoopScheduler::kMaxBatch);
}

TEST(LoopScheduler, DrawingAtRestSleepsUntilTheNextAction) {
    Counter c;
    LoopScheduler loops(Clock::Real, c.takeSteps(), c.show());
    loops.afterAction(true);
    runEventLoop(2 * LoopScheduler::kTickMs);
    EXPECT_GT(c.steps, 1);
    c.changes = false;
    runEventLoop(2 * LoopScheduler::kTickMs);
    const int asleep = c.steps;
    const int shownAsleep = c.shown;
    const double cpuBefore = threadCpuMs();
    const qint64 ms = runEventLoop(500);
    const double cpu = threadCpuMs() - cpuBefore;
    EXPECT_EQ(c.steps, asleep) << "a drawing at rest went on stepping";
    EXPECT_EQ(c.shown, shownAsleep);
    EXPECT_EQ(c.showings.back(), Showing::Everything) << "held back at rest";
    EXPECT_LT(cpu, ms * 0.01) << "processor time while asleep";

    // An action wakes it: it steps again, and sleeps again at once if nothing changed.
    loops.afterAction(true);
    runEventLoop(2 * LoopScheduler::kTickMs);
    EXPECT_EQ(c.steps, asleep + 1);
    // If something did change, it goes on at its pace; an action that ends the endless
    // drawing stops the clock and shows everything.
    c.changes = true;
    loops.afterAction(true);
    runEventLoop(3 * LoopScheduler::kTickMs);
    EXPECT_GT(c.steps, asleep + 5);
    EXPECT_EQ(loops.afterAction(false), Showing::Everything);
    const int stopped = c.steps;
    runEventLoop(2 * LoopScheduler::kTickMs);
    EXPECT_EQ(c.steps, stopped);
}

// The widgets' side: each write that reaches them, in order.
struct Widgets : ControlSurface {
    std::map<Control, QString> texts;
    QStringList log;

    QString text(Control box) const override {
        const auto found = texts.find(box);
        return found == texts.end() ? QString() : found->second;
    }
    void setText(Control box, const QString& text) override {
        texts[box] = text;
        log << QStringLiteral("%1=%2").arg(nameOf(box), text);
    }
    void moveImage(Control image, QPointF at) override {
        log << QStringLiteral("%1@%2,%3").arg(nameOf(image)).arg(at.x()).arg(at.y());
    }
    void copyPicture(Control image, Control from) override {
        log << QStringLiteral("%1<%2").arg(nameOf(image), nameOf(from));
    }
};

TEST(ControlModel, WritesAreCurrentAtOnceAndReachTheWidgetsWhenShown) {
    using enum ControlModel::Writer;
    Widgets widgets;
    ControlModel model;
    EXPECT_EQ(model.text(Control::Text5), QStringLiteral("10")) << "the design's text";

    EXPECT_TRUE(model.setText(Control::Text8, QStringLiteral("1"), Loop));
    model.moveImage(Control::Image1, {1, 2}, Loop);
    model.setText(Control::Text7, QStringLiteral("2"), Loop);
    model.setText(Control::Text8, QStringLiteral("3"), Loop);
    model.copyPicture(Control::Image1, Control::Image3, Loop);
    model.moveImage(Control::Image1, {4, 5}, Loop);
    EXPECT_FALSE(model.setText(Control::Text8, QStringLiteral("3"), Loop)) << "no new text";
    EXPECT_EQ(model.text(Control::Text8), QStringLiteral("3"));
    EXPECT_EQ(model.text(Control::Text7), QStringLiteral("2"));

    // Showing what actions wrote leaves the endless drawing's writes waiting.
    model.show(ControlModel::Showing::Actions, widgets);
    EXPECT_TRUE(widgets.log.isEmpty());
    // The last write of each control, controls in the order of their first write.
    model.show(ControlModel::Showing::Everything, widgets);
    EXPECT_EQ(widgets.log, QStringList({"Text8=3", "Image1@4,5", "Image1<Image3", "Text7=2"}));
    widgets.log.clear();
    model.show(ControlModel::Showing::Everything, widgets);
    EXPECT_TRUE(widgets.log.isEmpty()) << "shown twice";

    // Showing what moves holds the endless drawing's texts back, still current, ahead of
    // controls written later; what an action wrote goes whole.
    model.setText(Control::Text7, QStringLiteral("4"), Loop);
    model.moveImage(Control::Image1, {6, 7}, Loop);
    model.setText(Control::Text4, QStringLiteral("hint"), Action);
    model.show(ControlModel::Showing::Moving, widgets);
    EXPECT_EQ(widgets.log, QStringList({"Image1@6,7", "Text4=hint"}));
    EXPECT_EQ(model.text(Control::Text7), QStringLiteral("4"));
    model.setText(Control::Text8, QStringLiteral("5"), Loop);
    model.setText(Control::Text7, QStringLiteral("6"), Loop);
    model.setText(Control::Text9, QStringLiteral("7"), Action);
    widgets.log.clear();
    model.show(ControlModel::Showing::Actions, widgets);
    EXPECT_EQ(widgets.log, QStringList({"Text9=7"}));
    model.show(ControlModel::Showing::Everything, widgets);
    EXPECT_EQ(widgets.log, QStringList({"Text9=7", "Text7=6", "Text8=5"}));
}

} // namespace
