#include "conversion/MessageDate.h"

#include "conversion/LineList.h"
#include "platform/Paths.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

namespace {

std::vector<std::string> Tokens(std::string_view text) {
    // Comments vanish; commas separate like spaces.
    std::vector<std::string> tokens;
    std::string current;
    int depth = 0;
    for (const char c : text) {
        if (c == '(') {
            ++depth;
        } else if (c == ')' && depth > 0) {
            --depth;
        } else if (depth > 0) {
            continue;
        } else if (c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n') {
            if (!current.empty())
                tokens.push_back(std::move(current));
            current.clear();
            continue;
        } else {
            current += c;
            continue;
        }
        if (!current.empty())
            tokens.push_back(std::move(current));
        current.clear();
    }
    if (!current.empty())
        tokens.push_back(std::move(current));
    return tokens;
}

bool ParseNumber(std::string_view text, int& value, std::size_t minDigits, std::size_t maxDigits) {
    if (text.size() < minDigits || text.size() > maxDigits)
        return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

int MonthNumber(std::string_view name) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (name.size() < 3)
        return 0;
    for (std::size_t i = 0; i < kMonths.size(); ++i)
        if (SameTextIgnoringCase(name.substr(0, 3), kMonths[i]))
            return static_cast<int>(i) + 1;
    return 0;
}

bool IsDayName(std::string_view name) {
    static constexpr std::array<std::string_view, 7> kDays = {"mon", "tue", "wed", "thu",
                                                              "fri", "sat", "sun"};
    if (name.size() < 3)
        return false;
    for (const std::string_view day : kDays)
        if (SameTextIgnoringCase(name.substr(0, 3), day))
            return true;
    return false;
}

// Zone offset east of UTC in minutes.
bool ZoneOffset(std::string_view zone, int& minutes) {
    if ((zone.front() == '+' || zone.front() == '-') && zone.size() == 5) {
        int hhmm = 0;
        if (!ParseNumber(zone.substr(1), hhmm, 4, 4) || hhmm % 100 > 59)
            return false;
        minutes = (hhmm / 100) * 60 + hhmm % 100;
        if (zone.front() == '-')
            minutes = -minutes;
        return true;
    }
    struct TNamedZone {
        std::string_view Name;
        int Hours;
    };
    static constexpr std::array<TNamedZone, 12> kZones = {{{"UT", 0},
                                                           {"UTC", 0},
                                                           {"GMT", 0},
                                                           {"Z", 0},
                                                           {"EST", -5},
                                                           {"EDT", -4},
                                                           {"CST", -6},
                                                           {"CDT", -5},
                                                           {"MST", -7},
                                                           {"MDT", -6},
                                                           {"PST", -8},
                                                           {"PDT", -7}}};
    for (const TNamedZone& named : kZones)
        if (SameTextIgnoringCase(zone, named.Name)) {
            minutes = named.Hours * 60;
            return true;
        }
    // Military zones other than Z carry no dependable meaning: read as UTC.
    if (zone.size() == 1 && std::isalpha(static_cast<unsigned char>(zone.front()))) {
        minutes = 0;
        return true;
    }
    return false;
}

std::int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yoe = year - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

} // namespace

std::optional<std::time_t> ParseMessageDate(std::string_view text) {
    const std::vector<std::string> tokens = Tokens(text);
    std::size_t t = 0;
    if (t < tokens.size() && IsDayName(tokens[t]))
        ++t;
    if (tokens.size() - t < 4)
        return std::nullopt;
    int day = 0;
    int year = 0;
    const int month = MonthNumber(tokens[t + 1]);
    if (!ParseNumber(tokens[t], day, 1, 2) || month == 0 || !ParseNumber(tokens[t + 2], year, 2, 4))
        return std::nullopt;
    if (tokens[t + 2].size() == 2)
        year += year < 50 ? 2000 : 1900;
    else if (tokens[t + 2].size() == 3)
        year += 1900;
    const std::string& clock = tokens[t + 3];
    int hour = 0;
    int minute = 0;
    int second = 0;
    const auto colon1 = clock.find(':');
    const auto colon2 = clock.find(':', colon1 == std::string::npos ? colon1 : colon1 + 1);
    if (colon1 == std::string::npos ||
        !ParseNumber(std::string_view(clock).substr(0, colon1), hour, 1, 2))
        return std::nullopt;
    const std::string_view minuteText = std::string_view(clock).substr(
        colon1 + 1, colon2 == std::string::npos ? std::string::npos : colon2 - colon1 - 1);
    if (!ParseNumber(minuteText, minute, 2, 2))
        return std::nullopt;
    if (colon2 != std::string::npos &&
        !ParseNumber(std::string_view(clock).substr(colon2 + 1), second, 2, 2))
        return std::nullopt;
    if (day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    int zoneMinutes = 0; // a missing zone is read as UTC
    if (t + 4 < tokens.size() && !ZoneOffset(tokens[t + 4], zoneMinutes))
        return std::nullopt;
    const std::int64_t seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 +
                                 minute * 60 + second - zoneMinutes * 60;
    return static_cast<std::time_t>(seconds);
}

std::optional<std::time_t> FindMessageDate(const TLineList& lines) {
    constexpr std::string_view kName = "Date:";
    for (std::size_t i = 0; i < lines.Count() && !lines[i].empty(); ++i) {
        const std::string_view line = lines[i];
        if (line.size() < kName.size() ||
            !SameTextIgnoringCase(line.substr(0, kName.size()), kName))
            continue;
        std::string value(line.substr(kName.size()));
        for (std::size_t next = i + 1; next < lines.Count() && !lines[next].empty() &&
                                       (lines[next][0] == ' ' || lines[next][0] == '\t');
             ++next)
            value += lines[next];
        return ParseMessageDate(value);
    }
    return std::nullopt;
}

} // namespace velmora
