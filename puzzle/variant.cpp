#include "variant.h"

#include <cmath>
#include <cstdio>

namespace puzzle {

double Variant::number() const
{
    if (const auto* i = std::get_if<std::int16_t>(&value_))
        return *i;
    if (const auto* f = std::get_if<float>(&value_))
        return *f;
    return 0.0;
}

std::string Variant::text() const
{
    if (const auto* i = std::get_if<std::int16_t>(&value_))
        return valueText(*i);
    if (const auto* f = std::get_if<float>(&value_)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(*f));
        return buf;
    }
    return {};
}

std::string valueText(std::int16_t value)
{
    return std::to_string(value);
}

} // namespace puzzle
