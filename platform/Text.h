// ASCII-only letter case, as Windows compares the store's file and key names.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string LowerAscii(std::string_view text);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
// Orders without regard to letter case; names that differ only in case keep
// a stable byte-wise order.
bool LessIgnoringCase(std::string_view a, std::string_view b);

} // namespace velmora
