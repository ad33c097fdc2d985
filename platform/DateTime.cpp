#include "platform/DateTime.h"

#include <algorithm>
#include <chrono>

namespace velmora {

TDateTime LocalNow() {
    const auto now = std::chrono::system_clock::now();
    const auto seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,           local.tm_hour,
            local.tm_min,         local.tm_sec,     static_cast<int>(millis)};
}

namespace {

void AppendNumber(std::string& out, int value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        out.append(width - digits.size(), '0');
    out += digits;
}

} // namespace

std::string FormatDateTime(std::string_view pattern, const TDateTime& when) {
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char letter = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == letter)
            ++run;
        switch (letter) {
        case 'y':
            AppendNumber(out, run <= 2 ? when.Year % 100 : when.Year, run <= 2 ? 2 : 4);
            break;
        case 'm':
            AppendNumber(out, when.Month, run);
            break;
        case 'd':
            AppendNumber(out, when.Day, run);
            break;
        case 'h':
            AppendNumber(out, when.Hour, run);
            break;
        case 'n':
            AppendNumber(out, when.Minute, run);
            break;
        case 's':
            AppendNumber(out, when.Second, run);
            break;
        case 'z':
            AppendNumber(out, when.Millisecond, std::min<std::size_t>(run, 3));
            break;
        default:
            out.append(run, letter);
            break;
        }
        i += run;
    }
    return out;
}

} // namespace velmora
