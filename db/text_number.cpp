#include "text_number.h"

namespace db {

std::optional<std::int32_t> parseInt32(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > std::int64_t{1} << 32)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (base == 16 && !negative && value > INT32_MAX && value <= UINT32_MAX)
        value -= std::int64_t{1} << 32;  // hexadecimal wraps into the sign bit
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t parsePortText(std::string_view text)
{
    return parseInt32(text).value_or(0);
}

}  // namespace db
