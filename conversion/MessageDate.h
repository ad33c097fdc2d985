// The message's own date, so that exported files sort by when mail was sent.
#pragma once

#include <ctime>
#include <optional>
#include <string_view>

namespace velmora {

class TLineList;

// An RFC 5322 date-time ("Tue, 1 Mar 2005 09:04:05 +0100", with the
// obsolete forms: two-digit years, zone names, comments) as seconds since
// the epoch in UTC. Nothing when the text is not such a date.
std::optional<std::time_t> ParseMessageDate(std::string_view text);

// The first "Date:" header of the message's header section (up to the first
// empty line), folded lines joined, parsed as above.
std::optional<std::time_t> FindMessageDate(const TLineList& lines);

} // namespace velmora
