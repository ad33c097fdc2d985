#include "cli/JsonText.h"
#include "cli/Sha256.h"
#include "support/RunProgram.h"
#include "support/StoreWriter.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

using namespace velmora;
using namespace velmora::support;
namespace fs = std::filesystem;

namespace {

TProgramResult Cli(const std::vector<std::string>& args, const std::string& folder = {}) {
    return RunProgram(VELMORA_CLI, args, folder);
}

class CliTest : public ::testing::Test {
protected:
    TTempDir Dir;
    std::string Store = Dir / "store";

    void SetUp() override {
        TStoreWriter store(Store);
        for (int i = 0; i < 3; ++i)
            store.AddMessage("Inbox", "Subject: in " + std::to_string(i) + "\r\n\r\nhello\r\n");
        store.AddMessage("Sent Items", "Subject: sent\r\n\r\nbye\r\n");
        store.AddMessage("Deleted Items", "Subject: junk\r\n\r\nspam\r\n");
    }

    std::size_t FileCount(const std::string& folder) const {
        return fs::exists(folder) ? FilesIn(folder).size() : 0;
    }
};

TEST_F(CliTest, ConvertsTheDefaultFoldersAndPrintsTheSummary) {
    fs::create_directory(Dir / "work");
    const auto result = Cli({"--store", Store, "exports/mail"}, Dir / "work");
    EXPECT_EQ(result.Status, 0) << result.Err;
    const std::string out = Dir / "work/exports/mail";
    EXPECT_EQ(result.Out, "4 messages saved to:\n" + out + "\n");
    EXPECT_EQ(result.Err, ""); // stderr is no terminal: no progress
    EXPECT_EQ(FileCount(out + "/Inbox"), 3u);
    EXPECT_EQ(FileCount(out + "/Sent Items"), 1u);
    EXPECT_FALSE(fs::exists(out + "/Deleted Items"));
    EXPECT_EQ(ReadFile(out + "/Sent Items/" + FilesIn(out + "/Sent Items")[0]),
              "Subject: sent\r\n\r\nbye\r\n");
}

TEST_F(CliTest, ChoosesFolders) {
    auto result = Cli({"--store", Store, "--all", Dir / "all"});
    EXPECT_EQ(result.Status, 0);
    EXPECT_EQ(FileCount(Dir / "all/Deleted Items"), 1u);
    result = Cli(
        {"--store", Store, "--folder", "Deleted Items", "--folder", "Sent Items", Dir / "some"});
    EXPECT_EQ(result.Status, 0);
    EXPECT_EQ(FileCount(Dir / "some/Deleted Items"), 1u);
    EXPECT_EQ(FileCount(Dir / "some/Sent Items"), 1u);
    EXPECT_FALSE(fs::exists(Dir / "some/Inbox"));
}

TEST_F(CliTest, ListsFoldersWithTheirRecordCounts) {
    const auto result = Cli({"--list", "--store", Store + "/"});
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "[ ] Deleted Items\t1\t" + Store + "/Deleted Items.imh\n" +
                              "[x] Inbox\t3\t" + Store + "/Inbox.imh\n" + "[x] Sent Items\t1\t" +
                              Store + "/Sent Items.imh\n");
    EXPECT_FALSE(fs::exists(Dir / "out"));
}

struct TUsageCase {
    const char* Name;
    std::vector<std::string> Args;
};

class CliUsage : public ::testing::TestWithParam<TUsageCase> {};

TEST_P(CliUsage, IsRefusedWithStatus2AndTheUsage) {
    TTempDir dir;
    TStoreWriter(dir / "store").AddFolder("Inbox");
    std::vector<std::string> args;
    for (const auto& arg : GetParam().Args)
        args.push_back(arg == "STORE" ? dir / "store" : arg);
    const auto result = Cli(args, dir.Path());
    EXPECT_EQ(result.Status, 2);
    EXPECT_NE(result.Err.find("usage: velmora-cli"), std::string::npos) << result.Err;
    EXPECT_EQ(result.Out, "");
    EXPECT_FALSE(fs::exists(dir / "out"));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CliUsage,
    ::testing::Values(TUsageCase{"NoArguments", {}},
                      TUsageCase{"UnknownOption", {"--store", "STORE", "--fast", "out"}},
                      TUsageCase{"UnknownFolder", {"--store", "STORE", "--folder", "Nope", "out"}},
                      TUsageCase{"TwoOutputs", {"--store", "STORE", "out", "out2"}},
                      TUsageCase{"StoreWithoutValue", {"out", "--store"}},
                      TUsageCase{"ListWithOutput", {"--list", "--store", "STORE", "out"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CliHelp, PrintsTheUsage) {
    const auto result = Cli({"--help"});
    EXPECT_EQ(result.Status, 0);
    EXPECT_EQ(result.Out.rfind("usage: velmora-cli", 0), 0u);
}

TEST_F(CliTest, MissingStoreFolderIsSaid) {
    const auto result = Cli({"--store", Dir / "nothing", Dir / "out"});
    EXPECT_EQ(result.Status, 2);
    EXPECT_EQ(result.Err, "velmora-cli: no store folder at " + (Dir / "nothing") + "\n");
}

TEST_F(CliTest, FailureEndsTheRunWithTheSummaryThenTheError) {
    fs::remove(Store + "/Sent Items.imm");
    const auto result = Cli({"--store", Store, Dir / "out"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Out, "3 messages saved to:\n" + (Dir / "out") + "\n");
    EXPECT_EQ(result.Err, "velmora-cli: Cannot open file " + Store + "/Sent Items.imm.\n");
}

TEST_F(CliTest, KeepGoingSkipsFailedMessagesAndReportsEveryRecord) {
    {
        // A second Inbox record whose block lies outside the data file still
        // saves (as an empty file); a folder whose data file is gone fails.
        TStoreWriter more(Dir / "store");
        more.AddFolder("Broken");
        TIndexRecord record;
        record.Offset = 0;
        record.Length = 10;
        more.AddRecord("Broken", record);
        more.AddRecord("Broken", record);
    }
    fs::remove(Store + "/Broken.imm");
    const auto result =
        Cli({"--store", Store, "--keep-going", "--report", Dir / "report.jsonl", Dir / "out"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Out, "4 messages saved to:\n" + (Dir / "out") + "\n");
    const std::string error = "Cannot open file " + Store + "/Broken.imm.";
    EXPECT_EQ(result.Err, "velmora-cli: Broken, record 0: " + error + "\n" +
                              "velmora-cli: Broken, record 1: " + error + "\n" +
                              "velmora-cli: 2 messages failed\n");
    EXPECT_EQ(FileCount(Dir / "out/Inbox"), 3u);

    std::istringstream report(ReadFile(Dir / "report.jsonl"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(report, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "{\"folder\":\"Broken\",\"record\":0,\"offset\":0,\"length\":10,"
                        "\"output\":null,\"bytes\":0,\"sha256\":null,\"error\":" +
                            cli::JsonString(error) + "}");
    // Each saved record names its file, its size and its digest.
    const std::regex saved("\\{\"folder\":\"Inbox\",\"record\":([0-9]),\"offset\":[0-9]+,"
                           "\"length\":[0-9]+,\"output\":\"([^\"]+)\",\"bytes\":([0-9]+),"
                           "\"sha256\":\"([0-9a-f]{64})\",\"error\":null\\}");
    for (int i = 0; i < 3; ++i) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(lines[2 + i], match, saved)) << lines[2 + i];
        EXPECT_EQ(match[1], std::to_string(i));
        const std::string content = ReadFile(match[2]);
        EXPECT_EQ(std::to_string(content.size()), match[3]);
        cli::TSha256 hash;
        hash.Update(content);
        EXPECT_EQ(hash.HexDigest(), match[4]);
    }
}

TEST(Sha256, KnownDigests) {
    const auto digest = [](const std::string& text) {
        cli::TSha256 hash;
        hash.Update(text);
        return hash.HexDigest();
    };
    EXPECT_EQ(digest(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(digest("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    cli::TSha256 split;
    const std::string million(1000000, 'a');
    split.Update(std::string_view(million).substr(0, 63));
    split.Update(std::string_view(million).substr(63));
    EXPECT_EQ(split.HexDigest(),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(JsonText, EscapesControlsAndInvalidBytesButKeepsUtf8) {
    EXPECT_EQ(cli::JsonString("a\"b\\c\n"), "\"a\\\"b\\\\c\\u000a\"");
    EXPECT_EQ(cli::JsonString("caf\xc3\xa9"), "\"caf\xc3\xa9\"");
    EXPECT_EQ(cli::JsonString("caf\xe9"), "\"caf\\u00e9\"");
}

} // namespace
