#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

// A loosely typed value of the drawing state: unset, a 16-bit integer, a single, a double
// or a text. Unset counts as 0 and as the empty text. A text is read as the number it
// spells where arithmetic needs one; a text that spells none makes the arithmetic fail
// softly (an empty optional), never by exception.
class Value {
  public:
    enum class Type { Unset, Integer, Single, Double, Text };

    Value() = default;
    static Value integer(qint16 v) { return Value(v); }
    static Value single(float v) { return Value(v); }
    static Value real(double v) { return Value(v); }
    static Value text(QString v) { return Value(std::move(v)); }

    Type type() const { return static_cast<Type>(data_.index()); }

    // The numeric value; empty for a text that spells no number.
    std::optional<double> number() const;
    // The value as it would be shown in a box; unset gives the empty text.
    QString toText() const;

    // value + 1 with the type the sum takes: unset and integers stay integers (a sum
    // beyond 16 bits becomes a double), singles stay singles, doubles and texts give
    // doubles. Empty for a text that spells no number.
    std::optional<Value> plusOne() const;

    friend bool operator==(const Value&, const Value&) = default;

  private:
    template <typename T> explicit Value(T v) : data_(std::move(v)) {}
    std::variant<std::monostate, qint16, float, double, QString> data_;
};

// A 16-bit switch: -1 on, 0 off. Flipping stores the logical negation.
struct Switch {
    qint16 value = 0;
    bool on() const { return value != 0; }
    void flip() { value = static_cast<qint16>(~value); }
};
