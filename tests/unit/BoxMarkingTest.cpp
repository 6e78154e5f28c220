// A colour box that does not read as a number, and a width box outside 1..32767, show it
// with a light red background until their text serves again. Built on the real window
// through the replay harness, checked on what the box paints.
#include "Replay.h"
#include "app/Form1.h"

#include <QHash>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

class BoxMarking : public testing::Test {
  protected:
    BoxMarking() : replay_([](const QString&) {}) {}

    void run(const QStringList& lines) {
        ASSERT_EQ(replay_.run(lines), Replay::Outcome::Finished) << qPrintable(replay_.error());
    }

    // The colour the box paints behind its text: the most frequent colour inside its
    // one-pixel border (text, however long, covers less of a box than its background).
    QColor background(const char* name) {
        auto* box = qobject_cast<QLineEdit*>(replay_.form().control(QString::fromLatin1(name)));
        EXPECT_NE(box, nullptr) << name;
        if (!box) return {};
        const QImage image = box->grab().toImage();
        QHash<QRgb, int> counts;
        for (int y = 1; y < image.height() - 1; ++y)
            for (int x = 1; x < image.width() - 1; ++x)
                ++counts[image.pixel(x, y)];
        QRgb most = 0;
        int highest = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > highest) std::tie(most, highest) = std::pair(it.key(), it.value());
        return QColor::fromRgb(most);
    }

    // Light red: full red, green and blue well above half but short of white, and equal.
    static bool lightRed(const QColor& c) {
        return c.red() == 255 && c.green() == c.blue() && c.green() >= 160 && c.green() < 250;
    }
    static bool white(const QColor& c) { return c == QColor(Qt::white); }

    struct Case {
        const char* text;
        bool serves;
    };
    // Types each text into the box in turn; the box is light red exactly while its text
    // does not serve, white otherwise.
    void expectMarks(const char* box, std::initializer_list<Case> cases) {
        for (const Case& c : cases) {
            run({QStringLiteral("type %1 %2").arg(QLatin1String(box), QString::fromUtf8(c.text))});
            const QColor shown = background(box);
            EXPECT_EQ(lightRed(shown), !c.serves)
                << '"' << c.text << "\" " << qPrintable(shown.name());
            EXPECT_EQ(white(shown), c.serves) << '"' << c.text << "\" " << qPrintable(shown.name());
        }
    }

    Replay replay_;
};

TEST_F(BoxMarking, AllBoxesStartWhite) {
    for (const char* box : {"Text6", "Text2", "Text3", "Text5"})
        EXPECT_TRUE(white(background(box))) << box << " " << qPrintable(background(box).name());
}

TEST_F(BoxMarking, ColourBoxShowsWhileItsTextIsNoNumber) {
    expectMarks("Text6", {{"", false},
                          {"abc", false},
                          {"1e9", false},
                          {"0x10", false},
                          {"1,000", false},
                          {"-", false},
                          {".", false},
                          {"128", true},
                          {"-5", true},
                          {"99999", true},
                          {"12.5", true},
                          {"１２８", true}});
}

TEST_F(BoxMarking, EachColourBoxIsMarkedOnItsOwn) {
    run({"type Text2 abc"});
    EXPECT_TRUE(lightRed(background("Text2")));
    EXPECT_TRUE(white(background("Text6")));
    EXPECT_TRUE(white(background("Text3")));
    run({"type Text3 ", "type Text2 64"});
    EXPECT_TRUE(white(background("Text2")));
    EXPECT_TRUE(lightRed(background("Text3")));
}

// Widths are numbers that round (halves to even) into 1..32767.
TEST_F(BoxMarking, WidthBoxShowsWhileItGivesNoWidth) {
    expectMarks("Text5", {{"0", false},
                          {"abc", false},
                          {"", false},
                          {"-3", false},
                          {"0.5", false},
                          {"32768", false},
                          {"32767.5", false},
                          {"1", true},
                          {"1.5", true},
                          {"2.5", true},
                          {"32767", true},
                          {"10", true}});
}

// The program keeps running with a marked box, and a swatch that rewrites the box with
// its number clears the mark.
TEST_F(BoxMarking, SwatchClearsTheMark) {
    run({"type Text6 abc", "type Text3 ", "click Command7", "move 99 100", "down 99 100",
         "move 100 100", "up 100 100"});
    EXPECT_TRUE(lightRed(background("Text6")));
    EXPECT_TRUE(lightRed(background("Text3")));
    run({"click Picture6"});
    EXPECT_TRUE(white(background("Text6")));
    EXPECT_TRUE(white(background("Text3")));
}

// Every box has a sunken border: its top and left edges darker than its bottom and right.
TEST_F(BoxMarking, BoxesHaveASunkenBorder) {
    for (const char* name : {"Text6", "Text5", "Text7", "Text4"}) {
        const QImage image = replay_.form().control(QString::fromLatin1(name))->grab().toImage();
        const int right = image.width() - 1, bottom = image.height() - 1;
        const auto lightness = [&](int x, int y) { return qGray(image.pixel(x, y)); };
        EXPECT_LT(lightness(right / 2, 0), lightness(right / 2, bottom)) << name;
        EXPECT_LT(lightness(0, bottom / 2), lightness(right, bottom / 2)) << name;
    }
}

// A text the program writes into a box, wider than the box, is shown from its start: the
// read-outs of the eye far out in twips, and the colour boxes that a swatch rewrites.
TEST_F(BoxMarking, WrittenTextsShowTheirStart) {
    run({"type Text6 12345678901234567890", "click Picture6", "click Command14", "move 300 200",
         "steps 20"});
    for (const char* name : {"Text7", "Text8", "Text9", "Text10", "Text6"}) {
        auto* box = qobject_cast<QLineEdit*>(replay_.form().control(QString::fromLatin1(name)));
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->cursorPosition(), 0) << name << " " << qPrintable(box->text());
    }
}

} // namespace
