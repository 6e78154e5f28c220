// The loosely typed value of the drawing state: what each kind counts as, how it reads as
// a number and as text, and the type a + 1 takes, which the seven-colour cycle relies on.
#include "state/Value.h"

#include <gtest/gtest.h>

namespace {

TEST(Value, UnsetCountsAsZeroAndAsTheEmptyText) {
    const Value unset;
    EXPECT_EQ(unset.type(), Value::Type::Unset);
    EXPECT_EQ(unset.number(), 0.0);
    EXPECT_EQ(unset.toText(), QString());
}

TEST(Value, EachKindReadsAsItsNumber) {
    EXPECT_EQ(Value::integer(-32768).number(), -32768.0);
    EXPECT_EQ(Value::single(59.4f).number(), double(59.4f)); // the single, not 59.4
    EXPECT_NE(Value::single(59.4f).number(), 59.4);
    EXPECT_EQ(Value::real(0.1).number(), 0.1);
    EXPECT_EQ(Value::text(u" 12.5 "_qs).number(), 12.5);
    EXPECT_EQ(Value::text(u"１２８"_qs).number(), 128.0);
}

// Unlike unset, an empty text is not a number: a box emptied by the user gives no colour.
TEST(Value, TextsThatSpellNoNumberHaveNone) {
    for (const char16_t* text : {u"", u" ", u"abc", u"1e9", u"0x10", u"1,000", u"12abc"})
        EXPECT_FALSE(Value::text(QString::fromUtf16(text)).number().has_value())
            << qPrintable(QString::fromUtf16(text));
}

TEST(Value, TextAsABoxWouldShowIt) {
    EXPECT_EQ(Value::integer(255).toText(), u"255"_qs);
    EXPECT_EQ(Value::integer(-7).toText(), u"-7"_qs);
    EXPECT_EQ(Value::single(59.4f).toText(), u"59.4"_qs); // seven digits hide the error
    EXPECT_EQ(Value::single(2.0f / 3.0f).toText(), u"0.6666667"_qs);
    EXPECT_EQ(Value::real(2.0 / 3.0).toText(), u"0.666666666666667"_qs);
    EXPECT_EQ(Value::text(u" abc "_qs).toText(), u" abc "_qs);
}

TEST(Value, PlusOneKeepsIntegersAndSingles) {
    EXPECT_EQ(*Value().plusOne(), Value::integer(1));
    EXPECT_EQ(*Value::integer(255).plusOne(), Value::integer(256));
    // 2^24 + 1 has no single: a single stays at 2^24, a double goes on.
    EXPECT_EQ(*Value::single(16777216.0f).plusOne(), Value::single(16777216.0f));
    EXPECT_EQ(*Value::real(16777216.0).plusOne(), Value::real(16777217.0));
    EXPECT_EQ(*Value::single(7.82086563f).plusOne(), Value::single(7.82086563f + 1.0f));
}

// The largest integer plus one does not overflow: the sum becomes a double.
TEST(Value, PlusOneBeyondSixteenBitsGivesADouble) {
    EXPECT_EQ(*Value::integer(32767).plusOne(), Value::real(32768.0));
    EXPECT_EQ(*Value::integer(-32768).plusOne(), Value::integer(-32767));
}

TEST(Value, PlusOneOnATextGivesADoubleOrNothing) {
    EXPECT_EQ(*Value::text(u"0"_qs).plusOne(), Value::real(1.0));
    EXPECT_EQ(*Value::text(u" 254.5 "_qs).plusOne(), Value::real(255.5));
    EXPECT_FALSE(Value::text(u"abc"_qs).plusOne().has_value());
    EXPECT_FALSE(Value::text(QString()).plusOne().has_value());
}

TEST(Value, KindsDifferEvenForTheSameNumber) {
    EXPECT_NE(Value::integer(255), Value::text(u"255"_qs));
    EXPECT_NE(Value::integer(1), Value::single(1.0f));
    EXPECT_NE(Value::single(1.0f), Value::real(1.0));
    EXPECT_NE(Value(), Value::integer(0));
}

TEST(Switch, FlippingTwiceRestores) {
    Switch s;
    EXPECT_EQ(s.value, 0);
    EXPECT_FALSE(s.on());
    s.flip();
    EXPECT_EQ(s.value, -1);
    EXPECT_TRUE(s.on());
    s.flip();
    EXPECT_EQ(s.value, 0);
    s.flip();
    EXPECT_EQ(s.value, -1);
}

} // namespace
