// JSON string literals for the report. File names are bytes, not always
// UTF-8: valid UTF-8 passes as it is, any other byte is written as \u00XX.
#pragma once

#include <string>
#include <string_view>

namespace velmora::cli {

std::string JsonString(std::string_view text);

} // namespace velmora::cli
