#include "canvas/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace numbers;

TEST(Numbers, ConversionRoundsHalvesToEven) {
    const struct {
        double in;
        qint16 out;
    } cases[] = {{12.5, 12}, {13.5, 14},    {-2.5, -2},    {-3.5, -4},       {0.5, 0},
                 {1.5, 2},   {12.4999, 12}, {12.5001, 13}, {32767.4, 32767}, {-32768.4, -32768}};
    for (const auto& c : cases)
        EXPECT_EQ(toInteger16(c.in), c.out) << c.in;
}

TEST(Numbers, ConversionFailsOutsideSixteenBits) {
    for (const double v : {32767.5, 32768.0, -32768.6, 1e30, -1e30, double(NAN), double(INFINITY)})
        EXPECT_FALSE(toInteger16(v).has_value()) << v;
}

TEST(Numbers, IntIsTheFloor) {
    EXPECT_EQ(Int(2.9), 2);
    EXPECT_EQ(Int(-2.1), -3);
    EXPECT_EQ(Int(0.999999 * 255 + 1), 255);
}

TEST(Numbers, RgbPutsRedInTheLowestByteAndCaps) {
    EXPECT_EQ(RGB(1, 2, 3), 1u + 2u * 256 + 3u * 65536);
    EXPECT_EQ(RGB(300, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(RGB(-5, 256, 1000), 0u + 255u * 256 + 255u * 65536);
}

TEST(Numbers, QBColorIsTheClassicPalette) {
    const int expected[16][3] = {{0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
                                 {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
                                 {128, 128, 128}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
                                 {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    for (int k = 0; k < 16; ++k) {
        const auto [r, g, b] = expected[k];
        EXPECT_EQ(QBColor(k), Colour(r + 256 * g + 65536 * b)) << k;
    }
}

TEST(Numbers, TextsThatReadAsNumbers) {
    const struct {
        const char16_t* text;
        double value;
    } cases[] = {{u"0", 0},
                 {u"255", 255},
                 {u"  12.5 ", 12.5},
                 {u"-5", -5},
                 {u"+7", 7},
                 {u".5", 0.5},
                 {u"5.", 5},
                 {u"１２８", 128},
                 {u"－３", -3},
                 {u"１２．５", 12.5},
                 {u"\u3000９\u3000", 9},
                 {u"007", 7}};
    for (const auto& c : cases) {
        const auto n = textToNumber(QString::fromUtf16(c.text));
        ASSERT_TRUE(n.has_value()) << QString::fromUtf16(c.text).toStdString();
        EXPECT_DOUBLE_EQ(*n, c.value);
    }
}

TEST(Numbers, TextsThatDoNot) {
    for (const char16_t* text : {u"", u"   ", u"abc", u"1e9", u"0x10", u"1,000", u"1 2", u"--1",
                                 u".", u"-", u"NaN", u"Inf", u"12a", u"٣"})
        EXPECT_FALSE(textToNumber(QString::fromUtf16(text)).has_value())
            << QString::fromUtf16(text).toStdString();
    EXPECT_FALSE(textToNumber(QString(QChar(0))).has_value());
    EXPECT_FALSE(textToNumber(QStringLiteral("1") + QChar(0) + QStringLiteral("2")).has_value());
}

TEST(Numbers, HugeDigitStringsReadAsInfinities) {
    const QString many(10000, u'9');
    EXPECT_EQ(textToNumber(many), HUGE_VAL);
    EXPECT_EQ(textToNumber(u'-' + many), -HUGE_VAL);
    EXPECT_EQ(textToNumber(QStringLiteral("0.") + QString(400, u'0') + u'1'), 0.0);
}

TEST(Numbers, SinglesPrintInTheShortestGeneralForm) {
    const struct {
        float v;
        const char* text;
    } cases[] = {{6705.f, "6705"},
                 {12.5f, "12.5"},
                 {0.5f, "0.5"},
                 {-3.f, "-3"},
                 {0.f, "0"},
                 {12345678.f, "1.234568E+07"},
                 {1.0f / 3, "0.3333333"},
                 {99.99999f, "99.99999"},
                 {1e-5f, "1E-05"},
                 {-0.f, "0"},
                 {-1.5e-7f, "-1.5E-07"},
                 {3e20f, "3E+20"}};
    for (const auto& c : cases)
        EXPECT_EQ(singleToText(c.v).toStdString(), c.text);
}
