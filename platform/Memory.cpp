#include "platform/Memory.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace velmora {

void ReserveLargeBuffer(std::string& text, std::size_t size) {
    text.reserve(size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (size < 4 * kLargePage)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(text.data());
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + size) & ~(kLargePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

} // namespace velmora
