// Directory search by pattern, as the store's folder listing needs it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Matches a name against a pattern of "*" and "?" without regard to ASCII
// letter case.
bool MatchesMask(std::string_view name, std::string_view mask);

// The entries of the folder part of pattern whose names match its name part:
// files and directories alike, hidden ones included, "." and ".." left out,
// sorted without regard to letter case. A folder that cannot be read gives
// no entries.
std::vector<std::string> FindFiles(const std::string& pattern);

} // namespace velmora
