#include "platform/Exceptions.h"
#include "store/MessageStoreLocator.h"
#include "support/RunProgram.h"
#include "support/StoreWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmora;
using namespace velmora::support;
namespace fs = std::filesystem;

namespace {

struct TJoinCase {
    const char* ApplicationPath;
    const char* Identity;
    const char* Expected;
};

class JoinStorePath : public ::testing::TestWithParam<TJoinCase> {};

std::string SystemReg(const std::string& body, bool win64 = true) {
    return std::string("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n") +
           (win64 ? "#arch=win64\n\n" : "\n") + body;
}

struct TReadCase {
    const char* Name;
    std::string Registry;
    const char* Expected;
};

class ReadStorePath : public ::testing::TestWithParam<TReadCase> {};

const char* const kWow = "[Software\\\\Wow6432Node\\\\IncrediMail] 1700000000\n";
const char* const kWowIdentities =
    "[Software\\\\Wow6432Node\\\\IncrediMail\\\\Identities] 1700000000\n";

} // namespace

TEST_P(JoinStorePath, JoinsThePartsAsTheyStand) {
    EXPECT_EQ(JoinMessageStorePath(GetParam().ApplicationPath, GetParam().Identity),
              GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, JoinStorePath,
    ::testing::Values(TJoinCase{"C:\\Mail", "Main", "C:\\Mail\\Identities\\Main\\Message Store"},
                      TJoinCase{"C:\\Mail\\", "Main",
                                "C:\\Mail\\\\Identities\\Main\\Message Store"},
                      TJoinCase{"C:\\Mail", "", "C:\\Mail\\Identities\\\\Message Store"},
                      TJoinCase{"", "", "\\Identities\\\\Message Store"}));

TEST_P(ReadStorePath, ThroughTheRegistryReader) {
    TTempDir prefix;
    WriteFile(prefix / "system.reg", GetParam().Registry);
    TRegIniFile registry(prefix.Path());
    EXPECT_EQ(ReadMessageStorePath(registry), GetParam().Expected);
    EXPECT_FALSE(registry.HasOpenKey());
}

INSTANTIATE_TEST_SUITE_P(
    Registries, ReadStorePath,
    ::testing::Values(
        TReadCase{"ThirtyTwoBitView",
                  SystemReg(std::string("[Software\\\\IncrediMail] 1\n\"ApplicationPath\"=\"C:\\\\"
                                        "Wrong\"\n\n") +
                            kWow +
                            "\"ApplicationPath\"=\"C:\\\\Program Files\\\\IncrediMail\"\n\n" +
                            kWowIdentities + "@=\"{A1}\"\n"),
                  "C:\\Program Files\\IncrediMail\\Identities\\{A1}\\Message Store"},
        TReadCase{
            "PlainKeyOfA32BitPrefix",
            SystemReg("[Software\\\\IncrediMail] 1\n\"ApplicationPath\"=\"C:\\\\Mail\\\\\"\n\n"
                      "[Software\\\\IncrediMail\\\\Identities] 1\n@=\"Main\"\n",
                      false),
            "C:\\Mail\\\\Identities\\Main\\Message Store"},
        TReadCase{"ExpandableStaysUnexpanded",
                  SystemReg(std::string(kWow) +
                            "\"ApplicationPath\"=str(2):\"%ProgramFiles%\\\\IncrediMail\"\n"),
                  "%ProgramFiles%\\IncrediMail\\Identities\\\\Message Store"},
        TReadCase{"MissingKeyReadsRelativeToTheRoot", SystemReg("[System] 1\n\"x\"=\"y\"\n"),
                  "\\Identities\\\\Message Store"},
        TReadCase{"NoRegistryFile", std::string(), "\\Identities\\\\Message Store"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MessageStoreLocator, NumberForTheApplicationPathRaises) {
    TTempDir prefix;
    WriteFile(prefix / "system.reg",
              SystemReg(std::string(kWow) + "\"ApplicationPath\"=dword:00000010\n"));
    TRegIniFile registry(prefix.Path());
    try {
        ReadMessageStorePath(registry);
        ADD_FAILURE() << "no error";
    } catch (const ERegistryException& failure) {
        EXPECT_STREQ(failure.what(), "Invalid data type for 'ApplicationPath'");
    }
    EXPECT_FALSE(registry.HasOpenKey());
}

TEST(MessageStoreLocator, StorePathMapsThroughThePrefixsDrive) {
    TTempDir temp;
    const std::string prefix = fs::canonical(temp.Path()).string();
    fs::create_directories(prefix + "/drive_c/Mail/Identities/Main/Message Store");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    const TShellNamespace shell(TShellRoots{prefix, prefix});
    EXPECT_EQ(LocalStorePath("c:\\mail\\Identities\\MAIN\\Message Store", shell),
              prefix + "/drive_c/Mail/Identities/Main/Message Store");
    EXPECT_EQ(LocalStorePath("D:\\Mail", shell), "D:\\Mail");
    EXPECT_EQ(LocalStorePath("\\Identities\\\\Message Store", shell),
              "\\Identities\\\\Message Store");
}

namespace {

// velmora-cli without --store, run on a prefix of its own.
class CliStoreLookup : public ::testing::Test {
protected:
    void SetUp() override {
        Prefix = fs::canonical(Temp.Path()).string() + "/prefix";
        fs::create_directories(Prefix + "/dosdevices");
        fs::create_directory_symlink("../drive_c", Prefix + "/dosdevices/c:");
    }
    TProgramResult Cli(const std::vector<std::string>& args) {
        std::vector<std::string> command = {"HOME=" + Temp.Path(), "WINEPREFIX=" + Prefix,
                                            VELMORA_CLI};
        command.insert(command.end(), args.begin(), args.end());
        return RunProgram("env", command);
    }
    TTempDir Temp;
    std::string Prefix;
};

} // namespace

TEST_F(CliStoreLookup, ListsTheStoreTheRegistryNames) {
    const std::string store = Prefix + "/drive_c/IM/Identities/{A1}/Message Store";
    {
        TStoreWriter writer(store);
        writer.AddMessage("Inbox", "Subject: hi\r\n\r\nbody\r\n");
    }
    WriteFile(Prefix + "/system.reg",
              SystemReg(std::string(kWow) + "\"ApplicationPath\"=\"C:\\\\IM\"\n\n" +
                        kWowIdentities + "@=\"{A1}\"\n"));
    const TProgramResult result = Cli({"--list"});
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "[x] Inbox\t1\t" + store + "/Inbox.imh\n");
}

TEST_F(CliStoreLookup, SaysSoWhenTheRegistryNamesNoStore) {
    const TProgramResult result = Cli({Temp / "out"});
    EXPECT_EQ(result.Status, 2);
    EXPECT_EQ(result.Err, "velmora-cli: no store folder at \\Identities\\\\Message Store\n");
    EXPECT_FALSE(fs::exists(Temp / "out"));
}

TEST_F(CliStoreLookup, RegistryErrorEndsTheRun) {
    WriteFile(Prefix + "/system.reg",
              SystemReg(std::string(kWow) + "\"ApplicationPath\"=dword:00000001\n"));
    const TProgramResult result = Cli({"--list"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err, "velmora-cli: Invalid data type for 'ApplicationPath'\n");
}
