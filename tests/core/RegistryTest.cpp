#include "platform/Registry.h"
#include "platform/Exceptions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace velmora;
using namespace velmora::support;
namespace fs = std::filesystem;

namespace {

// A 64-bit prefix's machine registry: the program's key in both views, the
// 32-bit one holding every form of value.
const char* const kSystemReg = R"reg(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\IncrediMail] 1700000000
#time=1da0b7b0e3f1a2c
"ApplicationPath"="C:\\Plain"

[Software\\Wow6432Node\\IncrediMail] 1700000000
#time=1da0b7b0e3f1a2c
"ApplicationPath"="C:\\Program Files\\IncrediMail"
"Expand"=str(2):"%ProgramFiles%\\IncrediMail"
"Number"=dword:0000000a
"Binary"=hex:01,02
"EmptyBinary"=hex:
"EmptyNone"=hex(0):
"Multi"=str(7):"a\0b\0"
"Escapes"="q\"b\\s\x41\x00e9\tz\101"
"Nul"="before\0after"
"Wide"=hex(1):41,00,42,00,00,00,43,00
"Long"=hex(2):25,00,41,00,25,00,5c,00,4c,00,6f,00,6e,00,67,00,20,00,50,00,61,00,\
  74,00,68,00,00,00
"Quote\"d Name"="q"

[Software\\Wow6432Node\\IncrediMail\\Identities] 1700000000
#time=1da0b7b0e3f1a2c
@="{A1}"

[Software\\OnlyPlain\\Sub] 1700000000
@="plain"
)reg";

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(Prefix.Path() + "/system.reg", kSystemReg); }
    TTempDir Prefix;
};

struct TStringCase {
    const char* Ident;
    std::string Expected;
};

class RegistryStrings : public RegistryTest, public ::testing::WithParamInterface<TStringCase> {};

} // namespace

TEST_P(RegistryStrings, ReadFromThe32BitView) {
    TRegIniFile registry(Prefix.Path());
    ASSERT_TRUE(registry.OpenKey("SOFTWARE\\IncrediMail"));
    EXPECT_EQ(registry.ReadString("", GetParam().Ident, "default"), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryStrings,
    ::testing::Values(TStringCase{"ApplicationPath", "C:\\Program Files\\IncrediMail"},
                      TStringCase{"applicationpath", "C:\\Program Files\\IncrediMail"},
                      TStringCase{"Expand", "%ProgramFiles%\\IncrediMail"},
                      TStringCase{"Escapes", "q\"b\\sA\xC3\xA9\tzA"}, TStringCase{"Nul", "before"},
                      TStringCase{"Wide", "AB"}, TStringCase{"Long", "%A%\\Long Path"},
                      TStringCase{"EmptyBinary", ""}, TStringCase{"EmptyNone", ""},
                      TStringCase{"QUOTE\"D NAME", "q"}, TStringCase{"Absent", "default"}));

TEST_F(RegistryTest, OtherTypesWithDataRaiseNamingTheValue) {
    TRegIniFile registry(Prefix.Path());
    ASSERT_TRUE(registry.OpenKey("Software\\IncrediMail"));
    for (const char* ident : {"Number", "Binary", "Multi"}) {
        try {
            registry.ReadString("", ident, "");
            ADD_FAILURE() << ident << " read as a string";
        } catch (const ERegistryException& failure) {
            EXPECT_EQ(std::string(failure.what()),
                      std::string("Invalid data type for '") + ident + "'");
        }
    }
}

TEST_F(RegistryTest, SubkeysAreReadRelativeToTheOpenKey) {
    TRegIniFile registry(Prefix.Path());
    ASSERT_TRUE(registry.OpenKey("Software\\IncrediMail"));
    EXPECT_EQ(registry.CurrentPath(), "software\\wow6432node\\incredimail");
    EXPECT_EQ(registry.ReadString("Identities", "", ""), "{A1}");
    EXPECT_EQ(registry.ReadString("identities", "", ""), "{A1}");
    EXPECT_EQ(registry.ReadString("Missing", "", "none"), "none");
    ASSERT_TRUE(registry.OpenKey("Identities"));
    EXPECT_EQ(registry.ReadString("", "", ""), "{A1}");
    registry.CloseKey();
    EXPECT_FALSE(registry.HasOpenKey());
}

TEST_F(RegistryTest, PlainKeyServesWhereThe32BitViewHasNone) {
    TRegIniFile registry(Prefix.Path());
    // Software\OnlyPlain has no section of its own, only one below it.
    ASSERT_TRUE(registry.OpenKey("software\\onlyplain"));
    EXPECT_EQ(registry.ReadString("Sub", "", ""), "plain");
}

TEST_F(RegistryTest, ThirtyTwoBitPrefixHasOneView) {
    // The same file without the 64-bit mark, with CR LF line ends.
    std::string text = kSystemReg;
    text.replace(text.find("#arch=win64"), 11, "#arch=win32");
    std::string crlf;
    for (const char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteFile(Prefix.Path() + "/system.reg", crlf);
    TRegIniFile registry(Prefix.Path());
    ASSERT_TRUE(registry.OpenKey("SOFTWARE\\IncrediMail"));
    EXPECT_EQ(registry.ReadString("", "ApplicationPath", ""), "C:\\Plain");
    EXPECT_EQ(registry.ReadString("Identities", "", "none"), "none");
}

TEST_F(RegistryTest, MissingKeyLeavesReadsRelativeToTheRoot) {
    WriteFile(Prefix.Path() + "/system.reg", "WINE REGISTRY Version 2\n\n"
                                             "[Identities] 1700000000\n@=\"at the root\"\n");
    TRegIniFile registry(Prefix.Path());
    EXPECT_FALSE(registry.OpenKey("SOFTWARE\\IncrediMail"));
    EXPECT_FALSE(registry.HasOpenKey());
    EXPECT_EQ(registry.ReadString("", "ApplicationPath", ""), "");
    EXPECT_EQ(registry.ReadString("Identities", "", ""), "at the root");
}

TEST_F(RegistryTest, MissingOrForeignFileIsAnEmptyRegistry) {
    for (const std::string& content : {std::string(), std::string("REGEDIT4\n\n[Software]\n")}) {
        fs::remove(Prefix.Path() + "/system.reg");
        if (!content.empty())
            WriteFile(Prefix.Path() + "/system.reg", content);
        TRegIniFile registry(Prefix.Path());
        EXPECT_FALSE(registry.OpenKey("Software"));
        EXPECT_EQ(registry.ReadString("Identities", "", "d"), "d");
    }
    // A prefix that is no folder at all reads the same.
    TRegIniFile nowhere(Prefix.Path() + "/absent");
    EXPECT_FALSE(nowhere.OpenKey("Software\\IncrediMail"));
}

TEST_F(RegistryTest, NothingIsWritten) {
    const std::string file = Prefix.Path() + "/system.reg";
    const auto stamp = fs::last_write_time(file);
    {
        TRegIniFile registry(Prefix.Path());
        EXPECT_FALSE(registry.OpenKey("Software\\Created"));
        registry.ReadString("Software\\Created\\Sub", "Value", "");
        registry.CloseKey();
    }
    EXPECT_EQ(ReadAll(file), kSystemReg);
    EXPECT_EQ(fs::last_write_time(file), stamp);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Prefix.Path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
}
