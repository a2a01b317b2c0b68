#pragma once

#include <QString>

#include <utility>
#include <variant>

namespace ui {

// A field without a fixed type: Empty until something is stored in it, then a
// Boolean or a text. Empty reads as False and as the empty text.
class Variant {
public:
    Variant() = default;
    // Implicit on purpose: fields of this type are assigned like plain values.
    Variant(bool value) : value_(value) {}              // NOLINT(google-explicit-constructor)
    Variant(QString text) : value_(std::move(text)) {}  // NOLINT(google-explicit-constructor)
    // A string literal would quietly turn into a bool; say QStringLiteral instead.
    Variant(const char*) = delete;

    [[nodiscard]] bool IsEmpty() const noexcept { return std::holds_alternative<std::monostate>(value_); }
    // Only a stored True reads as True: the field read as a Boolean is only
    // ever given Booleans.
    [[nodiscard]] bool ToBool() const;
    // A Boolean reads "True" or "False".
    [[nodiscard]] QString ToText() const;

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    std::variant<std::monostate, bool, QString> value_;
};

}  // namespace ui
