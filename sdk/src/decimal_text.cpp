#include "decimal_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace zul {
namespace {

bool space(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool digit(char c)
{
    return c >= '0' && c <= '9';
}

// Blanks and a sign off the front; true for a minus.
bool takeSign(std::string_view &text)
{
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    return negative;
}

size_t digitsAt(std::string_view text, size_t at)
{
    size_t n = 0;
    while (at + n < text.size() && digit(text[at + n]))
        ++n;
    return n;
}

} // namespace

std::int32_t leadingInteger(std::string_view text)
{
    const bool negative = takeSign(text);
    const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                        : std::int64_t{std::numeric_limits<std::int32_t>::max()};
    std::int64_t value = 0;
    for (size_t i = 0; i < text.size() && digit(text[i]) && value < limit; ++i)
        value = value * 10 + (text[i] - '0');
    if (value > limit)
        value = limit;
    return static_cast<std::int32_t>(negative ? -value : value);
}

float leadingFloat(std::string_view text)
{
    const bool negative = takeSign(text);
    size_t length = digitsAt(text, 0);
    size_t digits = length;
    if (length < text.size() && text[length] == '.') {
        const size_t fraction = digitsAt(text, length + 1);
        digits += fraction;
        length += 1 + fraction;
    }
    if (digits == 0)
        return 0.0f;
    if (length < text.size() && (text[length] == 'e' || text[length] == 'E')) {
        size_t at = length + 1;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (const size_t exponent = digitsAt(text, at))
            length = at + exponent;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + length, value);
    if (error != std::errc() || end != text.data() + length)
        return 0.0f;
    if (value > static_cast<double>(std::numeric_limits<float>::max()))
        value = std::numeric_limits<double>::infinity();
    return static_cast<float>(negative ? -value : value);
}

std::string twoDecimals(float value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed, 2);
    return std::string(text, result.ptr);
}

} // namespace zul
