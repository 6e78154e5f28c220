// The scheduler of the endless drawings: the first step at once, one current loop that
// replaces and frees the one before, the pace of the real clock with its capped catch-up,
// and a loop that changed nothing sleeping until woken. What a loop writes to the controls:
// current at once, handed to the widgets only when shown.

#include "app/LoopScheduler.h"
#include "app/GatheredControls.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = LoopScheduler::Clock;

// Counts the steps of a loop and how many ran between two showings (one batch), and what
// each showing showed.
struct Counter {
    int steps = 0;
    int shown = 0;
    int sinceShown = 0;
    std::vector<int> batches;
    std::vector<LoopScheduler::Showing> showings;

    LoopScheduler::Step step(bool changes = true) {
        return [this, changes] {
            ++steps;
            ++sinceShown;
            return changes;
        };
    }
    std::function<void(LoopScheduler::Showing)> afterSteps() {
        return [this](LoopScheduler::Showing what) {
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

TEST(LoopScheduler, StartRunsTheFirstStepAtOnceAndShowsIt) {
    Counter c;
    LoopScheduler loops(Clock::Manual, c.afterSteps());
    EXPECT_FALSE(loops.running());
    loops.start(c.step());
    EXPECT_TRUE(loops.running());
    EXPECT_EQ(c.steps, 1);
    EXPECT_EQ(c.shown, 1);
}

TEST(LoopScheduler, StartingAnotherLoopReplacesAndFreesTheOneBefore) {
    Counter first, second;
    LoopScheduler loops(Clock::Manual, [](LoopScheduler::Showing) {});
    auto owned = std::make_shared<int>(0);
    std::weak_ptr<int> watch = owned;
    loops.start([&first, owned] { return first.step()(); });
    owned.reset();
    EXPECT_FALSE(watch.expired());
    loops.start(second.step());
    EXPECT_TRUE(watch.expired()) << "the superseded loop is still held";
    loops.advance(10);
    EXPECT_EQ(first.steps, 1);
    EXPECT_EQ(second.steps, 11);
}

TEST(LoopScheduler, ManualClockAdvancesOnlyWhenAsked) {
    Counter c;
    LoopScheduler loops(Clock::Manual, c.afterSteps());
    loops.start(c.step());
    runEventLoop(50);
    loops.wake();
    runEventLoop(20);
    EXPECT_EQ(c.steps, 1);
    loops.advance(7);
    EXPECT_EQ(c.steps, 8);
    EXPECT_EQ(c.shown, 2); // shown once after the first step, once after the seven
}

TEST(LoopScheduler, AdvanceStopsAtAStepThatChangesNothing) {
    int calls = 0;
    LoopScheduler loops(Clock::Manual, [](LoopScheduler::Showing) {});
    loops.start([&calls] { return ++calls < 3; });
    loops.advance(10);
    EXPECT_EQ(calls, 3);
}

TEST(LoopScheduler, RealClockKeepsAThousandStepsPerSecondAtMost) {
    Counter c;
    LoopScheduler loops(Clock::Real, c.afterSteps());
    QElapsedTimer since;
    since.start();
    loops.start(c.step());
    runEventLoop(400);
    const qint64 ms = since.elapsed();
    // Never ahead of the clock; behind it only by what a busy machine withholds.
    EXPECT_LE(c.steps, ms * LoopScheduler::kStepsPerSecond / 1000 + 1);
    EXPECT_GE(c.steps, ms / 4) << "after " << ms << " ms";
    EXPECT_LE(*std::max_element(c.batches.begin(), c.batches.end()), LoopScheduler::kMaxBatch);
    // Everything at the first step, then at every third batch; what moves in between.
    using enum LoopScheduler::Showing;
    ASSERT_GT(c.showings.size(), 4u);
    EXPECT_EQ(c.showings[0], Everything);
    for (std::size_t i = 1; i < c.showings.size(); ++i)
        EXPECT_EQ(c.showings[i], i % LoopScheduler::kTicksPerReadOut ? Moving : Everything) << i;
}

TEST(LoopScheduler, LateEventLoopCatchesUpInOneCappedBatch) {
    Counter c;
    LoopScheduler loops(Clock::Real, c.afterSteps());
    loops.start(c.step());
    runEventLoop(20);
    const int before = c.steps;
    // A handler that keeps the event loop away for 300 ms.
    QTimer::singleShot(0, [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); });
    runEventLoop(20);
    // The steps missed are not all owed: one batch of at most kMaxBatch, then the pace.
    EXPECT_LE(c.steps - before, LoopScheduler::kMaxBatch + 30);
    EXPECT_EQ(*std::max_element(c.batches.begin(), c.batches.end()), LoopScheduler::kMaxBatch);
}

TEST(LoopScheduler, LoopThatChangesNothingSleepsUntilWoken) {
    Counter c;
    bool changes = true;
    int calls = 0;
    LoopScheduler loops(Clock::Real, c.afterSteps());
    loops.start([&] {
        ++calls;
        return changes;
    });
    runEventLoop(2 * LoopScheduler::kTickMs);
    EXPECT_GT(calls, 1);
    changes = false;
    runEventLoop(2 * LoopScheduler::kTickMs);
    const int asleep = calls;
    const int shownAsleep = c.shown;
    const double cpuBefore = threadCpuMs();
    const qint64 ms = runEventLoop(500);
    const double cpu = threadCpuMs() - cpuBefore;
    EXPECT_EQ(calls, asleep) << "a loop that changed nothing went on stepping";
    EXPECT_EQ(c.shown, shownAsleep);
    EXPECT_EQ(c.showings.back(), LoopScheduler::Showing::Everything) << "held back at rest";
    EXPECT_LT(cpu, ms * 0.01) << "processor time while asleep";

    // An event wakes it: it steps again, and sleeps again at once if nothing changed.
    loops.wake();
    runEventLoop(2 * LoopScheduler::kTickMs);
    EXPECT_EQ(calls, asleep + 1);
    // If something did change, it goes on at its pace; stopped, it shows all it wrote.
    changes = true;
    loops.wake();
    runEventLoop(3 * LoopScheduler::kTickMs);
    EXPECT_GT(calls, asleep + 5);
    c.showings.clear();
    loops.stop();
    EXPECT_EQ(c.showings, std::vector{LoopScheduler::Showing::Everything});
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

TEST(GatheredControls, WritesAreCurrentAtOnceAndReachTheWidgetsWhenShown) {
    Widgets widgets;
    widgets.texts[Control::Text7] = QStringLiteral("typed");
    GatheredControls gathered(widgets);
    EXPECT_EQ(gathered.text(Control::Text7), QStringLiteral("typed"));

    gathered.setText(Control::Text8, QStringLiteral("1"));
    gathered.moveImage(Control::Image1, {1, 2});
    gathered.setText(Control::Text7, QStringLiteral("2"));
    gathered.setText(Control::Text8, QStringLiteral("3"));
    gathered.copyPicture(Control::Image1, Control::Image3);
    gathered.moveImage(Control::Image1, {4, 5});
    EXPECT_EQ(gathered.text(Control::Text8), QStringLiteral("3"));
    EXPECT_EQ(gathered.text(Control::Text7), QStringLiteral("2"));
    EXPECT_TRUE(widgets.log.isEmpty());

    // The last write of each control, controls in the order of their first write.
    gathered.show();
    EXPECT_EQ(widgets.log, QStringList({"Text8=3", "Image1@4,5", "Image1<Image3", "Text7=2"}));
    widgets.log.clear();
    gathered.show();
    EXPECT_TRUE(widgets.log.isEmpty()) << "shown twice";
    // Once shown, the widgets' own text counts again (the user may type into a read-out).
    widgets.texts[Control::Text7] = QStringLiteral("typed again");
    EXPECT_EQ(gathered.text(Control::Text7), QStringLiteral("typed again"));

    // Showing what moves holds texts back, still current, ahead of controls written later.
    gathered.setText(Control::Text7, QStringLiteral("4"));
    gathered.moveImage(Control::Image1, {6, 7});
    widgets.log.clear();
    gathered.show(LoopScheduler::Showing::Moving);
    EXPECT_EQ(widgets.log, QStringList({"Image1@6,7"}));
    EXPECT_EQ(gathered.text(Control::Text7), QStringLiteral("4"));
    gathered.setText(Control::Text8, QStringLiteral("5"));
    gathered.setText(Control::Text7, QStringLiteral("6"));
    gathered.show();
    EXPECT_EQ(widgets.log, QStringList({"Image1@6,7", "Text7=6", "Text8=5"}));
}

} // namespace
