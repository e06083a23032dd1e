#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace puzzle {

// A tagged value of the puzzle state: empty, a 16-bit integer or a single
// real. Cell values and keys are integers; the square and pattern numbers are
// whole-valued singles.
class Variant {
public:
    Variant() = default;
    static Variant integer(std::int16_t v) { return Variant(Value{v}); }
    static Variant single(float v) { return Variant(Value{v}); }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool isInteger() const { return std::holds_alternative<std::int16_t>(value_); }
    bool isSingle() const { return std::holds_alternative<float>(value_); }

    // The numeric value; empty reads as 0.
    double number() const;

    // Plain decimal text of a whole value ("15", "0"); "" when empty.
    std::string text() const;

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    using Value = std::variant<std::monostate, std::int16_t, float>;
    explicit Variant(Value v)
        : value_(v)
    {
    }
    Value value_;
};

// The digits of a stored value as the screen shows and the check accepts them.
std::string valueText(std::int16_t value);

} // namespace puzzle
