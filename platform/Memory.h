// Memory hints for buffers of hundreds of megabytes (attachments and their
// Base64 text).
#pragma once

#include <cstddef>
#include <string>

namespace velmora {

// Reserves room for size bytes in text. Backed by small pages, a buffer that
// size costs one page fault per 4 KiB, which takes longer than filling it;
// large pages are asked for instead (a hint the system may ignore).
void ReserveLargeBuffer(std::string& text, std::size_t size);

} // namespace velmora
