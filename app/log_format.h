#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace app {

// Local wall-clock time broken into fields, to the millisecond.
struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};

using Clock = std::function<LocalTime()>;
LocalTime localNow();

// "yyyy-mm-dd HH:nn:ss.zzz -- text"
std::string logEntry(const LocalTime& t, std::string_view text);

// The error box's text: a full stop is appended unless the message is empty
// or ends with a character that sorts at or below it.
std::string errorBoxText(std::string_view message);

// The program file's name without folder, cut at its first full stop, the
// first character as is and the rest in lower case.
std::string applicationTitle(std::string_view programPath);

}  // namespace app
