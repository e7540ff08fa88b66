#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace db {

// Reads a whole number the way the original toolkit's StrToInt did: leading
// blanks, one sign, then decimal digits or hexadecimal digits after "$" or
// "0x". Anything else (empty, trailing blanks, other characters, outside the
// 32-bit range) gives nothing.
std::optional<std::int32_t> parseInt32(std::string_view text);

// Port text as the Config box gives it: a whole number as above, else 0.
std::int32_t parsePortText(std::string_view text);

}  // namespace db
