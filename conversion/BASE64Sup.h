// Base64 text for attachments: the standard alphabet with "=" padding, and a
// CR LF after every 65th input byte (so lines of 84, 88, 88, ... characters).
//
// The state is module-level and shared: one encoding at a time.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Fills the alphabet table, then resets the pending group. Run it before the
// first Base64Encode; running it again refills the same table.
void Base64Init();
// Empties the pending group.
void Base64Reset();
// Adds one byte to the pending group; true when the group is full (three
// bytes). A full group takes no further byte.
bool Base64AddByte(unsigned char byte);
// The pending group as four characters ("=" for the missing bytes), or the
// empty string when nothing is pending; the group is empty afterwards.
std::string Base64Flush();

// The whole input as Base64 text with the line rule above.
std::string Base64Encode(std::string_view input);

// Base64Encode done one byte at a time through Base64AddByte and
// Base64Flush: the definition Base64Encode's block-wise encoder must match.
std::string Base64EncodeBytewise(std::string_view input);

// 4 * ceil(n / 3) + 2 * floor(n / 65).
std::size_t Base64EncodedLength(std::size_t inputLength);

namespace detail {
// Base64Encode with its vector path on or off, so that both paths can be
// compared with the byte-at-a-time definition on any machine.
std::string Base64EncodeBlockwise(std::string_view input, bool vector);
// Whether this processor runs the vector path.
bool Base64VectorAvailable();
} // namespace detail

} // namespace velmora
