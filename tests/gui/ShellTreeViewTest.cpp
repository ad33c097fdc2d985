// The folder tree as the navigation and the checklist rely on it.
#include "forms/ShellTreeView.h"
#include "store/TreeNavigation.h"
#include "support/StoreWriter.h"
#include "support/TempDir.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace velmora {
namespace {

class TShellTreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Home = std::filesystem::canonical(FHome.Path()).string();
        for (const char* folder : {"Alpha", "beta", ".hidden", "Alpha/inner", "beta/sub"})
            std::filesystem::create_directories(Home + "/" + folder);
        support::WriteFile(Home + "/file.txt", "not a folder");
        TShellRoots roots;
        roots.Home = Home;
        QObject::connect(&Tree, &TShellTreeView::Change, &Tree, [this] { ++Changes; });
        Tree.SetShellNamespace(std::make_shared<TShellNamespace>(roots));
    }

    std::vector<std::string> Walk() {
        std::vector<std::string> paths;
        for (IShellTree::TNode node = Tree.FirstNode(); node; node = Tree.NextNode(node))
            paths.push_back(Tree.NodePath(node));
        return paths;
    }

    IShellTree::TNode Find(const std::string& path) {
        for (IShellTree::TNode node = Tree.FirstNode(); node; node = Tree.NextNode(node))
            if (Tree.NodePath(node) == path)
                return node;
        return nullptr;
    }

    support::TTempDir FHome;
    std::string Home;
    TShellTreeView Tree;
    int Changes = 0;
};

TEST_F(TShellTreeViewTest, TheRootIsTheDesktopExpandedAndSelected) {
    IShellTree::TNode desktop = Tree.FirstNode();
    const PCItemIDList id = Tree.NodeIdList(desktop);
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id[0], 0);
    EXPECT_EQ(id[1], 0) << "the empty list";
    EXPECT_EQ(Tree.Level(desktop), 0);
    EXPECT_EQ(Tree.NodePath(desktop), "Desktop");
    EXPECT_EQ(Tree.Selected(), desktop);
    EXPECT_EQ(Tree.SelectedPath(), "Desktop");
    EXPECT_EQ(Changes, 1) << "selecting the root is a change";
    EXPECT_TRUE(Tree.ItemOf(desktop)->isExpanded());
    EXPECT_EQ(Tree.topLevelItemCount(), 1);
    EXPECT_EQ(Walk(), (std::vector<std::string>{"Desktop", Home, "/"}));
    EXPECT_FALSE(Tree.ItemOf(desktop)->icon(0).isNull());
}

TEST_F(TShellTreeViewTest, ChildrenAreReadOnceWhenExpandedFoldersOnlyNoHiddenOnes) {
    IShellTree::TNode home = Find(Home);
    ASSERT_NE(home, nullptr);
    EXPECT_FALSE(Tree.IsFilled(home));
    EXPECT_EQ(Tree.ItemOf(home)->childCount(), 0) << "nothing read before it is opened";
    Tree.Expand(home);
    Tree.Expand(home);
    EXPECT_TRUE(Tree.IsFilled(home));
    EXPECT_TRUE(Tree.ItemOf(home)->isExpanded());
    EXPECT_EQ(Walk(),
              (std::vector<std::string>{"Desktop", Home, Home + "/Alpha", Home + "/beta", "/"}));
    const IShellTree::TNode alpha = Find(Home + "/Alpha");
    EXPECT_EQ(Tree.Level(alpha), 2);
    EXPECT_FALSE(Tree.ItemOf(alpha)->icon(0).isNull());
    // The child's list extends its parent's.
    EXPECT_EQ(Tree.ShellNamespace()->CompareIDs(0, Tree.NodeIdList(alpha),
                                                Tree.NodeIdList(Find(Home + "/Alpha"))),
              0);
    EXPECT_NE(Tree.ShellNamespace()->CompareIDs(0, Tree.NodeIdList(alpha),
                                                Tree.NodeIdList(Find(Home + "/beta"))),
              0);

    // The user opening a folder reads it as well.
    Tree.ItemOf(alpha)->setExpanded(true);
    EXPECT_TRUE(Tree.IsFilled(alpha));
    EXPECT_EQ(Tree.NodePath(Tree.NextNode(alpha)), Home + "/Alpha/inner");
    EXPECT_EQ(Tree.Level(Tree.NextNode(alpha)), 3);
}

TEST_F(TShellTreeViewTest, NextNodeClimbsToTheNextSiblingOfAnAncestorAndEndsWithNone) {
    Tree.Expand(Find(Home));
    Tree.Expand(Find(Home + "/Alpha"));
    const IShellTree::TNode inner = Find(Home + "/Alpha/inner");
    EXPECT_EQ(Tree.NodePath(Tree.NextNode(inner)), Home + "/beta");
    const IShellTree::TNode fileSystem = Find("/");
    EXPECT_EQ(Tree.NextNode(fileSystem), nullptr);
    EXPECT_EQ(Tree.NextNode(nullptr), nullptr);
}

TEST_F(TShellTreeViewTest, SelectRaisesChangeOnlyOnARealChange) {
    Tree.Expand(Find(Home));
    const IShellTree::TNode alpha = Find(Home + "/Alpha");
    Changes = 0;
    Tree.Select(alpha);
    Tree.Select(alpha);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Tree.SelectedPath(), Home + "/Alpha");
    EXPECT_TRUE(Tree.ItemOf(alpha)->isSelected());
    Tree.Select(Find("/"));
    EXPECT_EQ(Tree.SelectedPath(), "/");
    EXPECT_EQ(Changes, 2);
    Tree.Select(nullptr);
    Tree.Select(nullptr);
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Tree.Selected(), nullptr);
    EXPECT_EQ(Tree.SelectedPath(), "");
    EXPECT_TRUE(Tree.selectedItems().isEmpty());
}

TEST_F(TShellTreeViewTest, UpdatesNestAndPaintingResumesAtTheOutermostEnd) {
    Tree.BeginUpdate();
    Tree.BeginUpdate();
    EXPECT_FALSE(Tree.updatesEnabled());
    Tree.EndUpdate();
    EXPECT_FALSE(Tree.updatesEnabled());
    Tree.EndUpdate();
    EXPECT_TRUE(Tree.updatesEnabled());
    Tree.EndUpdate();
    EXPECT_TRUE(Tree.updatesEnabled()) << "an unmatched end changes nothing";
    EXPECT_EQ(Tree.UpdateDepth(), 0);
}

TEST_F(TShellTreeViewTest, RefreshReadsFoldersAgainKeepingExpansionAndSelection) {
    Tree.Expand(Find(Home));
    Tree.Expand(Find(Home + "/Alpha"));
    Tree.Expand(Find(Home + "/beta"));
    Tree.ItemOf(Find(Home + "/beta"))->setExpanded(false);
    Tree.Select(Find(Home + "/Alpha/inner"));
    std::filesystem::create_directories(Home + "/Gamma");
    std::filesystem::create_directories(Home + "/beta/more");
    Changes = 0;

    Tree.RefreshNode(Tree.FirstNode());

    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Tree.SelectedPath(), Home + "/Alpha/inner");
    EXPECT_EQ(Walk(), (std::vector<std::string>{
                          "Desktop", Home, Home + "/Alpha", Home + "/Alpha/inner", Home + "/beta",
                          Home + "/beta/more", Home + "/beta/sub", Home + "/Gamma", "/"}));
    EXPECT_TRUE(Tree.ItemOf(Find(Home))->isExpanded());
    EXPECT_TRUE(Tree.ItemOf(Find(Home + "/Alpha"))->isExpanded());
    EXPECT_FALSE(Tree.ItemOf(Find(Home + "/beta"))->isExpanded()) << "closed stays closed";
    EXPECT_EQ(Tree.topLevelItemCount(), 1);
    EXPECT_EQ(Tree.UpdateDepth(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TShellTreeViewTest, RefreshOfASelectedFolderThatIsGoneSelectsNothing) {
    Tree.Expand(Find(Home));
    Tree.Select(Find(Home + "/beta"));
    std::filesystem::remove_all(Home + "/beta");
    Changes = 0;
    Tree.RefreshNode(Find(Home));
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Tree.Selected(), nullptr);
    EXPECT_EQ(Walk(), (std::vector<std::string>{"Desktop", Home, Home + "/Alpha", "/"}))
        << "the folder is gone from the tree as well";
}

// The navigation of the start-up handler, run over this tree.
TEST_F(TShellTreeViewTest, NavigationOpensTheWayDownAndSelectsTheFolderOnce) {
    Changes = 0;
    SelectFolderByPath(Tree, *Tree.ShellNamespace(), Home + "/Alpha/inner");
    EXPECT_EQ(Tree.SelectedPath(), Home + "/Alpha/inner");
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(Tree.ItemOf(Find(Home))->isExpanded());
    EXPECT_TRUE(Tree.ItemOf(Find(Home + "/Alpha"))->isExpanded());
    EXPECT_FALSE(Tree.IsFilled(Find(Home + "/beta"))) << "only the way down is read";
    EXPECT_EQ(Tree.UpdateDepth(), 0);
    EXPECT_TRUE(Tree.updatesEnabled());

    SelectFolderByPath(Tree, *Tree.ShellNamespace(), Home + "/Alpha/inner");
    EXPECT_EQ(Changes, 1) << "already selected: no change";
}

TEST_F(TShellTreeViewTest, NavigationThroughAHiddenFolderClearsTheSelection) {
    std::filesystem::create_directories(Home + "/.hidden/store");
    Changes = 0;
    SelectFolderByPath(Tree, *Tree.ShellNamespace(), Home + "/.hidden/store");
    EXPECT_EQ(Tree.Selected(), nullptr);
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(Tree.ItemOf(Find(Home))->isExpanded()) << "found before the gap, stays open";
    EXPECT_EQ(Tree.UpdateDepth(), 0);
}

TEST(TShellTreeViewEmptyTest, ATreeWithoutNodesRaisesForItsFirstNode) {
    TShellTreeView tree;
    EXPECT_THROW(tree.FirstNode(), std::exception);
    EXPECT_EQ(tree.SelectedPath(), "");
}

} // namespace
} // namespace velmora
