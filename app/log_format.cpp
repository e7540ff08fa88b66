#include "log_format.h"

#include <cstdio>
#include <ctime>

namespace app {

LocalTime localNow()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&secs, &tm);
    const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, ms};
}

std::string logEntry(const LocalTime& t, std::string_view text)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.millisecond);
    std::string out = stamp;
    out += " -- ";
    out += text;
    return out;
}

std::string errorBoxText(std::string_view message)
{
    std::string out(message);
    if (!out.empty() && static_cast<unsigned char>(out.back()) > '.')
        out += '.';
    return out;
}

std::string applicationTitle(std::string_view path)
{
    if (auto slash = path.find_last_of("/\\"); slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    if (auto dot = path.find('.'); dot != std::string_view::npos)
        path = path.substr(0, dot);
    std::string out(path);
    for (std::size_t i = 1; i < out.size(); ++i)
        if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = char(out[i] - 'A' + 'a');
    return out;
}

}  // namespace app
