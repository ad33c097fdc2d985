// Item-id lists for tests, built from one-letter items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::support {

using TBytes = std::vector<std::uint8_t>;

// A list of one-letter items: "ad" is the folder d inside the folder a.
inline TBytes Items(const std::string& names) {
    TBytes list;
    for (const char name : names)
        list.insert(list.end(), {3, 0, static_cast<std::uint8_t>(name)});
    list.insert(list.end(), {0, 0});
    return list;
}

} // namespace velmora::support
