#include "platform/Text.h"

#include <algorithm>

namespace velmora {

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool LessIgnoringCase(std::string_view a, std::string_view b) {
    const bool folded =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(LowerAscii(x)) <
                   static_cast<unsigned char>(LowerAscii(y));
        });
    if (folded || !SameTextIgnoringCase(a, b))
        return folded;
    return a < b;
}

} // namespace velmora
