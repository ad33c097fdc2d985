// Reader of a mail folder's index file (".imh", version tag "V#04").
//
// Layout, all integers 32-bit little-endian, signed:
//   file:    "V#04", then records back to back until the end of the file
//   record:  34 fixed | L1 | field1 | L2 | field2 | L3 | field3 | 12 fixed |
//            L4 | field4 | 6 fixed | length | offset | 8 fixed
// so a record is 84 + L1 + L2 + L3 + L4 bytes.
#pragma once

#include "conversion/IMMessage.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr std::string_view kIndexVersionTag = "V#04";

// The records of the index file at Path, in file order. Raises "Cannot open
// file %s" and "Unsupported file version". A trailing record cut short by the
// end of the file, or one with a negative length prefix, ends the reading
// quietly; the records before it are returned.
std::vector<TIMMessage> ReadIndexFile(const std::string& Path);

// The same over bytes already in memory (the whole file, tag included).
std::vector<TIMMessage> ParseIndex(std::string_view bytes);

} // namespace velmora
