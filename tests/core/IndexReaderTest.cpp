#include "conversion/IndexReader.h"
#include "platform/Exceptions.h"
#include "support/StoreWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <random>

using namespace velmora;
using namespace velmora::support;

namespace {

std::string Record(std::int32_t length, std::int32_t offset, std::string f1 = {},
                   std::string f2 = {}, std::string f3 = {}, std::string f4 = {}) {
    TIndexRecord record;
    record.Length = length;
    record.Offset = offset;
    record.Field1 = std::move(f1);
    record.Field2 = std::move(f2);
    record.Field3 = std::move(f3);
    record.Field4 = std::move(f4);
    return EncodeIndexRecord(record);
}

} // namespace

TEST(IndexReader, RecordWithEmptyFieldsIs84BytesWithLengthThenOffset) {
    const std::string record = Record(0x11223344, 0x55667788);
    ASSERT_EQ(record.size(), 84u);
    EXPECT_EQ(record.substr(68, 4), EncodeInt32(0x11223344));
    EXPECT_EQ(record.substr(72, 4), EncodeInt32(0x55667788));
    const auto records = ParseIndex("V#04" + record);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].FLength, 0x11223344);
    EXPECT_EQ(records[0].FOffset, 0x55667788);
    EXPECT_TRUE(records[0].FText1.empty());
}

TEST(IndexReader, ReadsLittleEndianValues) {
    std::string record(84, '\0');
    record.replace(68, 4, std::string("\x10\x00\x00\x00", 4));
    record.replace(72, 4, std::string("\x00\x01\x00\x00", 4));
    const auto records = ParseIndex("V#04" + record);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].FLength, 16);
    EXPECT_EQ(records[0].FOffset, 256);
}

TEST(IndexReader, PassesOverVariableFieldsByTheirLength) {
    const std::string big(20000, 'x');
    const std::string first = Record(10, 20, big, "ab", "cde", "fghi");
    ASSERT_EQ(first.size(), 84u + 20000 + 2 + 3 + 4);
    ASSERT_EQ(first.substr(20038, 4), EncodeInt32(2)); // second prefix after the long field
    const auto records = ParseIndex("V#04" + first + Record(-5, 1 << 30));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].FLength, 10);
    EXPECT_EQ(records[0].FOffset, 20);
    // Negative and far values are returned as they stand.
    EXPECT_EQ(records[1].FLength, -5);
    EXPECT_EQ(records[1].FOffset, 1 << 30);
}

TEST(IndexReader, TagOnlyGivesNoRecords) {
    EXPECT_TRUE(ParseIndex("V#04").empty());
}

class IndexReaderBadTag : public ::testing::TestWithParam<std::string> {};

TEST_P(IndexReaderBadTag, FailsWithUnsupportedVersion) {
    try {
        ParseIndex(GetParam() + Record(1, 2));
        FAIL() << "no failure";
    } catch (const EUnsupportedVersion& failure) {
        EXPECT_STREQ(failure.what(), "Unsupported file version");
    }
}

INSTANTIATE_TEST_SUITE_P(Tags, IndexReaderBadTag,
                         ::testing::Values(std::string(), "V#0", "v#04", "V#05", " V#04",
                                           std::string("\0V#04", 5)));

// Damaged tails: the complete records before them are kept.
struct TDamagedTail {
    const char* Name;
    std::string Tail;
};

class IndexReaderDamagedTail : public ::testing::TestWithParam<TDamagedTail> {};

TEST_P(IndexReaderDamagedTail, KeepsTheCompleteRecordsBefore) {
    const auto records = ParseIndex("V#04" + Record(7, 8) + Record(9, 10) + GetParam().Tail);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].FLength, 9);
    EXPECT_EQ(records[1].FOffset, 10);
}

std::string NegativePrefix(int field) {
    std::string record = Record(1, 2, "a", "b", "c", "d");
    const std::size_t at[] = {34, 39, 44, 61};
    record.replace(at[field], 4, EncodeInt32(-1));
    return record;
}

INSTANTIATE_TEST_SUITE_P(
    Tails, IndexReaderDamagedTail,
    ::testing::Values(TDamagedTail{"OneByte", "x"},
                      TDamagedTail{"CutBeforeOffset", Record(3, 4).substr(0, 74)},
                      TDamagedTail{"CutInTrailer", Record(3, 4).substr(0, 83)},
                      TDamagedTail{"FieldPastEnd",
                                   Record(3, 4, std::string(50, 'y')).substr(0, 60)},
                      TDamagedTail{"NegativeL1", NegativePrefix(0)},
                      TDamagedTail{"NegativeL2", NegativePrefix(1)},
                      TDamagedTail{"NegativeL3", NegativePrefix(2)},
                      TDamagedTail{"NegativeL4", NegativePrefix(3) + Record(5, 6)}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(IndexReader, FileErrorsCarryThePath) {
    TTempDir dir;
    const std::string missing = dir / "Missing.imh";
    try {
        ReadIndexFile(missing);
        FAIL() << "no failure";
    } catch (const EFOpenError& failure) {
        EXPECT_EQ(std::string(failure.what()), "Cannot open file " + missing);
    }
    WriteFile(dir / "Inbox.imh", "V#04" + Record(3, 4));
    EXPECT_EQ(ReadIndexFile(dir / "Inbox.imh").size(), 1u);
}

TEST(IndexReader, ArbitraryBytesNeverReadPastTheFile) {
    // Random tails, many with huge or negative prefixes: the reader must stop
    // quietly, and every record it gives needs its 84 bytes in the file.
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = "V#04";
        const int records = static_cast<int>(random() % 3);
        for (int r = 0; r < records; ++r)
            bytes += Record(static_cast<std::int32_t>(random()),
                            static_cast<std::int32_t>(random()), std::string(random() % 40, 'f'));
        const std::size_t tail = random() % 120;
        for (std::size_t i = 0; i < tail; ++i)
            bytes += static_cast<char>(random() % 4 == 0 ? 0xff : random());
        const auto parsed = ParseIndex(bytes);
        ASSERT_GE(parsed.size(), static_cast<std::size_t>(records));
        ASSERT_LE(parsed.size() * 84, bytes.size() - 4);
    }
}
