// Item-id list routines of the tree navigation. A list is one block from
// the shell's allocator; these routines copy, cut, measure and release
// lists without looking into the items' data.
#pragma once

#include "platform/ShellNamespace.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace velmora {

// The item after item: its address plus its count.
PItemIDList NextId(PItemIDList item);
PCItemIDList NextId(PCItemIDList item);

// 0 for no list, else the sum of the items' counts plus 2 for the terminator.
std::size_t PidlSize(PCItemIDList list);

// A zero-filled block of size bytes from the shell's allocator, or nullptr
// when the allocator gives none.
PItemIDList ShellAlloc(std::size_t size);

// A copy of the list from ShellAlloc, or nullptr when none could be had.
PItemIDList CopyPidl(PCItemIDList list);

// In place: the last item's count becomes 0, so the list loses that item.
// An empty list and no list are left alone.
void StripLastId(PItemIDList list);

// Returns a block to the shell's allocator.
void ShellFree(void* block);

std::shared_ptr<IShellFolder> DesktopFolder();

struct TShellFreeDeleter {
    void operator()(std::uint8_t* block) const { ShellFree(block); }
};
// One list owned, returned to the shell's allocator when it goes.
using TPidl = std::unique_ptr<std::uint8_t, TShellFreeDeleter>;

// An ancestor chain: separate blocks from the shell's allocator, owned by
// the chain, shallowest first.
using TPidlList = std::vector<PItemIDList>;

// Returns every entry to the shell's allocator, from index 0 upwards, then
// releases the chain; nothing for no chain.
void FreePidlList(TPidlList* list);

struct TPidlListDeleter {
    void operator()(TPidlList* list) const { FreePidlList(list); }
};
using TPidlChain = std::unique_ptr<TPidlList, TPidlListDeleter>;

// The ancestors of target a1 ... an: (empty), (a1), ..., (a1 ... an-1); none
// for the empty list. The target is read, never changed. Raises
// std::bad_alloc when a copy cannot be allocated; what was built is
// returned to the allocator first.
TPidlChain BuildAncestorList(PCItemIDList target);

} // namespace velmora
