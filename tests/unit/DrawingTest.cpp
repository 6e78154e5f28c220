// The drawing without a window: the rules of its history and of its endless drawings, as
// the actions a user takes reach it.

#include "drawing/Drawing.h"

#include <QFont>

#include <gtest/gtest.h>

namespace {

using namespace action;
using enum ControlEvent;

struct DrawingTest : testing::Test {
    QStringList opened;
    int ended = 0;
    Drawing drawing{QSize(451, 382),
                    QFont(),
                    {.end = [this] { ++ended; },
                     .openUrl = [this](const QUrl& url) { opened << url.toString(); }}};

    void click(const char* control) {
        drawing.take(OnControl{MouseDown, QString::fromLatin1(control)});
        drawing.take(OnControl{Click, QString::fromLatin1(control)});
    }
    void move(QPointF at) { drawing.take(OnCanvas{Pointer::Move, at}); }
    QImage picture() const { return drawing.canvas().picture(); }
};

// Pen 2 draws as the pointer moves with no button held: what ends its gestures is any
// press elsewhere and any key, and each undo takes back one of them.
TEST_F(DrawingTest, PressesAndKeysEndWhatThePointerDrewWithoutAButton) {
    click("Command10");
    const QImage blank = picture();
    move({100, 100});
    const QImage first = picture();
    ASSERT_NE(first, blank);
    drawing.take(Key{});
    move({300, 200});
    drawing.take(OnControl{MouseDown, QStringLiteral("Text7")}); // a read-out, no handler
    move({50, 300});
    ASSERT_EQ(drawing.history().undoable(), 2);
    drawing.take(Undo{}); // ends the third gesture, takes it back
    drawing.take(Undo{});
    EXPECT_EQ(picture(), first);
    drawing.take(Undo{});
    EXPECT_EQ(picture(), blank);
    drawing.take(Undo{});
    EXPECT_EQ(picture(), blank) << "nothing left to take back";
}

// A chase's first step comes with the movement that starts it; the eye closes a fiftieth
// of the way at each step and comes to rest once a step changes nothing. Any action wakes
// it again.
TEST_F(DrawingTest, ChaseStepsAtOnceAndRestsWhereItArrives) {
    click("Command14");
    move({300, 200});                                                  // 4500 x 3000 twips
    EXPECT_EQ(drawing.state().spriteX.toText(), QStringLiteral("90")); // 4500 / 50
    EXPECT_EQ(drawing.text(Control::Text9), QStringLiteral("4500"));
    EXPECT_TRUE(drawing.looping());
    drawing.take(Steps{100'000});
    EXPECT_FALSE(drawing.looping());
    EXPECT_NEAR(*drawing.state().spriteX.number(), 4500, 50);
    drawing.take(OnControl{MouseMove, QStringLiteral("Text7")});
    EXPECT_TRUE(drawing.looping());
}

// One endless drawing at a time: "②" replaces the chase and a chase replaces "②", whose
// dots (three random numbers each) stop; an undo ends "②" but not a chase.
TEST_F(DrawingTest, OneEndlessDrawingAtATimeAndUndoEndsTheDots) {
    click("Command9");
    drawing.take(Steps{10});
    const auto afterDots = drawing.random().drawn();
    click("Command14");
    move({300, 200});
    drawing.take(Steps{10});
    EXPECT_EQ(drawing.random().drawn(), afterDots);
    EXPECT_TRUE(drawing.looping());
    drawing.take(Undo{});
    EXPECT_TRUE(drawing.looping()) << "an undo ended the chase";

    click("Command14"); // chase off
    click("Command9");
    drawing.take(Undo{});
    EXPECT_FALSE(drawing.looping());
    const auto afterUndo = drawing.random().drawn();
    drawing.take(Steps{10});
    EXPECT_EQ(drawing.random().drawn(), afterUndo);
}

// The menu items hand their box's address on; "END" ends the program.
TEST_F(DrawingTest, MenuItemsAndEndReachTheProgram) {
    drawing.take(NewText{Control::Text1, QStringLiteral("https://example.org/")});
    drawing.take(MenuItem{QStringLiteral("game")});
    drawing.take(MenuItem{QStringLiteral("book")});
    EXPECT_EQ(opened, QStringList({"https://example.org/", "https://www.kinokuniya.co.jp/"}));
    EXPECT_EQ(ended, 0);
    click("Command5");
    EXPECT_EQ(ended, 1);
}

} // namespace
