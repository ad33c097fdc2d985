#include "store/ItemIdList.h"

#include <cstring>
#include <new>

namespace velmora {

namespace {

std::uint16_t Count(PCItemIDList item) {
    return static_cast<std::uint16_t>(item[0] | (item[1] << 8));
}

// A count below 2 cannot hold its own two bytes; it ends the list as the
// terminator does, so that a damaged list is never walked past its end.
bool IsTerminator(PCItemIDList item) {
    return Count(item) < 2;
}

} // namespace

PItemIDList NextId(PItemIDList item) {
    return item + Count(item);
}

PCItemIDList NextId(PCItemIDList item) {
    return item + Count(item);
}

std::size_t PidlSize(PCItemIDList list) {
    if (list == nullptr)
        return 0;
    std::size_t size = 2;
    for (PCItemIDList item = list; !IsTerminator(item); item = NextId(item))
        size += Count(item);
    return size;
}

PItemIDList ShellAlloc(std::size_t size) {
    void* block = SHGetMalloc().Alloc(size);
    if (block != nullptr)
        std::memset(block, 0, size);
    return static_cast<PItemIDList>(block);
}

PItemIDList CopyPidl(PCItemIDList list) {
    if (list == nullptr)
        return nullptr;
    const std::size_t size = PidlSize(list);
    PItemIDList copy = ShellAlloc(size);
    if (copy != nullptr) {
        std::memcpy(copy, list, size);
        copy[size - 2] = copy[size - 1] = 0; // a short count is copied as a real end
    }
    return copy;
}

void StripLastId(PItemIDList list) {
    if (list == nullptr || IsTerminator(list))
        return;
    PItemIDList last = list;
    while (!IsTerminator(NextId(last)))
        last = NextId(last);
    last[0] = last[1] = 0;
}

void ShellFree(void* block) {
    SHGetMalloc().Free(block);
}

std::shared_ptr<IShellFolder> DesktopFolder() {
    return SHGetDesktopFolder();
}

void FreePidlList(TPidlList* list) {
    if (list == nullptr)
        return;
    for (PItemIDList entry : *list)
        ShellFree(entry);
    delete list;
}

TPidlChain BuildAncestorList(PCItemIDList target) {
    TPidlChain chain(new TPidlList);
    PCItemIDList inHand = target;
    while (inHand != nullptr && !IsTerminator(inHand)) {
        TPidl copy(CopyPidl(inHand));
        if (!copy)
            throw std::bad_alloc();
        chain->insert(chain->begin(), copy.get());
        PItemIDList entry = copy.release();
        StripLastId(entry);
        inHand = entry;
    }
    return chain;
}

} // namespace velmora
