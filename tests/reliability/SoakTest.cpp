// A long run of the off-screen window: a million dots of "②" with bursts of random user
// actions between them (clicks on every control, presses with every button, drags, typed
// texts, keys, moves anywhere, resizes down to 0 x 0) and a hundred thousand endless
// drawings each replacing the one before, and a hundred thousand gestures that draw, now
// and then undone or redone. Nothing may fail, and the memory in use at the end may exceed
// that after the first ten thousand dots by at most 5 MB: a replaced drawing, a typed text,
// a resize or a step of the history (full before the first measurement) must not leave
// anything behind.

#include "Actions.h"
#include "drawing/FormDesign.h"
#include "canvas/History.h"

#include <QApplication>
#include <QFile>

#include <random>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUENZEL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUENZEL_ASAN 1
#endif
#ifdef QUENZEL_ASAN
#include <sanitizer/allocator_interface.h>
#endif

#include <malloc.h>
#include <unistd.h>

namespace {

constexpr long long kDots = 1'000'000;
constexpr long long kDotsPerRound = 1'000;
constexpr long long kBaselineDots = 10'000;
constexpr int kReplacementsPerRound = 100; // 1000 rounds: 100 000 replaced endless drawings
constexpr int kActionsPerRound = 6;
constexpr int kGesturesPerRound = 100; // 100 000 gestures
constexpr long long kAllowedGrowth = 5 * 1024 * 1024;
constexpr int kLargestWidth = 1000, kLargestHeight = 800;
constexpr int kRandomsPerDot = 3; // place x, place y, palette colour

#ifndef QUENZEL_ASAN
long long residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}
#endif

// Memory in use: resident bytes once the allocator has handed back the free memory it can,
// or under AddressSanitizer (whose shadow memory and quarantine make the resident size
// meaningless) the bytes the program holds allocated.
long long memoryInUse() {
#ifdef QUENZEL_ASAN
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    const long long before = residentBytes();
    malloc_trim(0);
    const long long after = residentBytes();
    std::printf("soak: resident %.1f MB, %.1f MB after trimming the heap\n", before / 1048576.0,
                after / 1048576.0);
    return after;
#endif
}

const QStringList kTexts = {
    QStringLiteral("0"),
    QStringLiteral("128"),
    QStringLiteral("255"),
    QStringLiteral("300"),
    QStringLiteral("-7"),
    QStringLiteral("12.5"),
    QString(),
    QStringLiteral("  "),
    QStringLiteral("abc"),
    QStringLiteral("1e9"),
    QStringLiteral("１２８"),
    QStringLiteral("\u202E99"),
    QStringLiteral("🎨"),
    QString(QChar(0)),
    QStringLiteral("99999999999"),
};
const QStringList kKeys = {QStringLiteral("Tab"),    QStringLiteral("Space"),
                           QStringLiteral("Return"), QStringLiteral("Backspace"),
                           QStringLiteral("Left"),   QStringLiteral("a"),
                           QStringLiteral("1")};
const QStringList kButtons = {QStringLiteral("left"), QStringLiteral("right"),
                              QStringLiteral("middle")};
// Chase mode, "②" and "CLS", clicked more often than the rest.
const QStringList kLoopButtons = {QStringLiteral("Command14"), QStringLiteral("Command9"),
                                  QStringLiteral("Command3")};
const QStringList kBoxes = {QStringLiteral("Text6"), QStringLiteral("Text2"),
                            QStringLiteral("Text3"), QStringLiteral("Text5"),
                            QStringLiteral("Text7"), QStringLiteral("Text10")};

class Soak : public testing::Test {
  protected:
    Replay replay{[](const QString&) {}};
    std::mt19937 generator{20240607};
    QStringList clickable; // every control a user can reach but END, and the menu items
    long long replacements = 0;
    long long gestures = 0;

    void SetUp() override {
        for (const design::ControlRow& row : design::controls())
            if (row.visible && QByteArrayView(row.name) != "Command5")
                clickable << QString::fromLatin1(row.name);
        clickable << QStringLiteral("book") << QStringLiteral("game");
    }

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(generator); }
    template <typename T> const T& anyOf(const QList<T>& list) {
        return list[uniform(0, int(list.size()) - 1)];
    }
    QString anyPlace() {
        // Mostly on or near the window; now and then somewhere absurd.
        if (uniform(0, 9) == 0)
            return QStringLiteral("%1 %2")
                .arg(uniform(-99'999'999, 99'999'999))
                .arg(uniform(-99'999'999, 99'999'999));
        return QStringLiteral("%1 %2")
            .arg(uniform(-50, kLargestWidth))
            .arg(uniform(-50, kLargestHeight));
    }

    void randomAction() {
        switch (uniform(0, 9)) {
        case 0:
            act(replay, QStringLiteral("click ") + anyOf(clickable));
            break;
        case 1: {
            const QString at = anyOf(clickable.mid(0, clickable.size() - 2)),
                          button = anyOf(kButtons);
            act(replay, QStringLiteral("press %1 %2").arg(at, button));
            act(replay, QStringLiteral("release %1 %2").arg(at, button));
            break;
        }
        case 2: {
            const QString button = anyOf(kButtons);
            act(replay, QStringLiteral("down %1 %2").arg(anyPlace(), button));
            for (int i = uniform(0, 5); i > 0; --i)
                act(replay, QStringLiteral("move ") + anyPlace());
            act(replay, QStringLiteral("up %1 %2").arg(anyPlace(), button));
            break;
        }
        case 3:
        case 4:
            act(replay, QStringLiteral("move ") + anyPlace());
            break;
        case 5:
            act(replay, QStringLiteral("type %1 %2").arg(anyOf(kBoxes), anyOf(kTexts)));
            break;
        case 6: {
            // Space or Return on END would end the program, and the soak with it.
            const QString key = anyOf(kKeys);
            if (replay.form().focusWidget() == replay.form().control(QStringLiteral("Command5")))
                act(replay, QStringLiteral("key Tab"));
            act(replay, QStringLiteral("key ") + key);
            break;
        }
        case 7:
            act(replay, uniform(0, 3) == 0 ? QStringLiteral("resize 0 0")
                                           : QStringLiteral("resize %1 %2")
                                                 .arg(uniform(0, kLargestWidth))
                                                 .arg(uniform(0, kLargestHeight)));
            break;
        case 8:
            act(replay, QStringLiteral("click ") + anyOf(kLoopButtons));
            break;
        case 9:
            act(replay, uniform(0, 1) ? QStringLiteral("undo") : QStringLiteral("redo"));
            break;
        }
    }

    // A right click on a box opens its context menu, which takes the pointer until a click
    // elsewhere closes it, as a user would.
    void closeMenus() {
        for (int i = 0; i < 3 && QApplication::activePopupWidget(); ++i) {
            act(replay, QStringLiteral("down 300 320"));
            act(replay, QStringLiteral("up 300 320"));
        }
        ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
    }

    void setChase(bool on) {
        if (replay.form().drawing().state().chaseOn.on() != on)
            act(replay, QStringLiteral("click Command14"));
    }

    // Pen 2 draws at every movement over the bare canvas: a movement and the press after
    // it are one gesture, a movement with the button held and the release another. Now
    // and then one is undone or redone.
    void drawGestures(int count) {
        act(replay, QStringLiteral("resize 451 382"));
        ASSERT_NO_FATAL_FAILURE(closeMenus());
        setChase(false);
        if (!replay.form().drawing().state().pen2On.on()) act(replay, QStringLiteral("click Command10"));
        for (int i = 0; i < count; i += 2) {
            const QString at = QStringLiteral("%1 %2").arg(uniform(100, 380)).arg(uniform(40, 300));
            act(replay, QStringLiteral("move ") + at);
            act(replay, QStringLiteral("down ") + at);
            act(replay, QStringLiteral("move ") + at);
            act(replay, QStringLiteral("up ") + at);
            if (uniform(0, 9) == 0)
                act(replay, uniform(0, 2) ? QStringLiteral("undo") : QStringLiteral("redo"));
            gestures += 2;
        }
    }

    // Pointer movements in chase mode, each starting a new chase that replaces the drawing
    // before it. The targets go round the corners of the bare canvas, skipping one the eye
    // covers (a movement over the eye is the eye's, not the canvas's).
    void replaceLoops(int count) {
        static const QPoint corners[] = {{100, 40}, {380, 300}, {380, 40}, {100, 300}};
        act(replay, QStringLiteral("resize 451 382"));
        ASSERT_NO_FATAL_FAILURE(closeMenus());
        setChase(true);
        const QWidget* eye = replay.form().control(QStringLiteral("Image1"));
        for (int i = 0, corner = 0; i < count; ++i) {
            QPoint target = corners[corner++ % 4];
            if (eye->geometry().contains(target)) target = corners[corner++ % 4];
            act(replay, QStringLiteral("move %1 %2").arg(target.x()).arg(target.y()));
            // The new chase has taken its first step: the read-outs name its target.
            const QString shown =
                replay.form().drawing().text(Control::Text9) + u' ' + replay.form().drawing().text(Control::Text10);
            const double perPixel = replay.form().drawing().canvas().fromPixels(1);
            ASSERT_EQ(
                shown,
                QStringLiteral("%1 %2").arg(target.x() * perPixel).arg(target.y() * perPixel));
            ++replacements;
        }
        setChase(false);
    }

    // Starts "②", replacing whatever ran, with the window at its design size and no menu
    // open, so that the button is there to click.
    void startDots() {
        act(replay, QStringLiteral("resize 451 382"));
        ASSERT_NO_FATAL_FAILURE(closeMenus());
        setChase(false);
        act(replay, QStringLiteral("click Command9"));
        ++replacements;
    }

    // Advances the running drawing; each dot of "②" draws three random numbers, a chase
    // none. Returns whether the dots ran.
    bool advance(long long count) {
        const auto before = replay.form().drawing().random().drawn();
        act(replay, QStringLiteral("steps %1").arg(count));
        return replay.form().drawing().random().drawn() - before == std::uint64_t(count * kRandomsPerDot);
    }

    // One round: "②" started, random actions while it runs (which may replace it, or
    // resize the window), then its dots, "②" started again first if it was replaced.
    void round(long long dots) {
        ASSERT_NO_FATAL_FAILURE(startDots());
        for (int i = 0; i < kActionsPerRound; ++i)
            ASSERT_NO_FATAL_FAILURE(randomAction());
        if (!advance(1)) {
            ASSERT_NO_FATAL_FAILURE(startDots());
        }
        ASSERT_TRUE(advance(dots - 1)) << "the dots are the drawing that runs";
    }

    // Every text drawn once, the largest size once, and the history filled with cleared
    // pictures of that size, so that caches, the raster and the history have their full
    // size before the first measurement.
    void warmUp() {
        for (const QString& text : kTexts)
            act(replay, QStringLiteral("type Text7 ") + text);
        act(replay, QStringLiteral("resize %1 %2").arg(kLargestWidth).arg(kLargestHeight));
        const qsizetype picture = qsizetype(kLargestWidth) * kLargestHeight * 4;
        for (qsizetype held = picture; held <= History::kDefaultBudget; held += picture)
            act(replay, QStringLiteral("click Command3"));
    }
};

TEST_F(Soak, MillionDotsAmongRandomUserActions) {
    warmUp();
    long long baseline = 0;
    for (long long done = 0; done < kDots; done += kDotsPerRound) {
        if (done == kBaselineDots) {
            act(replay, QStringLiteral("resize 451 382"));
            baseline = memoryInUse();
        }
        ASSERT_NO_FATAL_FAILURE(replaceLoops(kReplacementsPerRound));
        ASSERT_NO_FATAL_FAILURE(drawGestures(kGesturesPerRound));
        ASSERT_NO_FATAL_FAILURE(round(kDotsPerRound));
    }
    act(replay, QStringLiteral("resize 451 382"));
    const long long end = memoryInUse();
    std::printf("soak: %lld dots, %lld endless drawings replaced, %lld gestures, memory after "
                "%lld dots %.1f MB, at the end %.1f MB\n",
                kDots, replacements, gestures, kBaselineDots, baseline / 1048576.0,
                end / 1048576.0);
    EXPECT_GE(replacements, 100'000);
    EXPECT_GE(gestures, 100'000);
    EXPECT_LE(end - baseline, kAllowedGrowth);
}

} // namespace
