// The pen colour rule: each component read as a number, brought to the nearest integer
// (halves to even), kept within 0..255; red in the lowest byte. A component that does
// not read as a number gives no colour at all.
#include "state/ColourRule.h"

#include <gtest/gtest.h>

namespace {

DrawingState components(Value red, Value green, Value blue) {
    DrawingState state;
    state.red = std::move(red);
    state.green = std::move(green);
    state.blue = std::move(blue);
    return state;
}

TEST(ColourRule, StrengthOfEachKindOfComponent) {
    const struct {
        Value component;
        std::optional<int> strength;
    } cases[] = {
        {Value(), 0},              // unset counts as 0
        {Value::text(u"0"_qs), 0}, // the design texts
        {Value::text(u"255"_qs), 255},
        {Value::text(u"12.5"_qs), 12}, // halves to the even neighbour
        {Value::text(u"13.5"_qs), 14},
        {Value::single(254.5f), 254},
        {Value::real(0.5), 0},
        {Value::real(1.5), 2},
        {Value::text(u"300"_qs), 255}, // above 255 counts as 255
        {Value::real(765.0), 255},     // where the seven-colour cycle can take it
        {Value::single(255.5f), 255},
        {Value::text(u"99999"_qs), 255}, // beyond 16 bits
        {Value::text(u"-5"_qs), 0},      // negative counts as 0
        {Value::text(u"-99999"_qs), 0},
        {Value::text(u"-0.5"_qs), 0},
        {Value::integer(255), 255},             // the eraser's integers
        {Value::text(u"１２８"_qs), 128},       // full-width digits
        {Value::text(QString(400, u'9')), 255}, // too large even for a double
        {Value::text(QString()), std::nullopt},
        {Value::text(u"abc"_qs), std::nullopt},
        {Value::text(u"1e9"_qs), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(colourStrength(c.component), c.strength) << qPrintable(c.component.toText());
}

TEST(ColourRule, RedInTheLowestByte) {
    const auto colour =
        penColour(components(Value::integer(1), Value::integer(2), Value::integer(3)));
    EXPECT_EQ(colour, 1u + 2u * 256 + 3u * 65536);
}

TEST(ColourRule, StartUpTextsGiveBlue) {
    const DrawingState state =
        components(Value::text(u"0"_qs), Value::text(u"0"_qs), Value::text(u"255"_qs));
    EXPECT_EQ(penColour(state), 255u * 65536);
}

// A component holding a text, an integer, a single or a double gives the same colour for
// the same number.
TEST(ColourRule, KindDoesNotMatter) {
    const numbers::Colour expected = 128u + 128u * 256 + 128u * 65536;
    for (const Value& v :
         {Value::text(u"128"_qs), Value::integer(128), Value::single(128.0f), Value::real(128.0)})
        EXPECT_EQ(penColour(components(v, v, v)), expected) << int(v.type());
}

TEST(ColourRule, AnyComponentThatIsNoNumberGivesNoColour) {
    const Value bad = Value::text(u"abc"_qs), good = Value::integer(7);
    EXPECT_FALSE(penColour(components(bad, good, good)).has_value());
    EXPECT_FALSE(penColour(components(good, bad, good)).has_value());
    EXPECT_FALSE(penColour(components(good, good, bad)).has_value());
    EXPECT_FALSE(penColour(components(good, good, Value::text(QString()))).has_value());
    EXPECT_TRUE(penColour(components(good, good, good)).has_value());
}

} // namespace
