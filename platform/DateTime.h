// Local clock and the date pattern used for output names.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace velmora {

struct TDateTime {
    int Year = 0;
    int Month = 1; // 1..12
    int Day = 1;   // 1..31
    int Hour = 0;  // 0..23
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0; // 0..999
};

// The computer's local date and time, to the millisecond.
TDateTime LocalNow();

// A source of the current time; tests hand in a frozen one.
using TClock = std::function<TDateTime()>;

// Formats by a pattern of letter runs: yyyy (or yy) year, mm month, dd day,
// hh hour, nn minute, ss second, z..zzz millisecond; a run of n letters is
// zero-padded to n digits (milliseconds to at most 3). Other characters are
// copied.
std::string FormatDateTime(std::string_view pattern, const TDateTime& when);

} // namespace velmora
