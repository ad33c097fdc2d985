#include "conversion/LineList.h"
#include "platform/FileStream.h"
#include "support/StoreWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <random>

using namespace velmora;

namespace {

std::vector<std::string> LinesOf(const TLineList& list) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.Count(); ++i)
        lines.emplace_back(list[i]);
    return lines;
}

struct TSplitCase {
    const char* Name;
    std::string Block;
    std::vector<std::string> Lines;
    std::string Saved;
};

class SplitAndSave : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(SplitAndSave, GivesTheLinesAndTheSavedBytes) {
    const TSplitCase& c = GetParam();
    TLineList list;
    list.SetText(c.Block);
    EXPECT_EQ(LinesOf(list), c.Lines);
    EXPECT_EQ(list.SavedText(), c.Saved);
    EXPECT_EQ(list.SavedSize(), c.Saved.size());
}

const std::string kNul("\0", 1);

INSTANTIATE_TEST_SUITE_P(
    Blocks, SplitAndSave,
    ::testing::Values(
        TSplitCase{"LoneLf", "A\nB", {"A", "B"}, "A\r\nB\r\n"},
        TSplitCase{"CrLfWithEmptyLine", "A\r\n\r\nB\r\n", {"A", "", "B"}, "A\r\n\r\nB\r\n"},
        TSplitCase{"LfThenCr", "A\n\rB", {"A", "", "B"}, "A\r\n\r\nB\r\n"},
        TSplitCase{"CrCrLf", "A\r\r\nB", {"A", "", "B"}, "A\r\n\r\nB\r\n"},
        TSplitCase{"LoneCrAtEnd", "A\r", {"A"}, "A\r\n"},
        TSplitCase{"CutAtNul", "A\r\nB" + kNul + "C\r\n", {"A", "B"}, "A\r\nB\r\n"},
        TSplitCase{"Empty", "", {}, ""}, TSplitCase{"NulFirst", kNul + "A\r\n", {}, ""},
        TSplitCase{"HighBytes", "caf\xe9\r\n\xff", {"caf\xe9", "\xff"}, "caf\xe9\r\n\xff\r\n"},
        TSplitCase{"MixedBreaks", "a\r\nb\nc\rd\r\n", {"a", "b", "c", "d"}, "a\r\nb\r\nc\r\nd\r\n"},
        TSplitCase{"OnlyBreaks", "\r\n\n\r", {"", "", ""}, "\r\n\r\n\r\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(LineList, ReplacedLineIsWrittenWholeWithOneLineEnd) {
    TLineList list;
    list.SetText("head\r\nplaceholder\r\ntail\r\n");
    list.Replace(1, "x\r\ny\r\n");
    EXPECT_EQ(list.SavedText(), "head\r\nx\r\ny\r\n\r\ntail\r\n");
    EXPECT_EQ(list[1], "x\r\ny\r\n");
    list.Replace(2, std::string("\0z", 2));
    EXPECT_EQ(list.SavedText(), std::string("head\r\nx\r\ny\r\n\r\n\0z\r\n", 18));
}

TEST(LineList, CrLfBlockIsSavedAsOnePiece) {
    TLineList list;
    list.SetText("From: a\r\nTo: b\r\n\r\nbody\r\n");
    EXPECT_EQ(list.SavedPieces().size(), 1u);
    list.SetText("From: a\nTo: b\r\n");
    EXPECT_EQ(list.SavedText(), "From: a\r\nTo: b\r\n");
}

TEST(LineList, SavesIntoAFile) {
    support::TTempDir dir;
    TLineList list;
    list.SetText("A\nB");
    {
        auto file = TNewFile::CreateNew(dir / "m.eml");
        ASSERT_TRUE(file.has_value());
        list.SaveTo(*file);
        file->Commit();
    }
    EXPECT_EQ(support::ReadFile(dir / "m.eml"), "A\r\nB\r\n");
    TLineList empty;
    empty.SetText("");
    auto file = TNewFile::CreateNew(dir / "empty.eml");
    empty.SaveTo(*file);
    file->Commit();
    EXPECT_EQ(support::ReadFile(dir / "empty.eml"), "");
}

} // namespace

namespace {

// The split and save rules written the plain way, byte by byte.
std::vector<std::string> ReferenceSplit(const std::string& block) {
    const std::string text = block.substr(0, block.find('\0'));
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        std::string line;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            line += text[i++];
        lines.push_back(line);
        if (i < text.size() && text[i] == '\r')
            ++i;
        if (i < text.size() && text[i] == '\n')
            ++i;
    }
    return lines;
}

} // namespace

TEST(LineList, AgreesWithThePlainRulesOnArbitraryBlocks) {
    std::mt19937 random(99);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\0', '\xe9'};
    for (int round = 0; round < 5000; ++round) {
        std::string block;
        const std::size_t length = random() % 40;
        for (std::size_t i = 0; i < length; ++i)
            block += alphabet[random() % (round % 7 == 0 ? 6 : 4)];
        TLineList list;
        list.SetText(block);
        const auto expected = ReferenceSplit(block);
        ASSERT_EQ(LinesOf(list), expected) << "block of " << block.size() << " bytes";
        std::string saved;
        for (const auto& line : expected)
            saved += line + "\r\n";
        if (list.Count() > 0 && round % 3 == 0) {
            const std::size_t at = random() % list.Count();
            list.Replace(at, "X\nY");
            saved.clear();
            for (std::size_t i = 0; i < expected.size(); ++i)
                saved += (i == at ? std::string("X\nY") : expected[i]) + "\r\n";
        }
        ASSERT_EQ(list.SavedText(), saved);
        ASSERT_EQ(list.SavedSize(), saved.size());
    }
}
