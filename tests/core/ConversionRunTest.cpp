#include "conversion/ConversionRun.h"
#include "conversion/OutputName.h"
#include "platform/Exceptions.h"
#include "support/RecordingUI.h"
#include "support/StoreWriter.h"
#include "support/TempDir.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::support;
namespace fs = std::filesystem;

namespace {

std::string Message(int n) {
    return "From: a@example.org\r\nSubject: message " + std::to_string(n) + "\r\n\r\nBody " +
           std::to_string(n) + "\r\n";
}

class ConversionRunTest : public ::testing::Test {
protected:
    TTempDir Dir;
    TRecordingUI UI;
    TRandomGenerator Random;
    TDateTime Frozen{2005, 3, 7, 9, 4, 5, 7};
    TConversionRun Run{UI, Random, [this] { return Frozen; }};

    std::string StoreDir() const { return Dir / "store"; }

    // A store with the given folders, each holding that many messages.
    std::vector<TFolderRow> MakeStore(const std::vector<std::pair<std::string, int>>& folders) {
        TStoreWriter store(StoreDir());
        std::vector<TFolderRow> rows;
        int n = 0;
        for (const auto& [name, count] : folders) {
            store.AddFolder(name);
            for (int i = 0; i < count; ++i)
                store.AddMessage(name, Message(++n));
            rows.push_back({name, store.IndexPath(name), true});
        }
        return rows;
    }
};

TEST_F(ConversionRunTest, EmptyChecklistAsksAndShowsNothing) {
    Run.Execute({}, Dir.Path());
    EXPECT_TRUE(UI.Calls.empty());
}

TEST_F(ConversionRunTest, CancelCreatesAndShowsNothing) {
    const auto rows = MakeStore({{"Inbox", 1}});
    UI.Answer = "";
    Run.Execute(rows, Dir.Path());
    EXPECT_EQ(UI.Calls, (std::vector<std::string>{
                            "InputBox Select directory name|Select directory name for output "
                            "files|"}));
    EXPECT_EQ(FilesIn(Dir.Path()).size(), 0u);
    EXPECT_EQ(fs::directory_iterator(Dir.Path())->path().filename(), "store");
}

TEST_F(ConversionRunTest, PlainNameIsResolvedAgainstTheSelectedFolder) {
    const auto rows = MakeStore({{"Inbox", 2}});
    UI.Answer = "out";
    Run.Execute(rows, StoreDir());
    ASSERT_EQ(UI.Messages.size(), 1u);
    EXPECT_EQ(UI.Messages[0], "2 messages saved to:\r\n" + StoreDir() + "/out");
    EXPECT_EQ(FilesIn(StoreDir() + "/out/Inbox").size(), 2u);
    EXPECT_EQ(Run.SavedCount(), 2u);
    EXPECT_EQ(Run.IndexFileName(), rows[0].IndexFileName);
    // Closing steps in order, after the work.
    const auto& calls = UI.Calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"Default", "HideProgress", "ShowMessage"}));
}

TEST_F(ConversionRunTest, NameWithASeparatorIsUsedAsTyped) {
    const auto rows = MakeStore({{"Inbox", 1}});
    fs::create_directory(Dir / "cwd");
    fs::create_directory(Dir / "cwd/sub");
    const fs::path previous = fs::current_path();
    fs::current_path(Dir / "cwd");
    UI.Answer = "sub/out";
    Run.Execute(rows, StoreDir());
    fs::current_path(previous);
    EXPECT_EQ(UI.Messages.at(0), "1 messages saved to:\r\nsub/out");
    EXPECT_EQ(FilesIn(Dir / "cwd/sub/out/Inbox").size(), 1u);
    EXPECT_FALSE(fs::exists(StoreDir() + "/sub"));
}

TEST_F(ConversionRunTest, UntickedRowsAreSkippedButCountForTheTotalBar) {
    auto rows = MakeStore({{"A", 1}, {"B", 1}, {"C", 3}});
    rows[1].Checked = false;
    UI.Answer = Dir / "out";
    Run.Execute(rows, StoreDir());
    EXPECT_EQ(UI.CallsStartingWith("Total"),
              (std::vector<std::string>{"TotalMax 2", "TotalPosition 0", "TotalPosition 2"}));
    EXPECT_EQ(UI.CallsStartingWith("CurrentMax"),
              (std::vector<std::string>{"CurrentMax 0", "CurrentMax 2"}));
    EXPECT_EQ(UI.CallsStartingWith("CurrentPosition"),
              (std::vector<std::string>{"CurrentPosition 0", "CurrentPosition 0",
                                        "CurrentPosition 1", "CurrentPosition 2"}));
    EXPECT_TRUE(fs::is_directory(Dir / "out/A"));
    EXPECT_FALSE(fs::exists(Dir / "out/B"));
    EXPECT_EQ(FilesIn(Dir / "out/C").size(), 3u);
}

TEST_F(ConversionRunTest, NoRowTickedStillCreatesTheOutputDirectory) {
    auto rows = MakeStore({{"Inbox", 1}});
    rows[0].Checked = false;
    UI.Answer = Dir / "out";
    Run.Execute(rows, StoreDir());
    EXPECT_TRUE(fs::is_directory(Dir / "out"));
    EXPECT_TRUE(fs::is_empty(Dir / "out"));
    EXPECT_EQ(UI.Messages.at(0), "0 messages saved to:\r\n" + (Dir / "out"));
}

TEST_F(ConversionRunTest, IndexWithOnlyTheTagGivesAnEmptySubdirectory) {
    const auto rows = MakeStore({{"Empty", 0}, {"Inbox", 1}});
    UI.Answer = Dir / "out";
    Run.Execute(rows, StoreDir());
    EXPECT_TRUE(fs::is_directory(Dir / "out/Empty"));
    EXPECT_TRUE(fs::is_empty(Dir / "out/Empty"));
    EXPECT_EQ(UI.CallsStartingWith("CurrentMax"), (std::vector<std::string>{"CurrentMax 0"}));
    EXPECT_EQ(Run.SavedCount(), 1u);
}

TEST_F(ConversionRunTest, FailureEndsTheRunAfterTheSummary) {
    const auto rows = MakeStore({{"First", 5}, {"Second", 4}, {"Third", 1}});
    UI.Answer = Dir / "out";
    // The third message of the second folder cannot be saved: its folder is gone.
    int repaints = 0;
    UI.OnRepaintProgress = [&](int) {
        if (++repaints == 8)
            fs::remove_all(Dir / "out/Second");
    };
    try {
        Run.Execute(rows, StoreDir());
        FAIL() << "no failure";
    } catch (const EFCreateError& failure) {
        EXPECT_EQ(
            std::string(failure.what()).rfind("Cannot create file " + (Dir / "out/Second/"), 0), 0u)
            << failure.what();
    }
    ASSERT_EQ(UI.Messages.size(), 1u);
    EXPECT_EQ(UI.Messages[0].rfind("7 messages saved to:\r\n", 0), 0u);
    EXPECT_EQ(UI.Calls.back(), "ShowMessage");
    EXPECT_FALSE(fs::exists(Dir / "out/Third"));
    EXPECT_EQ(FilesIn(Dir / "out/First").size(), 5u);
}

TEST_F(ConversionRunTest, UnsupportedIndexEndsTheRun) {
    auto rows = MakeStore({{"Inbox", 1}});
    WriteFile(rows[0].IndexFileName, "V#05");
    UI.Answer = Dir / "out";
    EXPECT_THROW(Run.Execute(rows, StoreDir()), EUnsupportedVersion);
    EXPECT_EQ(UI.Messages.at(0), "0 messages saved to:\r\n" + (Dir / "out"));
}

TEST_F(ConversionRunTest, MissingDataFileNamesIt) {
    const auto rows = MakeStore({{"Inbox", 1}});
    fs::remove(StoreDir() + "/Inbox.imm");
    UI.Answer = Dir / "out";
    try {
        Run.Execute(rows, StoreDir());
        FAIL();
    } catch (const EFOpenError& failure) {
        EXPECT_EQ(std::string(failure.what()), "Cannot open file " + StoreDir() + "/Inbox.imm");
    }
}

TEST_F(ConversionRunTest, DataFileIsFoundWhateverItsLetterCase) {
    const auto rows = MakeStore({{"Inbox", 1}});
    fs::rename(StoreDir() + "/Inbox.imm", StoreDir() + "/INBOX.IMM");
    UI.Answer = Dir / "out";
    Run.Execute(rows, StoreDir());
    EXPECT_EQ(Run.SavedCount(), 1u);
}

TEST_F(ConversionRunTest, NamesNeverClashAndExistingFilesStayUntouched) {
    // With the clock frozen every message draws its name in the same
    // millisecond; a file already there has the name the first draw gives.
    const auto rows = MakeStore({{"Inbox", 300}});
    fs::create_directories(Dir / "out/Inbox");
    TRandomGenerator probe;
    probe.Randomize(7);
    Random.Randomize(7);
    const std::string taken = OutputFileName(Frozen, probe.Random(1000));
    WriteFile(Dir / "out/Inbox/" + taken, "keep me");
    UI.Answer = Dir / "out";
    Run.Execute(rows, StoreDir());
    const auto files = FilesIn(Dir / "out/Inbox");
    EXPECT_EQ(files.size(), 301u);
    EXPECT_EQ(ReadFile(Dir / "out/Inbox/" + taken), "keep me");
    EXPECT_EQ(Run.SavedCount(), 300u);
    const std::regex form("2005030709040507[0-9]{1,3}\\.eml");
    for (const auto& name : files)
        EXPECT_TRUE(std::regex_match(name, form)) << name;
}

TEST_F(ConversionRunTest, BlocksAreCutToTheDataFile) {
    TStoreWriter store(StoreDir());
    store.AppendData("Inbox", "Subject: x\r\n\r\nbody");
    const auto block = [](std::int32_t offset, std::int32_t length) {
        TIndexRecord record;
        record.Offset = offset;
        record.Length = length;
        return record;
    };
    store.AddRecord("Inbox", block(0, 1000)); // runs past the end
    store.AddRecord("Inbox", block(500, 10)); // starts past the end
    store.AddRecord("Inbox", block(-4, 10));  // negative offset
    store.AddRecord("Inbox", block(0, -1));   // negative length
    store.AddRecord("Inbox", block(0x7fffffff, 0x7fffffff));
    store.Write();
    UI.Answer = Dir / "out";
    Run.Execute({{"Inbox", store.IndexPath("Inbox"), true}}, StoreDir());
    std::vector<std::string> contents;
    for (const auto& name : FilesIn(Dir / "out/Inbox"))
        contents.push_back(ReadFile(Dir / "out/Inbox/" + name));
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"", "", "", "", "Subject: x\r\n\r\nbody\r\n"}));
}

TEST_F(ConversionRunTest, FileTimeIsTheMessageDate) {
    TStoreWriter store(StoreDir());
    store.AddMessage("Inbox",
                     "Subject: dated\r\nDate: Mon, 7 Mar 2005 09:04:05 +0100\r\n\r\nx\r\n");
    store.AddMessage("Inbox", "Subject: undated\r\n\r\nDate: not a header\r\n");
    store.Write();
    UI.Answer = Dir / "out";
    const std::time_t before = std::time(nullptr);
    Run.Execute({{"Inbox", store.IndexPath("Inbox"), true}}, StoreDir());
    std::vector<std::time_t> times;
    for (const auto& name : FilesIn(Dir / "out/Inbox")) {
        struct stat info {};
        ASSERT_EQ(::stat((Dir / "out/Inbox/" + name).c_str(), &info), 0);
        times.push_back(info.st_mtime);
    }
    std::sort(times.begin(), times.end());
    ASSERT_EQ(times.size(), 2u);
    EXPECT_EQ(times[0], 1110182645); // 2005-03-07 08:04:05 UTC
    EXPECT_GE(times[1], before - 1);
}

} // namespace
