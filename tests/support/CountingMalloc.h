// A shell allocator for tests: counts what is allocated and returned, can
// refuse the Nth allocation, and is the program's shell allocator for as
// long as it lives.
#pragma once

#include "platform/ShellNamespace.h"

#include <cstdlib>
#include <set>
#include <vector>

namespace velmora::support {

class TCountingMalloc final : public IMalloc {
public:
    // failAt: the 1-based number of the allocation that gives no block; 0
    // for none.
    explicit TCountingMalloc(int failAt = 0) : FFailAt(failAt) { SetShellAllocator(this); }
    ~TCountingMalloc() override {
        SetShellAllocator(nullptr);
        for (void* block : FLive)
            std::free(block);
    }
    TCountingMalloc(const TCountingMalloc&) = delete;
    TCountingMalloc& operator=(const TCountingMalloc&) = delete;

    void* Alloc(std::size_t size) override {
        ++FAllocCalls;
        if (FAllocCalls == FFailAt)
            return nullptr;
        // Filled with a pattern, so that a caller relying on zeroed memory
        // it did not zero itself is caught.
        auto* block = static_cast<unsigned char*>(std::malloc(size == 0 ? 1 : size));
        for (std::size_t i = 0; i < size; ++i)
            block[i] = 0xA5;
        FLive.insert(block);
        return block;
    }

    void Free(void* block) override {
        if (block == nullptr)
            return; // as free() does
        FFreed.push_back(block);
        if (FLive.erase(block) == 0) {
            ++FForeignFrees; // not one of ours, or freed twice
            return;
        }
        std::free(block);
    }

    int AllocCalls() const { return FAllocCalls; }
    std::size_t Live() const { return FLive.size(); }
    int ForeignFrees() const { return FForeignFrees; }
    // Every block handed to Free, in order.
    const std::vector<void*>& Freed() const { return FFreed; }

private:
    int FFailAt;
    int FAllocCalls = 0;
    int FForeignFrees = 0;
    std::set<void*> FLive;
    std::vector<void*> FFreed;
};

} // namespace velmora::support
