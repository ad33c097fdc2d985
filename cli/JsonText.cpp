#include "cli/JsonText.h"

#include <cstdio>

namespace velmora::cli {

namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        min = 0x80;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        min = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    std::uint32_t code = lead & (0x7f >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3f);
    }
    if (code < min || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return 0;
    return length;
}

void AppendEscape(std::string& out, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", value);
    out += buffer;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            AppendEscape(out, c);
        } else if (c >= 0x80) {
            if (const std::size_t length = Utf8SequenceLength(text, i)) {
                out.append(text.substr(i, length));
                i += length;
                continue;
            }
            AppendEscape(out, c);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    out += '"';
    return out;
}

} // namespace velmora::cli
