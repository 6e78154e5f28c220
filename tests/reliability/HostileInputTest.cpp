// Hostile texts typed into each of the four value boxes, then every mode and every art
// button: the window keeps running, a box whose text cannot serve is marked light red,
// and a text that serves (full-width digits included) draws with its number.

#include "Actions.h"

#include <QStringList>

#include <string_view>

namespace {

struct Hostile {
    const char* name;
    QString text;
    // What the text gives by the reading rules (blanks, sign, decimal digits with one
    // optional point, full-width forms as plain ones; nothing else), worked out by hand:
    // a colour strength (clamped into 0..255), a pen width (nearest integer in 1..32767).
    std::optional<int> strength;
    std::optional<int> width;
};

QString repeated(const QString& piece, int length) {
    QString s;
    while (s.size() < length)
        s += piece;
    return s.left(length);
}

std::vector<Hostile> hostileTexts() {
    return {
        {"Empty", QString(), {}, {}},
        {"Blanks", QStringLiteral("   "), {}, {}},
        {"Letters", QStringLiteral("abc"), {}, {}},
        {"Exponent", QStringLiteral("1e308"), {}, {}},
        {"NegativeExponent", QStringLiteral("-1e308"), {}, {}},
        {"NaN", QStringLiteral("NaN"), {}, {}},
        {"Inf", QStringLiteral("Inf"), {}, {}},
        {"Hexadecimal", QStringLiteral("0x10"), {}, {}},
        // A number far beyond any range: as a colour it counts as 255, no width is that big.
        {"TenThousandDigits", repeated(QStringLiteral("9"), 10'000), 255, {}},
        {"HundredThousandLetters", repeated(QStringLiteral("x7 "), 100'000), {}, {}},
        {"HundredThousandFullWidthDigits", repeated(QStringLiteral("１２３"), 100'000), 255, {}},
        {"RightToLeftOverride", QStringLiteral("\u202E128"), {}, {}},
        {"ArabicIndicDigits", QStringLiteral("\u0661\u0662\u0668"), {}, {}},
        {"Hebrew", QStringLiteral("\u05E9\u05DC\u05D5\u05DD"), {}, {}},
        {"Emoji", QStringLiteral("\U0001F3A8128"), {}, {}},
        {"Nul", QString(QChar(0)), {}, {}},
        {"DigitsAndNul", QStringLiteral("12") + QChar(0), {}, {}},
        // Not hostile: what a Japanese input method types, and a padded plain number.
        {"FullWidth128", QStringLiteral("１２８"), 128, 128},
        {"Padded42", QStringLiteral(" 42 "), 42, 42},
        {"Negative", QStringLiteral("-5"), 0, {}},
    };
}

struct Box {
    const char* name;
    int shift; // where its strength sits in the colour, or -1 for the width box
};

const Box kBoxes[] = {{"Text6", 0}, {"Text2", 8}, {"Text3", 16}, {"Text5", -1}};

struct Case {
    Hostile text;
    Box box;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.box.name << " <- " << c.text.name; }

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (const Box& box : kBoxes)
        for (const Hostile& h : hostileTexts())
            cases.push_back({h, box});
    return cases;
}

unsigned colourOf(int red, int green, int blue) {
    return unsigned(red) | unsigned(green) << 8 | unsigned(blue) << 16;
}

class HostileInput : public testing::TestWithParam<Case> {
  protected:
    Replay replay{[](const QString&) {}};

    bool serves() const {
        const Case& c = GetParam();
        return c.box.shift < 0 ? c.text.width.has_value() : c.text.strength.has_value();
    }

    void expectMarks(const char* when) {
        for (const Box& box : kBoxes) {
            const bool unfit = std::string_view(box.name) == GetParam().box.name && !serves();
            EXPECT_EQ(markedAsUnfit(replay, box.name), unfit) << box.name << " " << when;
        }
    }

    // One pen dot centred on the corner of pixel (x, y).
    void penDot(int x, int y) {
        act(replay, QStringLiteral("down %1 %2").arg(x - 1).arg(y));
        act(replay, QStringLiteral("move %1 %2").arg(x).arg(y));
        act(replay, QStringLiteral("up %1 %2").arg(x).arg(y));
    }
};

TEST_P(HostileInput, KeepsRunningAndMarksWhatCannotServe) {
    const Case& c = GetParam();
    const Replay::Outcome typed =
        replay.run({QStringLiteral("type %1 ").arg(QString::fromLatin1(c.box.name)) + c.text.text});
    ASSERT_EQ(typed, Replay::Outcome::Finished) << qPrintable(replay.error());
    expectMarks("after typing");

    // The pen alone first: what it draws shows how the text was read.
    act(replay, QStringLiteral("press Command7"));
    act(replay, QStringLiteral("release Command7"));
    penDot(300, 200);
    const unsigned white = colourOf(255, 255, 255);
    if (c.box.shift < 0) {
        // Width 10 stays when the text is no width; the dot is a disc of that diameter.
        const int width = c.text.width.value_or(10);
        EXPECT_EQ(replay.form().drawing().canvas().drawWidth(), width);
        EXPECT_EQ(pixelAt(replay, 300 + width / 2 - 2, 200), colourOf(0, 0, 255));
        EXPECT_EQ(pixelAt(replay, 300 + width / 2 + 2, 200), white);
    } else if (c.text.strength) {
        int strengths[3] = {0, 0, 255};
        strengths[c.box.shift / 8] = *c.text.strength;
        EXPECT_EQ(pixelAt(replay, 300, 200), colourOf(strengths[0], strengths[1], strengths[2]));
    } else {
        EXPECT_EQ(pixelAt(replay, 300, 200), white) << "no colour, no dot";
    }

    // Every other mode on, a stroke that leaves the window, the chase, every art button
    // and the endless dots.
    for (const char* line :
         {"click Command8",  "click Command10",  "click Command13", "down 150 150",
          "move 160 170",    "move -5000 99999", "move 200 90",     "up 200 90",
          "click Command14", "move 250 120",     "steps 300",       "click Command14",
          "click Command2",  "click Command4",   "click Command6",  "click Command11",
          "click Command9",  "steps 3000",       "down 100 100",    "move 120 130",
          "move 140 160",    "up 140 160"})
        act(replay, QString::fromLatin1(line));
    expectMarks("after drawing");

    // The swatch rewrites the three colour boxes; the width box keeps what was typed.
    for (const char* line : {"click Command12", "click Picture6", "click Command3"})
        act(replay, QString::fromLatin1(line));
    for (const Box& box : kBoxes) {
        const bool unfit = box.shift < 0 && std::string_view(box.name) == c.box.name && !serves();
        EXPECT_EQ(markedAsUnfit(replay, box.name), unfit) << box.name << " at the end";
    }
}

INSTANTIATE_TEST_SUITE_P(AllBoxes, HostileInput, testing::ValuesIn(allCases()),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.box.name) + "_" + info.param.text.name;
                         });

} // namespace
