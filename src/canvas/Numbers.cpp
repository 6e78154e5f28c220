#include "Numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace numbers {

double Int(double v) { return std::floor(v); }

std::optional<qint16> toInteger16(double v) {
    const double rounded = std::nearbyint(v); // the default rounding mode ties to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;
    return static_cast<qint16>(rounded);
}

Colour RGB(int red, int green, int blue) {
    const auto component = [](int c) { return static_cast<Colour>(qBound(0, c, 255)); };
    return component(red) | component(green) << 8 | component(blue) << 16;
}

Colour QBColor(int k) {
    static constexpr std::array<Colour, 16> palette = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    };
    return palette[static_cast<std::size_t>(qBound(0, k, 15))];
}

namespace {

// Folds the full-width forms a Japanese input method produces into plain ASCII;
// any other non-ASCII character makes the text unreadable (returns false).
bool foldToAscii(const QString& text, std::string& out) {
    out.clear();
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            u = static_cast<char16_t>(u - 0xFF01 + 0x21); // full-width ASCII block
        else if (u == 0x3000)
            u = u' ';
        if (u == 0 || u > 0x7E) return false;
        out.push_back(static_cast<char>(u));
    }
    return true;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::optional<double> textToNumber(const QString& text) {
    std::string s;
    if (!foldToAscii(text, s)) return std::nullopt;
    std::size_t begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;

    bool negative = false;
    if (begin < end && (s[begin] == '+' || s[begin] == '-')) negative = s[begin++] == '-';
    std::size_t digits = 0, points = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (isDigit(s[i]))
            ++digits;
        else if (s[i] == '.' && points == 0)
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0) return std::nullopt;

    double value = 0;
    const std::errc error = std::from_chars(s.data() + begin, s.data() + end, value).ec;
    if (error == std::errc::result_out_of_range) {
        // Out of range either way: a whole part with a non-zero digit overflowed.
        const std::string whole = s.substr(begin, s.find('.', begin) - begin);
        value = whole.find_first_not_of('0') == std::string::npos ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

namespace {

// printf's "%.*G": trailing zeros and a bare point dropped, but through to_chars, which is
// several times faster (the chase writes two of these per step).
QString generalForm(double v, int precision) {
    if (std::isnan(v)) return QStringLiteral("NaN");
    if (std::isinf(v)) return v > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    if (v == 0) return QStringLiteral("0"); // -0 included
    char buffer[64];
    char* const end =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, precision).ptr;
    std::replace(buffer, end, 'e', 'E');
    return QString::fromLatin1(buffer, end - buffer);
}

} // namespace

QString singleToText(float v) { return generalForm(v, 7); }
QString doubleToText(double v) { return generalForm(v, 15); }

double Cos(double radians) { return std::cos(radians); }

} // namespace numbers
