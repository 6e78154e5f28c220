#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <optional>

// The number and colour functions that the drawing logic depends on exactly.
// Conversions never throw: a failure is an empty optional that the caller handles.
namespace numbers {

using Colour = quint32; // 24-bit colour, red in the lowest byte

// Largest integer not greater than v.
double Int(double v);

// v brought to the nearest integer, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
// Empty when the result lies outside -32768..32767 or v is not a number.
std::optional<qint16> toInteger16(double v);

// red + 256 green + 65536 blue; a component above 255 counts as 255, below 0 as 0.
Colour RGB(int red, int green, int blue);

// Entry k (0..15) of the classic 16-colour palette; other k are clamped into 0..15.
Colour QBColor(int k);

// Reads a typed number: optional blanks, optional sign, digits with an optional decimal
// fraction (at least one digit in all), optional blanks. Full-width digits, signs and
// point and the ideographic space count as their plain forms. No exponent, no hexadecimal,
// no grouping. A number too large for a double reads as an infinity of its sign.
std::optional<double> textToNumber(const QString& text);

// Shortest general form with up to 7 significant digits, as a single prints: 6705, 12.5,
// 0.5, -3, 1.234568E+07.
QString singleToText(float v);
// The same with up to 15 significant digits, as a double prints.
QString doubleToText(double v);

// Cosine of an angle in radians, double precision.
double Cos(double radians);

} // namespace numbers
