#include "conversion/LinePass.h"
#include "conversion/BASE64Sup.h"
#include "conversion/ConversionRun.h"
#include "platform/Exceptions.h"
#include "support/RecordingUI.h"
#include "support/StoreWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace velmora;
using namespace velmora::support;
namespace fs = std::filesystem;

namespace {

const std::string P(kAttachmentMarker);
const std::string kBinary("x\r\ny\nz\r\0w\xff", 10);

std::string Repeat(const std::string& text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += text;
    return out;
}

// Base64 of 195 letters a, as the encoder breaks it: three lines and a final
// CR LF.
const std::string k195Text =
    Repeat("YWFh", 21) + "\r\n" + Repeat("YWFh", 22) + "\r\n" + Repeat("YWFh", 22) + "\r\n";

class TSavedUI : public TRecordingUI {
public:
    std::vector<std::string> Saved; // output paths in record order
    void MessageSaved(const TMessageOutcome& outcome) override {
        Saved.push_back(outcome.OutputPath);
    }
};

// A store with one mail folder, Inbox, and a set of attachment files; every
// test converts it with the whole run, as the Export button does.
class LinePassTest : public ::testing::Test {
protected:
    TTempDir Dir;
    TSavedUI UI;
    TRandomGenerator Random;
    TConversionRun Run{UI, Random, [] { return TDateTime{2005, 3, 7, 9, 4, 5, 7}; }};
    TStoreWriter Store{Dir / "store"};

    void SetUp() override {
        Store.AddAttachment("a.txt", "hello");
        Store.AddAttachment("bin.dat", kBinary);
        Store.AddAttachment("empty.txt", "");
        Store.AddAttachment("b195.bin", std::string(195, 'a'));
        Store.AddAttachment("--a.txt", "dashes");
        Store.AddAttachment(P.substr(1) + "a.txt", "both");
        Store.AddAttachment("markers.txt",
                            "Content-Transfer-Encoding: base64\r\n" + P + "a.txt\r\n");
        Store.AddAttachment("..x", "two dots");
        Store.AddAttachment("...", "three dots");
        fs::create_directory(Attachments() + "/sub");
        Store.AddAttachment("sub/inner.txt", "inner");
        fs::create_directory(Attachments() + "/folder");
        // Beside the Attachments folder, where no placeholder may reach.
        WriteFile(StoreDir() + "/secret.txt", "secret");
    }

    std::string StoreDir() const { return Store.Folder(); }
    std::string Attachments() const { return StoreDir() + "/Attachments"; }

    // Converts the messages; gives the saved text of each, in order.
    std::vector<std::string> Convert(const std::vector<std::string>& blocks) {
        for (const std::string& block : blocks)
            Store.AddMessage("Inbox", block);
        Store.Write();
        UI.Answer = Dir / "out";
        Run.Execute({{"Inbox", Store.IndexPath("Inbox"), true}}, StoreDir());
        std::vector<std::string> texts;
        for (const std::string& path : UI.Saved)
            texts.push_back(ReadFile(path));
        return texts;
    }

    std::string ConvertOne(const std::string& block) {
        const auto texts = Convert({block});
        return texts.size() == 1 ? texts[0] : "(" + std::to_string(texts.size()) + " files)";
    }
};

struct TPassCase {
    const char* Name;
    std::string Block;
    std::string Saved;
};

void PrintTo(const TPassCase& c, std::ostream* os) {
    *os << c.Name;
}

class LinePassCases : public LinePassTest, public ::testing::WithParamInterface<TPassCase> {};

TEST_P(LinePassCases, SavesTheMessageWithItsAttachments) {
    EXPECT_EQ(ConvertOne(GetParam().Block), GetParam().Saved);
}

const std::string kB64 = "Content-Transfer-Encoding: base64\r\n";

INSTANTIATE_TEST_SUITE_P(
    Placeholders, LinePassCases,
    ::testing::Values(
        TPassCase{"MissingFileLeavesTheLine", "Subject: s\r\n\r\n" + P + "nope.txt\r\n",
                  "Subject: s\r\n\r\n" + P + "nope.txt\r\n"},
        TPassCase{"FolderIsNoFile", P + "folder\r\n", P + "folder\r\n"},
        TPassCase{"MarkerAloneNamesTheAttachmentsFolder", "a\r\n" + P + "\r\nb\r\n",
                  "a\r\n" + P + "\r\nb\r\n"},
        TPassCase{"NameIsTakenUntrimmed", P + "a.txt \r\n", P + "a.txt \r\n"},
        TPassCase{"BeforeAnyEncodingHeaderIsRaw", "Subject: s\r\n\r\n" + P + "a.txt\r\n",
                  "Subject: s\r\n\r\nhello\r\n"},
        TPassCase{"EncodingCarriesOverPartsAndBackToRaw",
                  kB64 + "\r\n--b\r\nContent-Type: text/plain\r\n\r\n" + P +
                      "a.txt\r\n--b\r\nContent-Transfer-Encoding: 7bit\r\n\r\n" + P + "a.txt\r\n",
                  kB64 + "\r\n--b\r\nContent-Type: text/plain\r\n\r\naGVsbG8=\r\n--b\r\n"
                         "Content-Transfer-Encoding: 7bit\r\n\r\nhello\r\n"},
        TPassCase{"LowerCaseHeaderNameIsNotTaken",
                  kB64 + "content-transfer-encoding: 7bit\r\n" + P + "a.txt\r\n",
                  kB64 + "content-transfer-encoding: 7bit\r\naGVsbG8=\r\n"},
        TPassCase{"LowerCaseHeaderNameSelectsNothing",
                  "content-transfer-encoding: base64\r\n" + P + "a.txt\r\n",
                  "content-transfer-encoding: base64\r\nhello\r\n"},
        TPassCase{"ValueInCapitals", "Content-Transfer-Encoding: BASE64\r\n" + P + "a.txt\r\n",
                  "Content-Transfer-Encoding: BASE64\r\naGVsbG8=\r\n"},
        TPassCase{"ValueInMixedCase", "Content-Transfer-Encoding: \"BaSe64\"\r\n" + P + "a.txt\r\n",
                  "Content-Transfer-Encoding: \"BaSe64\"\r\naGVsbG8=\r\n"},
        // The line is 33 characters of header, then the marker: the name
        // starts with the marker's second character.
        TPassCase{"LineWithBothIsItsOwnEncodingLine",
                  "Content-Transfer-Encoding: 7bit\r\nContent-Transfer-Encoding: base64" + P +
                      "a.txt\r\n",
                  "Content-Transfer-Encoding: 7bit\r\nYm90aA==\r\n"},
        TPassCase{"TextBeforeTheMarkerShiftsTheName", "XY" + P + "a.txt\r\n", "dashes\r\n"},
        TPassCase{"RawBytesPassUnchanged", "a\r\n" + P + "bin.dat\r\nb\r\n",
                  "a\r\n" + kBinary + "\r\nb\r\n"},
        TPassCase{"MultipleOf195IsFollowedByAnEmptyLine",
                  kB64 + "\r\n" + P + "b195.bin\r\n--b--\r\n",
                  kB64 + "\r\n" + k195Text + "\r\n--b--\r\n"},
        TPassCase{"SameFileTwice", P + "a.txt\r\n" + P + "a.txt\r\n", "hello\r\nhello\r\n"},
        TPassCase{"EmbeddedTextIsNeverExamined", P + "markers.txt\r\n" + P + "a.txt\r\n",
                  "Content-Transfer-Encoding: base64\r\n" + P + "a.txt\r\n\r\nhello\r\n"},
        TPassCase{"EmptyFileRawGivesAnEmptyLine", "a\r\n" + P + "empty.txt\r\nb\r\n",
                  "a\r\n\r\nb\r\n"},
        TPassCase{"EmptyFileBase64GivesAnEmptyLine", kB64 + P + "empty.txt\r\nb\r\n",
                  kB64 + "\r\nb\r\n"},
        TPassCase{"NameLetterCaseIsResolved", P + "A.TXT\r\n", "hello\r\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TNameCase {
    const char* Name;
    std::string FileName; // "{store}" stands for the store folder
    std::string Embedded; // empty: the placeholder stays
};

void PrintTo(const TNameCase& c, std::ostream* os) {
    *os << c.Name;
}

class AttachmentNames : public LinePassTest, public ::testing::WithParamInterface<TNameCase> {};

TEST_P(AttachmentNames, OnlyNamesInsideTheAttachmentsFolderAreOpened) {
    std::string name = GetParam().FileName;
    if (const auto at = name.find("{store}"); at != std::string::npos)
        name.replace(at, 7, StoreDir());
    const std::string line = P + name;
    const std::string expected = GetParam().Embedded.empty() ? line : GetParam().Embedded;
    EXPECT_EQ(ConvertOne(line + "\r\n"), expected + "\r\n");
    EXPECT_EQ(IsAttachmentNameInside(name), !GetParam().Embedded.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, AttachmentNames,
    ::testing::Values(
        TNameCase{"ParentWithBackslash", "..\\secret.txt", ""},
        TNameCase{"ParentWithSlash", "../secret.txt", ""},
        TNameCase{"ParentFromASubfolder", "sub\\..\\..\\secret.txt", ""},
        TNameCase{"ParentBackIntoTheFolder", "sub\\..\\a.txt", ""},
        TNameCase{"MixedSeparators", "sub/..\\..\\secret.txt", ""},
        TNameCase{"ParentAlone", "..", ""}, TNameCase{"TrailingParent", "sub\\..", ""},
        TNameCase{"DriveLetter", "C:\\secret.txt", ""}, TNameCase{"Stream", "a.txt:hidden", ""},
        TNameCase{"AbsoluteSlash", "{store}/secret.txt", ""},
        TNameCase{"AbsoluteBackslash", "\\secret.txt", ""},
        TNameCase{"Subfolder", "sub\\inner.txt", "inner"},
        TNameCase{"SubfolderWithSlash", "sub/inner.txt", "inner"},
        TNameCase{"TwoDotsStartingAName", "..x", "two dots"},
        TNameCase{"ThreeDots", "...", "three dots"}, TNameCase{"Plain", "a.txt", "hello"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LinePassTest, EachMessageStartsWithoutAnEncodingLine) {
    const auto texts = Convert({kB64 + P + "a.txt\r\n", P + "a.txt\r\n",
                                "Content-Transfer-Encoding: 8bit\r\n", kB64 + P + "a.txt\r\n"});
    EXPECT_EQ(texts, (std::vector<std::string>{kB64 + "aGVsbG8=\r\n", "hello\r\n",
                                               "Content-Transfer-Encoding: 8bit\r\n",
                                               kB64 + "aGVsbG8=\r\n"}));
}

// A file that exists but that open() refuses. Root opens a file of mode 000
// all the same; a write-only kernel setting refuses readers whoever they
// are, so a link to one stands in.
bool MakeUnopenable(const std::string& path) {
    WriteFile(path, "content");
    ::chmod(path.c_str(), 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        struct stat info {};
        const bool isFile = ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (isFile && fd < 0)
            return true;
        if (fd >= 0)
            ::close(fd);
        fs::remove(path);
        fs::create_symlink("/proc/sys/vm/drop_caches", path);
    }
    return false;
}

TEST_F(LinePassTest, FileThatCannotBeOpenedEndsTheRunWithoutSavingTheMessage) {
    if (!MakeUnopenable(Attachments() + "/locked.bin"))
        GTEST_SKIP() << "no file here refuses to be opened";
    try {
        Convert({P + "a.txt\r\n", kB64 + P + "locked.bin\r\n", "third\r\n"});
        FAIL() << "the run went on";
    } catch (const EFOpenError& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Cannot open file " + StoreDir() + "/Attachments/locked.bin");
    }
    EXPECT_EQ(FilesIn(Dir / "out/Inbox").size(), 1u);
    ASSERT_EQ(UI.Saved.size(), 1u);
    EXPECT_EQ(ReadFile(UI.Saved[0]), "hello\r\n");
    ASSERT_EQ(UI.Messages.size(), 1u);
    EXPECT_EQ(UI.Messages[0], "1 messages saved to:\r\n" + Dir / "out");
}

TEST_F(LinePassTest, PipeIsRefusedInsteadOfWaitedOn) {
    const std::string pipe = Attachments() + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    try {
        Convert({P + "pipe\r\n"});
        FAIL() << "the run went on";
    } catch (const EFOpenError& failure) {
        EXPECT_EQ(std::string(failure.what()), "Cannot open file " + pipe);
    }
    EXPECT_TRUE(FilesIn(Dir / "out/Inbox").empty());
}

TEST_F(LinePassTest, LargeAttachmentIsEmbeddedWhole) {
    std::string content(3 * 1024 * 1024 + 7, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>((i * 131 + i / 256) & 0xff);
    Store.AddAttachment("large.bin", content);
    Base64Init();
    const std::string text = Base64Encode(content);
    EXPECT_EQ(ConvertOne("H\r\n" + kB64 + P + "large.bin\r\n" + P + "large.bin\r\n" +
                         "Content-Transfer-Encoding: binary\r\n" + P + "large.bin\r\n"),
              "H\r\n" + kB64 + text + "\r\n" + text + "\r\n" +
                  "Content-Transfer-Encoding: binary\r\n" + content + "\r\n");
}

TEST(LinePass, AttachmentPathIsBesideTheIndexFile) {
    EXPECT_EQ(AttachmentPath("/m/Store/Inbox.imh", P + "sub\\x.png"),
              "/m/Store/Attachments/sub/x.png");
    EXPECT_EQ(AttachmentPath("Inbox.imh", P + "x"), "Attachments/x");
    EXPECT_EQ(AttachmentPath("/s/Inbox.imh", "ab" + P + "x"), "/s/Attachments/--x");
    EXPECT_EQ(AttachmentPath("/s/Inbox.imh", P), "/s/Attachments/");
}

} // namespace
