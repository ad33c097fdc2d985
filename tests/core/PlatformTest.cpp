#include "platform/DateTime.h"
#include "platform/DirectorySearch.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/Paths.h"
#include "platform/Random.h"
#include "support/StoreWriter.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace velmora;
using support::TTempDir;
using support::WriteFile;

struct TTextCase {
    std::string Input;
    std::string Expected;
};

class ErrorBoxPeriod : public ::testing::TestWithParam<TTextCase> {};

TEST_P(ErrorBoxPeriod, AddsAPeriodOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(ErrorBoxText(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxPeriod,
    ::testing::Values(TTextCase{"Unsupported file version", "Unsupported file version."},
                      TTextCase{"Done.", "Done."}, TTextCase{"(fine)", "(fine)"},
                      TTextCase{"Really?", "Really?."}, TTextCase{"Key:", "Key:."},
                      TTextCase{"Number 7", "Number 7."}, TTextCase{"Stop!", "Stop!"},
                      TTextCase{"a,", "a,"}, TTextCase{"", ""}, TTextCase{"caf\xe9", "caf\xe9."}));

TEST(ErrorBoxPeriod, OutOfMemoryHasTheSystemsWording) {
    EXPECT_EQ(ErrorBoxText(std::bad_alloc()), "Out of memory.");
}

struct TPathCase {
    std::string Path;
    std::string FilePath;
    std::string FileName;
    std::string DataFile;
};

class PathParts : public ::testing::TestWithParam<TPathCase> {};

TEST_P(PathParts, SplitAndChangeExtension) {
    const TPathCase& c = GetParam();
    EXPECT_EQ(ExtractFilePath(c.Path), c.FilePath);
    EXPECT_EQ(ExtractFileName(c.Path), c.FileName);
    EXPECT_EQ(ChangeFileExt(c.Path, ".imm"), c.DataFile);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathParts,
    ::testing::Values(TPathCase{"/s/Inbox.imh", "/s/", "Inbox.imh", "/s/Inbox.imm"},
                      TPathCase{"/s/Sent.Old.imh", "/s/", "Sent.Old.imh", "/s/Sent.Old.imm"},
                      TPathCase{"/s.d/Inbox", "/s.d/", "Inbox", "/s.d/Inbox.imm"},
                      TPathCase{"Inbox.imh", "", "Inbox.imh", "Inbox.imm"},
                      TPathCase{"/s/.imh", "/s/", ".imh", "/s/.imm"}));

TEST(PathParts, RemoveFileExtKeepsDotsBeforeTheLast) {
    EXPECT_EQ(RemoveFileExt("Inbox.imh"), "Inbox");
    EXPECT_EQ(RemoveFileExt("Sent.Old.imh"), "Sent.Old");
    EXPECT_EQ(RemoveFileExt(".imh"), "");
    EXPECT_EQ(RemoveFileExt("Inbox"), "Inbox");
}

TEST(DirectorySearch, MatchesWithoutRegardToCaseAndSortsLikeWindows) {
    TTempDir dir;
    for (const char* name : {"inbox.imh", "Archive.IMH", "b.imm", "Zeta.imh", "x.imhx"})
        WriteFile(dir / name, "");
    std::filesystem::create_directory(dir / "Sub.imh");
    WriteFile(dir / ".hidden.imh", "");
    EXPECT_EQ(FindFiles(dir / "*.imh"),
              (std::vector<std::string>{".hidden.imh", "Archive.IMH", "inbox.imh", "Sub.imh",
                                        "Zeta.imh"}));
    EXPECT_TRUE(FindFiles(dir / "missing" + "/*.imh").empty());
    EXPECT_TRUE(MatchesMask("a.b.IMH", "*.imh"));
    EXPECT_TRUE(MatchesMask("abc", "a?c"));
    EXPECT_FALSE(MatchesMask("abc", "a?"));
}

TEST(ResolvePath, FindsTheOneEntryThatDiffersInCase) {
    TTempDir dir;
    std::filesystem::create_directory(dir / "Attachments");
    WriteFile(dir / "Attachments/Photo.JPG", "x");
    EXPECT_EQ(ResolvePath(dir / "attachments/photo.jpg"), dir / "Attachments/Photo.JPG");
    EXPECT_TRUE(FileExists(dir / "ATTACHMENTS/PHOTO.jpg"));
    EXPECT_FALSE(FileExists(dir / "Attachments"));
    EXPECT_TRUE(DirectoryExists(dir / "Attachments"));
    EXPECT_FALSE(DirectoryExists(dir / "attachments")); // output folders are taken as typed
    // Two candidates: nothing is guessed.
    WriteFile(dir / "Attachments/photo.jpg", "y");
    EXPECT_EQ(ResolvePath(dir / "attachments/PHOTO.jpg"), dir / "attachments/PHOTO.jpg");
}

TEST(FileStream, ReadBlockGivesOnlyTheBytesThatExist) {
    TTempDir dir;
    WriteFile(dir / "d.imm", "0123456789");
    const TFileStream stream = TFileStream::OpenRead(dir / "d.imm");
    EXPECT_EQ(stream.ReadBlock(2, 3), "234");
    EXPECT_EQ(stream.ReadBlock(8, 100), "89");
    EXPECT_EQ(stream.ReadBlock(10, 1), "");
    EXPECT_EQ(stream.ReadBlock(-1, 5), "");
    EXPECT_EQ(stream.ReadBlock(0, -5), "");
    EXPECT_EQ(stream.ReadBlock(0, 0x7fffffff), "0123456789");
}

TEST(FileStream, FailuresNameThePath) {
    TTempDir dir;
    EXPECT_THROW(TFileStream::OpenRead(dir / "none"), EFOpenError);
    EXPECT_THROW(TFileStream::OpenRead(dir.Path()), EFOpenError);
    try {
        TNewFile::CreateNew(dir / "no/such/x.eml");
        FAIL();
    } catch (const EFCreateError& failure) {
        EXPECT_EQ(std::string(failure.what()), "Cannot create file " + (dir / "no/such/x.eml"));
    }
}

TEST(NewFile, NeverReplacesAndLeavesNothingUncommitted) {
    TTempDir dir;
    WriteFile(dir / "taken.eml", "old");
    EXPECT_FALSE(TNewFile::CreateNew(dir / "taken.eml").has_value());
    EXPECT_EQ(support::ReadFile(dir / "taken.eml"), "old");
    {
        auto file = TNewFile::CreateNew(dir / "partial.eml");
        ASSERT_TRUE(file.has_value());
        file->Write("half");
    } // not committed: gone
    EXPECT_FALSE(std::filesystem::exists(dir / "partial.eml"));
}

TEST(NewFile, WriteFailureRemovesTheFileAndNamesIt) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    // A device that is always full stands in for a full disk; the removal of
    // a partial file is shown by NeverReplacesAndLeavesNothingUncommitted.
    auto file = TNewFile::CreateOrReplace("/dev/full");
    try {
        file.Write("x");
        FAIL();
    } catch (const EWriteError& failure) {
        EXPECT_EQ(std::string(failure.what()), "Stream write error: /dev/full");
    }
}

TEST(DateTime, FormatsTheOutputPattern) {
    const TDateTime when{2005, 3, 7, 9, 4, 5, 7};
    EXPECT_EQ(FormatDateTime("yyyymmddhhnnsszz", when), "2005030709040507");
    EXPECT_EQ(FormatDateTime("yyyymmddhhnnsszz", {2005, 3, 7, 9, 4, 5, 123}), "20050307090405123");
    EXPECT_EQ(FormatDateTime("yy-m-d zzz", when), "05-3-7 007");
}

TEST(Random, IsUniformOverItsRangeAndRepeatsForASeed) {
    TRandomGenerator a;
    TRandomGenerator b;
    a.Randomize(42);
    b.Randomize(42);
    std::set<int> seen;
    for (int i = 0; i < 20000; ++i) {
        const int value = a.Random(1000);
        ASSERT_EQ(value, b.Random(1000));
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 1000);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 1000u);
}
