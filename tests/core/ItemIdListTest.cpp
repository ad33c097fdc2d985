#include "store/ItemIdList.h"
#include "support/CountingMalloc.h"
#include "support/IdLists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace velmora;
using namespace velmora::support;

namespace {

// A list of items of the given counts, each item's data bytes set to the
// item's number so that items can be told apart.
TBytes ListOfCounts(const std::vector<int>& counts) {
    TBytes list;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        list.push_back(static_cast<std::uint8_t>(counts[i] & 0xFF));
        list.push_back(static_cast<std::uint8_t>(counts[i] >> 8));
        list.insert(list.end(), counts[i] - 2, static_cast<std::uint8_t>('a' + i));
    }
    list.insert(list.end(), {0, 0});
    return list;
}

TBytes Bytes(PCItemIDList list) {
    return TBytes(list, list + PidlSize(list));
}

struct TSizeCase {
    std::vector<int> Counts;
    std::size_t Size;
};

class PidlSizeOf : public ::testing::TestWithParam<TSizeCase> {};

struct TChainCase {
    std::string Target;
    std::vector<std::string> Chain;
};

class AncestorChain : public ::testing::TestWithParam<TChainCase> {};

class FailingAllocation : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(PidlSizeOf, IsTheSumOfTheCountsPlusTheTerminator) {
    const TBytes list = ListOfCounts(GetParam().Counts);
    EXPECT_EQ(PidlSize(list.data()), GetParam().Size);
}

INSTANTIATE_TEST_SUITE_P(Lists, PidlSizeOf,
                         ::testing::Values(TSizeCase{{20, 14}, 36}, TSizeCase{{}, 2},
                                           TSizeCase{{3}, 5}, TSizeCase{{300, 2}, 304}));

TEST(ItemIdList, NoListHasSizeZeroAndCopiesToNothing) {
    TCountingMalloc allocator;
    EXPECT_EQ(PidlSize(nullptr), 0u);
    EXPECT_EQ(CopyPidl(nullptr), nullptr);
    StripLastId(nullptr);
    EXPECT_EQ(allocator.AllocCalls(), 0);
}

TEST(ItemIdList, NextIdStepsOverTheItemsCount) {
    const TBytes list = ListOfCounts({20, 14});
    EXPECT_EQ(NextId(list.data()), list.data() + 20);
    EXPECT_EQ(NextId(NextId(list.data())), list.data() + 34);
}

TEST(ItemIdList, StripLastIdCutsOneItemInPlace) {
    TBytes two = Items("xy");
    StripLastId(two.data());
    EXPECT_EQ(Bytes(two.data()), Items("x"));
    StripLastId(two.data());
    EXPECT_EQ(Bytes(two.data()), Items(""));
    StripLastId(two.data());
    EXPECT_EQ(Bytes(two.data()), Items(""));
}

TEST(ItemIdList, ShellAllocZeroFillsABlockOfTheShellAllocator) {
    TCountingMalloc allocator;
    const TPidl block(ShellAlloc(16));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(allocator.Live(), 1u);
    EXPECT_EQ(TBytes(block.get(), block.get() + 16), TBytes(16, 0));
}

TEST(ItemIdList, CopyIsASeparateBlockOfTheSameBytes) {
    TCountingMalloc allocator;
    const TBytes list = ListOfCounts({20, 14});
    const TPidl copy(CopyPidl(list.data()));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy.get(), list.data());
    EXPECT_EQ(Bytes(copy.get()), list);
    EXPECT_EQ(allocator.AllocCalls(), 1);
}

TEST(ItemIdList, RefusedBlockGivesNothingAndFillsNothing) {
    const TBytes list = Items("x");
    {
        TCountingMalloc allocator(1);
        EXPECT_EQ(ShellAlloc(8), nullptr);
        const TPidl next(ShellAlloc(8)); // the allocator is asked again each time
        EXPECT_NE(next, nullptr);
    }
    TCountingMalloc allocator(1);
    EXPECT_EQ(CopyPidl(list.data()), nullptr);
    EXPECT_EQ(allocator.Live(), 0u);
}

TEST_P(AncestorChain, RunsFromTheDesktopToTheParent) {
    TCountingMalloc allocator;
    const TBytes target = Items(GetParam().Target);
    {
        const TPidlChain chain = BuildAncestorList(target.data());
        ASSERT_EQ(chain->size(), GetParam().Chain.size());
        for (std::size_t i = 0; i < chain->size(); ++i)
            EXPECT_EQ(Bytes((*chain)[i]), Items(GetParam().Chain[i])) << "entry " << i;
        EXPECT_EQ(allocator.Live(), chain->size()); // one block per entry
    }
    EXPECT_EQ(allocator.Live(), 0u);
    EXPECT_EQ(allocator.ForeignFrees(), 0);
    EXPECT_EQ(target, Items(GetParam().Target)); // the target is unchanged
}

INSTANTIATE_TEST_SUITE_P(Targets, AncestorChain,
                         ::testing::Values(TChainCase{"abc", {"", "a", "ab"}},
                                           TChainCase{"a", {""}}, TChainCase{"", {}}));

TEST(ItemIdList, FreePidlListReturnsEntriesFromIndexZeroUp) {
    TCountingMalloc allocator;
    const TBytes target = Items("abcd");
    TPidlChain chain = BuildAncestorList(target.data());
    const TPidlList entries = *chain;
    FreePidlList(chain.release());
    EXPECT_EQ(allocator.Freed(), std::vector<void*>(entries.begin(), entries.end()));
    EXPECT_EQ(allocator.Live(), 0u);
    FreePidlList(nullptr);
}

TEST_P(FailingAllocation, LeavesNothingAllocated) {
    TCountingMalloc allocator(GetParam());
    const TBytes target = Items("abc");
    EXPECT_THROW(BuildAncestorList(target.data()), std::bad_alloc);
    EXPECT_EQ(allocator.AllocCalls(), GetParam());
    EXPECT_EQ(allocator.Live(), 0u);
    EXPECT_EQ(allocator.ForeignFrees(), 0);
    EXPECT_EQ(target, Items("abc"));
}

INSTANTIATE_TEST_SUITE_P(NthAlloc, FailingAllocation, ::testing::Values(1, 2, 3));
