// Fuzz target: typed text through the number reading, the pen width, the colour rule and
// the colour cycle. Any byte string is read twice, as UTF-8 (what typing produces) and as
// raw UTF-16 code units (lone surrogates and NUL included). Besides not crashing, the
// readings must agree with a small independent grammar and keep their ranges.

#include "canvas/Numbers.h"
#include "colour/ColourBoxes.h"
#include "interactive/PointerModes.h"
#include "state/ColourCycle.h"
#include "state/ColourRule.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void fail(const char* what, const QString& text) {
    std::fprintf(stderr, "broken: %s for text of %lld units: %s\n", what,
                 static_cast<long long>(text.size()), qUtf8Printable(text.left(80)));
    std::abort();
}

void expect(bool holds, const char* what, const QString& text) {
    if (!holds) fail(what, text);
}

// The text as plain ASCII with full-width forms folded, or empty when any other
// character is in it. Written apart from the program's own folding on purpose.
std::optional<std::string> folded(const QString& text) {
    std::string out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0x3000)
            out += ' ';
        else if (u >= 0xFF01 && u <= 0xFF5E)
            out += static_cast<char>(u - 0xFEE0);
        else if (u >= 1 && u <= 0x7E)
            out += static_cast<char>(u);
        else
            return std::nullopt;
    }
    return out;
}

// Whether the text spells a plain decimal number: blanks, sign, digits with at most one
// point and at least one digit, blanks. Also gives the value as strtod reads it.
std::optional<double> reference(const QString& text) {
    const auto ascii = folded(text);
    if (!ascii) return std::nullopt;
    std::string s = *ascii;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.erase(s.begin());
    while (!s.empty() && blank(s.back()))
        s.pop_back();
    std::size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    int digits = 0, points = 0;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            ++digits;
        else if (s[i] == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1) return std::nullopt;
    return std::strtod(s.c_str(), nullptr); // overflow gives HUGE_VAL of the sign
}

void checkText(const QString& text) {
    const std::optional<double> n = numbers::textToNumber(text);
    const std::optional<double> want = reference(text);
    expect(n.has_value() == want.has_value(), "reads as a number iff the grammar says so", text);
    if (n) {
        expect(!std::isnan(*n), "a reading is never NaN", text);
        // strtod and the program may differ only in the last place of a long fraction.
        const bool same = *n == *want || std::abs(*n - *want) <= 1e-15 * std::abs(*want);
        expect(same, "reading equals strtod's", text);
    }

    const Value component = Value::text(text);
    expect(component.number() == n, "a box text reads as the number it spells", text);

    const std::optional<int> strength = colourStrength(component);
    expect(strength.has_value() == n.has_value(), "a strength exactly for numbers", text);
    expect(colour::servesAsComponent(text) == strength.has_value(), "marking agrees", text);
    if (strength) {
        expect(*strength >= 0 && *strength <= 255, "strength within 0..255", text);
        if (*n >= 0 && *n <= 255) expect(std::abs(*strength - *n) <= 0.5, "nearest", text);
        if (*n >= 255) expect(*strength == 255, "large counts as 255", text);
        if (*n <= 0) expect(*strength == 0, "negative counts as 0", text);
    }

    const std::optional<qint16> width = interactive::penWidthFromText(text);
    if (width) {
        expect(n && *width >= 1 && std::abs(*width - *n) <= 0.5, "width is the nearest", text);
    } else if (n) {
        expect(!(*n >= 1 && *n <= 32767), "a width in 1..32767 serves", text);
    }

    // The colour rule with this text in each place, the other two readable.
    for (int place = 0; place < 3; ++place) {
        DrawingState state;
        state.red = Value::text(QStringLiteral("12"));
        state.green = Value::single(300.5f);
        state.blue = Value::integer(-4);
        (place == 0 ? state.red : place == 1 ? state.green : state.blue) = component;
        const auto colour = penColour(state);
        expect(colour.has_value() == n.has_value(), "colour rule fails only on the text", text);
        if (colour) expect(*colour <= 0xFFFFFF, "24-bit colour", text);
    }

    // The cycle leaves an unreadable component alone and steps a readable one.
    Value red = component, green, blue, phase;
    Random random;
    for (int i = 0; i < 3; ++i)
        ColourCycle{red, green, blue, phase}.step(random);
    if (!n) expect(red == component, "an unreadable component stays as typed", text);

    // Printing a reading back: plain forms read again as (nearly) the same number.
    if (n) {
        const QString printed = numbers::doubleToText(*n);
        expect(!printed.isEmpty(), "a number prints", text);
        if (std::isfinite(*n) && !printed.contains(u'E')) {
            const auto again = numbers::textToNumber(printed);
            expect(again && std::abs(*again - *n) <= 1e-14 * std::max(1.0, std::abs(*n)),
                   "printed form reads back", text);
        }
        numbers::singleToText(static_cast<float>(*n));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    checkText(QString::fromUtf16(reinterpret_cast<const char16_t*>(data),
                                 static_cast<qsizetype>(size / 2)));
    return 0;
}
