#include "platform/ShellNamespace.h"
#include "platform/Exceptions.h"
#include "support/CountingMalloc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace velmora;
using namespace velmora::support;
namespace fs = std::filesystem;

namespace {

struct TFreeList {
    void operator()(std::uint8_t* list) const { SHGetMalloc().Free(list); }
};
using TList = std::unique_ptr<std::uint8_t, TFreeList>;

// A home folder with a Wine prefix inside it, the prefix's C: drive holding
// a message store.
class ShellNamespaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Home = fs::canonical(Temp.Path()).string() + "/home";
        Prefix = Home + "/.wine";
        Store = Prefix + "/drive_c/Program Files/IncrediMail/Identities/{A1}/Message Store";
        for (const char* folder : {"Documents", "apps", "Zeta", ".hidden", ".wine/dosdevices"})
            fs::create_directories(Home + "/" + folder);
        fs::create_directories(Store);
        fs::create_directories(Temp / "elsewhere");
        std::ofstream(Home + "/note.txt") << "not a folder";
        std::ofstream(Store + "/Inbox.imh") << "V#04";
        fs::create_directory_symlink("../elsewhere", Home + "/linked");
        fs::create_directory_symlink("../drive_c", Prefix + "/dosdevices/c:");
        fs::create_directory_symlink("/", Prefix + "/dosdevices/z:");
        fs::create_symlink("/dev/null", Prefix + "/dosdevices/c::"); // a raw device
        fs::create_directory_symlink("../missing", Prefix + "/dosdevices/e:");
    }

    TList Parse(const std::string& path) { return TList(Shell.ParseDisplayName(path)); }

    // The display names of the list's way down from the desktop.
    std::vector<std::string> WayDown(PCItemIDList list) const {
        std::vector<std::string> names;
        std::size_t size = 0;
        while (const std::uint16_t count =
                   static_cast<std::uint16_t>(list[size] | list[size + 1] << 8)) {
            size += count;
            std::vector<std::uint8_t> prefix(list, list + size);
            prefix.insert(prefix.end(), {0, 0});
            names.push_back(Shell.DisplayName(prefix.data()));
        }
        return names;
    }

    static std::vector<std::string> Names(const std::vector<TShellFolderItem>& items) {
        std::vector<std::string> names;
        for (const TShellFolderItem& item : items)
            names.push_back(item.DisplayName);
        return names;
    }

    TTempDir Temp;
    std::string Home, Prefix, Store;
    TShellNamespace Shell{TShellRoots{Temp.Path() + "/home", Temp.Path() + "/home/.wine"}};
};

const std::uint8_t kDesktop[] = {0, 0};

} // namespace

TEST_F(ShellNamespaceTest, DesktopHoldsHomeFileSystemAndTheUsableDrives) {
    const auto children = Shell.SubFolders(kDesktop);
    ASSERT_EQ(Names(children), (std::vector<std::string>{"Home", "File System", "C:", "Z:"}));
    EXPECT_EQ(children[0].FileSystemPath, Home);
    EXPECT_EQ(children[1].FileSystemPath, "/");
    EXPECT_EQ(children[2].FileSystemPath, Prefix + "/drive_c");
    EXPECT_EQ(children[3].FileSystemPath, "/");
    EXPECT_EQ(Shell.DisplayName(kDesktop), "Desktop");
    EXPECT_EQ(Shell.FileSystemPath(kDesktop), "");
}

TEST_F(ShellNamespaceTest, SubFoldersAreVisibleDirectoriesSortedWithoutCase) {
    const TList home = Parse(Home);
    const auto children = Shell.SubFolders(home.get());
    // The hidden folder, the prefix and the file are left out; the link to a
    // directory counts as one.
    EXPECT_EQ(Names(children), (std::vector<std::string>{"apps", "Documents", "linked", "Zeta"}));
    EXPECT_EQ(children[1].FileSystemPath, Home + "/Documents");
    // Each child's list names the child: it parses back to the same item.
    const TList documents = Parse(Home + "/Documents");
    EXPECT_EQ(Shell.CompareIDs(0, children[1].IdList.data(), documents.get()), 0);
    EXPECT_EQ(Shell.DisplayName(children[1].IdList.data()), "Documents");
}

TEST_F(ShellNamespaceTest, StoreInsidePrefixIsReachedThroughItsDrive) {
    const TList posix = Parse(Store);
    const TList windows = Parse("c:\\program files\\INCREDIMAIL\\Identities\\{a1}\\Message Store");
    EXPECT_EQ(WayDown(posix.get()),
              (std::vector<std::string>{"C:", "Program Files", "IncrediMail", "Identities", "{A1}",
                                        "Message Store"}));
    EXPECT_EQ(Shell.CompareIDs(0, posix.get(), windows.get()), 0);
    EXPECT_EQ(Shell.FileSystemPath(windows.get()), Store);
    // Through the drive's link the path reaches the same item.
    const TList viaLink = Parse(Prefix + "/dosdevices/c:/Program Files");
    EXPECT_EQ(WayDown(viaLink.get()), (std::vector<std::string>{"C:", "Program Files"}));
    EXPECT_EQ(Shell.LocalPath("C:\\PROGRAM FILES\\IncrediMail\\Identities\\\\Message Store"),
              Prefix + "/drive_c/Program Files/IncrediMail/Identities/Message Store");
}

TEST_F(ShellNamespaceTest, PathsGoThroughTheClosestDesktopChild) {
    EXPECT_EQ(WayDown(Parse(Home + "/Documents/").get()),
              (std::vector<std::string>{"Home", "Documents"}));
    EXPECT_EQ(WayDown(Parse(Home).get()), (std::vector<std::string>{"Home"}));
    EXPECT_EQ(WayDown(Parse("/").get()), (std::vector<std::string>{"File System"}));
    // The link is followed to where it leads, outside home.
    const auto linked = WayDown(Parse(Home + "/linked").get());
    ASSERT_FALSE(linked.empty());
    EXPECT_EQ(linked.front(), "File System");
    EXPECT_EQ(linked.back(), "elsewhere");
    EXPECT_EQ(Shell.FileSystemPath(Parse(Home + "/./Documents").get()), Home + "/Documents");
    EXPECT_EQ(Shell.FileSystemPath(Parse("/").get()), "/");
    EXPECT_EQ(Shell.DisplayName(Parse("C:\\").get()), "C:");
}

TEST_F(ShellNamespaceTest, FileParsesButIsNoSubFolder) {
    const TList file = Parse(Store + "/inbox.IMH");
    EXPECT_EQ(Shell.FileSystemPath(file.get()), Store + "/Inbox.imh");
    EXPECT_TRUE(Shell.SubFolders(Parse(Store).get()).empty());
}

TEST_F(ShellNamespaceTest, PathsThatNameNothingRaise) {
    for (const std::string& path :
         {Home + "/absent", std::string("\\Identities\\\\Message Store"), std::string(""),
          std::string("relative/path"), std::string("Q:\\Mail"), std::string("E:\\"),
          std::string("C:\\Program Files\\Absent"), std::string("C:Program Files")}) {
        TCountingMalloc allocator;
        EXPECT_THROW(Shell.ParseDisplayName(path), Exception) << path;
        EXPECT_EQ(allocator.Live(), 0u) << path;
    }
}

TEST_F(ShellNamespaceTest, CompareIsZeroOnlyForTheSameItem) {
    const TList documents = Parse(Home + "/Documents");
    const TList again = Parse(Home + "//Documents");
    const TList home = Parse(Home);
    const TList apps = Parse(Home + "/apps");
    EXPECT_EQ(Shell.CompareIDs(0, documents.get(), again.get()), 0);
    EXPECT_NE(Shell.CompareIDs(0, documents.get(), home.get()), 0);
    EXPECT_NE(Shell.CompareIDs(0, home.get(), documents.get()), 0);
    EXPECT_NE(Shell.CompareIDs(0, documents.get(), apps.get()), 0);
    EXPECT_NE(Shell.CompareIDs(0, kDesktop, home.get()), 0);
    EXPECT_EQ(Shell.CompareIDs(0, kDesktop, kDesktop), 0);
    // "/" reached as the file system and as drive Z: are two items.
    EXPECT_NE(Shell.CompareIDs(0, Parse("/").get(), Parse("Z:\\").get()), 0);
}

TEST_F(ShellNamespaceTest, ParsedListComesFromTheShellAllocator) {
    TCountingMalloc allocator;
    {
        const TList list = Parse(Home + "/apps");
        EXPECT_EQ(allocator.AllocCalls(), 1);
        EXPECT_EQ(allocator.Live(), 1u);
    }
    EXPECT_EQ(allocator.Live(), 0u);
    EXPECT_EQ(allocator.ForeignFrees(), 0);
}

TEST_F(ShellNamespaceTest, RefusedAllocationRaisesOutOfMemory) {
    TCountingMalloc allocator(1);
    EXPECT_THROW(Shell.ParseDisplayName(Home), std::bad_alloc);
    EXPECT_EQ(allocator.Live(), 0u);
}

TEST_F(ShellNamespaceTest, WithoutPrefixThereAreNoDrives) {
    TShellNamespace bare(TShellRoots{Home, ""});
    EXPECT_EQ(Names(bare.SubFolders(kDesktop)), (std::vector<std::string>{"Home", "File System"}));
    EXPECT_THROW(bare.ParseDisplayName("C:\\"), Exception);
    EXPECT_EQ(bare.LocalPath("C:\\Mail"), "");
    EXPECT_EQ(bare.LocalPath("/tmp/x"), "/tmp/x");
    // Without the drive the store is reached through the hidden prefix.
    EXPECT_EQ(WayDown(TList(bare.ParseDisplayName(Store)).get()).at(1), ".wine");
}

TEST(ShellRoots, ComeFromTheEnvironment) {
    const char* oldHome = std::getenv("HOME");
    const char* oldPrefix = std::getenv("WINEPREFIX");
    const std::string savedHome = oldHome ? oldHome : "";
    const std::string savedPrefix = oldPrefix ? oldPrefix : "";
    ::setenv("HOME", "/home/someone", 1);
    ::unsetenv("WINEPREFIX");
    const TShellRoots defaults = TShellRoots::FromEnvironment();
    ::setenv("WINEPREFIX", "/opt/prefix", 1);
    const TShellRoots chosen = TShellRoots::FromEnvironment();
    oldHome ? ::setenv("HOME", savedHome.c_str(), 1) : ::unsetenv("HOME");
    oldPrefix ? ::setenv("WINEPREFIX", savedPrefix.c_str(), 1) : ::unsetenv("WINEPREFIX");
    EXPECT_EQ(defaults.Home, "/home/someone");
    EXPECT_EQ(defaults.WinePrefix, "/home/someone/.wine");
    EXPECT_EQ(chosen.WinePrefix, "/opt/prefix");
}
