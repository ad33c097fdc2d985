#include "platform/Exceptions.h"
#include "store/ItemIdList.h"
#include "store/TreeNavigation.h"
#include "support/CountingMalloc.h"
#include "support/IdLists.h"
#include "support/InMemoryTree.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>

using namespace velmora;
using namespace velmora::support;
namespace fs = std::filesystem;

namespace {

using TNode = IShellTree::TNode;

std::string Letters(PCItemIDList list) {
    std::string letters;
    for (; list[0] != 0; list = NextId(list))
        letters += static_cast<char>(list[2]);
    return letters;
}

// A shell over one-letter lists: paths parse through a table, lists compare
// by their bytes.
class TLetterShell final : public IShellFolder {
public:
    std::map<std::string, std::string> Paths;

    PItemIDList ParseDisplayName(const std::string& path) override {
        const auto found = Paths.find(path);
        if (found == Paths.end())
            throw Exception("no such path: " + path);
        const TBytes bytes = Items(found->second);
        PItemIDList list = ShellAlloc(bytes.size());
        if (list == nullptr)
            throw std::bad_alloc();
        std::memcpy(list, bytes.data(), bytes.size());
        return list;
    }
    int CompareIDs(long param, PCItemIDList first, PCItemIDList second) override {
        EXPECT_EQ(param, 0);
        return Letters(first) == Letters(second) ? 0 : 1;
    }
};

// Desktop > A > (X > Y, Z), B > W, built by hand.
class FindNodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Desktop = Tree.AddRoot(Items(""));
        A = Tree.AddChild(Desktop, Items("a"), "A");
        X = Tree.AddChild(A, Items("ax"), "X");
        Y = Tree.AddChild(X, Items("axy"), "Y");
        Z = Tree.AddChild(A, Items("az"), "Z");
        B = Tree.AddChild(Desktop, Items("b"), "B");
        W = Tree.AddChild(B, Items("bw"), "W");
    }
    TNode Find(const std::string& target, TNode start) {
        Tree.ClearLogs();
        return FindNodeByPidl(Tree, Shell, Items(target).data(), start);
    }

    TInMemoryTree Tree;
    TLetterShell Shell;
    TNode Desktop{}, A{}, X{}, Y{}, Z{}, B{}, W{};
};

// Folders as a shell would list them; "h" (hidden) has no entry in its
// parent's list, so it never gets a node.
const std::map<std::string, std::vector<std::string>> kFolders = {
    {"", {"a", "b"}}, {"a", {"ac", "ad"}}, {"ad", {"ade"}}, {"b", {"bf"}}, {"ah", {"ahc"}},
};

std::vector<TShellFolderItem> ListFolder(PCItemIDList folder) {
    std::vector<TShellFolderItem> items;
    const auto found = kFolders.find(Letters(folder));
    if (found != kFolders.end())
        for (const std::string& child : found->second)
            items.push_back({Items(child), std::string(1, child.back()), {}});
    return items;
}

// A tree filled on expansion, its root selected, as the window starts.
class ExpandTest : public ::testing::Test {
protected:
    void SetUp() override {
        Desktop = Tree.AddRoot(Items(""));
        Tree.Select(Desktop);
        Tree.ClearLogs();
        Shell.Paths = {{"/ade", "ade"}, {"/hidden", "ahct"}, {"/desktop", ""}};
    }
    std::vector<std::string> ExpandedNames() const {
        std::vector<std::string> names;
        for (TNode node : Tree.ExpandLog())
            names.push_back(Tree.Name(node));
        return names;
    }

    TInMemoryTree Tree{ListFolder};
    TLetterShell Shell;
    TNode Desktop{};
};

class FailingAllocationDuringNavigation : public ExpandTest,
                                          public ::testing::WithParamInterface<int> {};

} // namespace

TEST_F(FindNodeTest, ComparesStartThenItsDescendantsInPreOrder) {
    EXPECT_EQ(Find("q", Desktop), nullptr);
    EXPECT_EQ(Tree.Visited(), (std::vector<TNode>{Desktop, A, X, Y, Z, B, W}));
    EXPECT_EQ(Find("axy", Desktop), Y);
    EXPECT_EQ(Tree.Visited(), (std::vector<TNode>{Desktop, A, X, Y}));
}

TEST_F(FindNodeTest, MatchingStartIsTheAnswerWithoutLookingFurther) {
    EXPECT_EQ(Find("a", A), A);
    EXPECT_EQ(Tree.Visited(), (std::vector<TNode>{A}));
}

TEST_F(FindNodeTest, SearchNeverLeavesTheStartsSubtree) {
    // B is A's later sibling, Z is X's.
    EXPECT_EQ(Find("b", A), nullptr);
    EXPECT_EQ(Tree.Visited(), (std::vector<TNode>{A, X, Y, Z}));
    EXPECT_EQ(Find("az", X), nullptr);
    EXPECT_EQ(Tree.Visited(), (std::vector<TNode>{X, Y}));
    EXPECT_EQ(Find("bw", W), W);
    EXPECT_EQ(Find("a", nullptr), nullptr);
}

TEST_F(ExpandTest, ExpandsOnlyTheWayAndSelectsTheTarget) {
    TCountingMalloc allocator;
    ExpandToPidl(Tree, Shell, Items("ade").data());
    ASSERT_NE(Tree.Selected(), nullptr);
    EXPECT_EQ(Tree.WayDown(Tree.Selected()), (std::vector<std::string>{"Desktop", "a", "d", "e"}));
    EXPECT_EQ(ExpandedNames(), (std::vector<std::string>{"Desktop", "a", "d"}));
    EXPECT_FALSE(Tree.IsExpanded(Tree.Child(Desktop, "b")));
    // One change, raised inside the update bracket, which is closed after.
    EXPECT_EQ(Tree.ChangeDepths(), std::vector<int>{1});
    EXPECT_EQ(Tree.Updates(), 1);
    EXPECT_EQ(Tree.UpdateDepth(), 0);
    EXPECT_EQ(allocator.Live(), 0u);
}

TEST_F(ExpandTest, MissingAncestorIsSkippedAndTheSelectionCleared) {
    // Desktop > a > h (no node) > c > target.
    ExpandToPidl(Tree, Shell, Items("ahct").data());
    EXPECT_EQ(ExpandedNames(), (std::vector<std::string>{"Desktop", "a"}));
    EXPECT_TRUE(Tree.IsExpanded(Tree.Child(Desktop, "a")));
    EXPECT_EQ(Tree.Selected(), nullptr);
    EXPECT_EQ(Tree.ChangeDepths(), std::vector<int>{1});
    EXPECT_EQ(Tree.UpdateDepth(), 0);
}

TEST_F(ExpandTest, AlreadySelectedTargetRaisesNoChange) {
    ExpandToPidl(Tree, Shell, Items("ade").data());
    const TNode target = Tree.Selected();
    Tree.ClearLogs();
    ExpandToPidl(Tree, Shell, Items("ade").data());
    EXPECT_EQ(Tree.Selected(), target);
    EXPECT_EQ(Tree.Changes(), 0);
}

TEST_F(ExpandTest, DesktopTargetSelectsTheFirstNode) {
    Tree.Select(nullptr);
    Tree.ClearLogs();
    ExpandToPidl(Tree, Shell, Items("").data());
    EXPECT_EQ(Tree.Selected(), Desktop);
    EXPECT_TRUE(Tree.ExpandLog().empty());
    EXPECT_EQ(Tree.Changes(), 1);
}

TEST(ExpandToPidl, TreeWithoutNodesRaisesAndReleasesEverything) {
    TCountingMalloc allocator;
    TInMemoryTree empty;
    TLetterShell shell;
    EXPECT_THROW(ExpandToPidl(empty, shell, Items("ab").data()), Exception);
    EXPECT_EQ(empty.UpdateDepth(), 0);
    EXPECT_EQ(empty.Updates(), 1);
    EXPECT_EQ(allocator.Live(), 0u);
    EXPECT_NO_THROW(SelectFolderByPath(empty, shell, "/anything"));
}

TEST_F(ExpandTest, PathThatDoesNotParseLeavesTheTreeUntouched) {
    SelectFolderByPath(Tree, Shell, "/nowhere");
    EXPECT_EQ(Tree.Updates(), 0);
    EXPECT_EQ(Tree.Selected(), Desktop);
    EXPECT_TRUE(Tree.ExpandLog().empty());
    EXPECT_TRUE(Tree.Visited().empty());
}

TEST_F(ExpandTest, SelectFolderByPathOpensTheTreeAndFreesTheParsedList) {
    TCountingMalloc allocator;
    SelectFolderByPath(Tree, Shell, "/ade");
    EXPECT_EQ(Tree.WayDown(Tree.Selected()), (std::vector<std::string>{"Desktop", "a", "d", "e"}));
    EXPECT_EQ(allocator.AllocCalls(), 4); // the parsed list and three ancestors
    EXPECT_EQ(allocator.Live(), 0u);
    EXPECT_EQ(allocator.ForeignFrees(), 0);
}

TEST_F(ExpandTest, FailureInTheChangeHandlerIsDropped) {
    Tree.OnChange = [](TNode) { throw Exception("listing failed"); };
    TCountingMalloc allocator;
    EXPECT_NO_THROW(SelectFolderByPath(Tree, Shell, "/ade"));
    EXPECT_NE(Tree.Selected(), Desktop);
    EXPECT_EQ(Tree.UpdateDepth(), 0);
    EXPECT_EQ(allocator.Live(), 0u);
}

TEST_P(FailingAllocationDuringNavigation, IsDroppedWithNothingLeftAllocated) {
    TCountingMalloc allocator(GetParam());
    SelectFolderByPath(Tree, Shell, "/ade");
    EXPECT_EQ(allocator.AllocCalls(), GetParam());
    EXPECT_EQ(allocator.Live(), 0u);
    EXPECT_EQ(allocator.ForeignFrees(), 0);
    EXPECT_EQ(Tree.UpdateDepth(), 0);
    // The parse (first allocation) fails before the tree is touched; a
    // failed ancestor copy ends the walk before anything is expanded.
    EXPECT_EQ(Tree.Updates(), GetParam() == 1 ? 0 : 1);
    EXPECT_TRUE(Tree.ExpandLog().empty());
    EXPECT_EQ(Tree.Selected(), Desktop);
    EXPECT_EQ(Tree.Changes(), 0);
}

INSTANTIATE_TEST_SUITE_P(NthAlloc, FailingAllocationDuringNavigation,
                         ::testing::Values(1, 2, 3, 4));

namespace {

// The navigation on the real shell namespace: a home folder whose Wine
// prefix holds a store on its C: drive; the tree is filled from the
// namespace's SubFolders.
class ShellNavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        Home = fs::canonical(Temp.Path()).string() + "/home";
        Prefix = Home + "/.wine";
        Store = Prefix + "/drive_c/Program Files/IncrediMail/Identities/{A1}/Message Store";
        fs::create_directories(Store);
        fs::create_directories(Prefix + "/dosdevices");
        fs::create_directories(Home + "/Documents");
        fs::create_directory_symlink("../drive_c", Prefix + "/dosdevices/c:");
    }

    // A tree as the window holds it, root selected; every change records
    // the selected folder's path.
    std::unique_ptr<TInMemoryTree> MakeTree(const TShellNamespace& shell) {
        auto tree = std::make_unique<TInMemoryTree>(
            [&shell](PCItemIDList folder) { return shell.SubFolders(folder); });
        tree->Select(tree->AddRoot(TBytes{0, 0}));
        tree->OnChange = [this, &shell, raw = tree.get()](TNode node) {
            Listed.push_back(node == nullptr ? "" : shell.FileSystemPath(raw->NodeIdList(node)));
        };
        return tree;
    }

    TTempDir Temp;
    std::string Home, Prefix, Store;
    std::vector<std::string> Listed;
};

} // namespace

TEST_F(ShellNavigationTest, WindowsStorePathOpensTheTreeThroughTheDrive) {
    TShellNamespace shell(TShellRoots{Home, Prefix});
    const auto tree = MakeTree(shell);
    TCountingMalloc allocator;
    SelectFolderByPath(*tree, shell,
                       "C:\\Program Files\\IncrediMail\\Identities\\{A1}\\Message Store");
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->WayDown(tree->Selected()),
              (std::vector<std::string>{"Desktop", "C:", "Program Files", "IncrediMail",
                                        "Identities", "{A1}", "Message Store"}));
    EXPECT_EQ(Listed, std::vector<std::string>{Store});
    // Only the way was filled: Home was never expanded.
    EXPECT_FALSE(tree->IsExpanded(tree->Child(tree->FirstNode(), "Home")));
    EXPECT_EQ(allocator.Live(), 0u);
}

TEST_F(ShellNavigationTest, HiddenFolderOnTheWayClearsTheSelection) {
    // Without the prefix's drives the store lies below the hidden ~/.wine.
    TShellNamespace shell(TShellRoots{Home, ""});
    const auto tree = MakeTree(shell);
    SelectFolderByPath(*tree, shell, Store);
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_EQ(Listed, std::vector<std::string>{""});
    EXPECT_TRUE(tree->IsExpanded(tree->Child(tree->FirstNode(), "Home")));
}

TEST_F(ShellNavigationTest, ProgramsDesktopFolderComesFromTheEnvironment) {
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* savedPrefix = std::getenv("WINEPREFIX");
    const std::string prefixValue = savedPrefix ? savedPrefix : "";
    ::setenv("HOME", Home.c_str(), 1);
    ::unsetenv("WINEPREFIX"); // ~/.wine
    TShellNamespace shell;
    const auto tree = MakeTree(shell);
    SelectFolderByPath(*tree, Store);
    ::setenv("HOME", savedHome.c_str(), 1);
    if (savedPrefix)
        ::setenv("WINEPREFIX", prefixValue.c_str(), 1);
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->WayDown(tree->Selected())[1], "C:");
    EXPECT_EQ(Listed, std::vector<std::string>{Store});
}
