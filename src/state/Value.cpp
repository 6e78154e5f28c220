#include "Value.h"

#include "canvas/Numbers.h"

#include <limits>

std::optional<double> Value::number() const {
    return std::visit(
        [](const auto& v) -> std::optional<double> {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return 0.0;
            else if constexpr (std::is_same_v<T, QString>)
                return numbers::textToNumber(v);
            else
                return static_cast<double>(v);
        },
        data_);
}

QString Value::toText() const {
    return std::visit(
        [](const auto& v) -> QString {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return {};
            else if constexpr (std::is_same_v<T, QString>)
                return v;
            else if constexpr (std::is_same_v<T, qint16>)
                return QString::number(v);
            else if constexpr (std::is_same_v<T, float>)
                return numbers::singleToText(v);
            else
                return numbers::doubleToText(v);
        },
        data_);
}

std::optional<Value> Value::plusOne() const {
    switch (type()) {
    case Type::Unset:
        return Value::integer(1);
    case Type::Integer: {
        const qint16 v = std::get<qint16>(data_);
        if (v == std::numeric_limits<qint16>::max()) return Value::real(v + 1.0);
        return Value::integer(static_cast<qint16>(v + 1));
    }
    case Type::Single:
        return Value::single(std::get<float>(data_) + 1.0f);
    case Type::Double:
        return Value::real(std::get<double>(data_) + 1.0);
    case Type::Text:
        if (const auto n = number()) return Value::real(*n + 1.0);
        return std::nullopt;
    }
    return std::nullopt;
}
