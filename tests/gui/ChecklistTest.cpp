// The checklist through the window: one row per index file of the selected
// folder, rebuilt on every change of the tree's selection; Refresh.
#include "GuiFixture.h"

#include "support/StoreWriter.h"

#include <QStatusBar>

namespace velmora::testing {
namespace {

struct TRowSpec {
    const char* Caption;
    const char* Entry; // the name the Filename column ends with
    bool Ticked;
};

struct TListingCase {
    const char* Name;
    std::vector<std::string> Entries; // a trailing "/" makes a directory
    std::vector<TRowSpec> Rows;
};

void PrintTo(const TListingCase& c, std::ostream* os) {
    *os << c.Name;
}

class TListingTest : public TMainFormTest, public ::testing::WithParamInterface<TListingCase> {};

TEST_P(TListingTest, RowsFollowTheIndexFilesOfTheSelectedFolder) {
    const std::string folder = Folder("case");
    for (const std::string& entry : GetParam().Entries) {
        if (entry.back() == '/')
            std::filesystem::create_directories(folder + "/" + entry);
        else
            support::WriteFile(folder + "/" + entry, "V#04");
    }
    SelectFolder(folder);

    const std::vector<TRowSpec>& expected = GetParam().Rows;
    ASSERT_EQ(List().topLevelItemCount(), static_cast<int>(expected.size()))
        << ::testing::PrintToString(Captions());
    const std::vector<TFolderRow> rows = MainForm->FolderRows();
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const QTreeWidgetItem* item = List().topLevelItem(static_cast<int>(i));
        const std::string path = folder + "/" + expected[i].Entry;
        EXPECT_EQ(item->text(0).toStdString(), expected[i].Caption);
        EXPECT_EQ(item->text(1).toStdString(), path);
        EXPECT_EQ(item->checkState(0) == Qt::Checked, expected[i].Ticked) << expected[i].Caption;
        EXPECT_TRUE(item->flags() & Qt::ItemIsUserCheckable);
        EXPECT_FALSE(item->flags() & Qt::ItemIsEditable);
        EXPECT_FALSE(item->icon(0).isNull());
        EXPECT_EQ(rows[i].Caption, expected[i].Caption);
        EXPECT_EQ(rows[i].IndexFileName, path);
        EXPECT_EQ(rows[i].Checked, expected[i].Ticked);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TListingTest,
    ::testing::Values(
        TListingCase{"InboxTickedDeletedItemsNot",
                     {"Inbox.imh", "Inbox.imm", "Deleted Items.imh", "Deleted Items.imm",
                      "notes.txt", "Attachments/"},
                     {{"Deleted Items", "Deleted Items.imh", false}, {"Inbox", "Inbox.imh", true}}},
        TListingCase{"OtherCaseOfDeletedItemsIsTicked",
                     {"deleted items.imh"},
                     {{"deleted items", "deleted items.imh", true}}},
        TListingCase{"UpperCaseExtensionIsGoneBeforeTheComparison",
                     {"Deleted Items.IMH"},
                     {{"Deleted Items", "Deleted Items.IMH", false}}},
        TListingCase{"OnlyTheLastExtensionIsRemoved",
                     {"Sent.Old.imh"},
                     {{"Sent.Old", "Sent.Old.imh", true}}},
        TListingCase{"ADirectoryNamedLikeAnIndexGivesARow",
                     {"Archive.imh/"},
                     {{"Archive", "Archive.imh", true}}},
        TListingCase{"HiddenIndexFilesAreListed",
                     {".imh", ".Secret.imh"},
                     {{"", ".imh", true}, {".Secret", ".Secret.imh", true}}},
        TListingCase{"AFolderWithoutIndexFilesGivesNoRows", {"Inbox.imm", "readme.txt"}, {}},
        TListingCase{"AnEmptyFolderGivesNoRows", {}, {}}),
    [](const ::testing::TestParamInfo<TListingCase>& info) { return info.param.Name; });

TEST_F(TMainFormTest, AFolderThatNoLongerExistsGivesNoRows) {
    const std::string folder = Folder("gone");
    support::WriteFile(folder + "/Inbox.imh", "V#04");
    SelectFolder(folder);
    ASSERT_EQ(List().topLevelItemCount(), 1);
    std::filesystem::remove_all(folder);
    IShellTree::TNode node = Tree().Selected();
    Tree().Select(ShowFolder(Tree(), Home));
    Tree().Select(node);
    EXPECT_EQ(List().topLevelItemCount(), 0);
    EXPECT_TRUE(Boxes.Events.empty());
}

TEST_F(TMainFormTest, EveryChangeOfTheSelectionRebuildsTheRowsWithDefaultTicks) {
    const std::string first = Folder("first");
    const std::string second = Folder("second");
    support::WriteFile(first + "/Inbox.imh", "V#04");
    support::WriteFile(first + "/Deleted Items.imh", "V#04");
    support::WriteFile(second + "/Outbox.imh", "V#04");
    SelectFolder(first);
    SetTick("Inbox", false);
    SetTick("Deleted Items", true);
    SelectFolder(second);
    EXPECT_EQ(Captions(), std::vector<std::string>{"Outbox"});
    SelectFolder(first);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Deleted Items", "Inbox"}));
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, true}));

    Tree().Select(nullptr);
    EXPECT_EQ(Tree().SelectedPath(), "");
    EXPECT_TRUE(List().updatesEnabled()) << "the update bracket is closed";
}

TEST_F(TMainFormTest, RefreshKeepsSelectionAndExpandedFoldersAndResetsTicks) {
    const std::string store = Folder("mail/store");
    const std::string other = Folder("other");
    Folder("other/old");
    support::WriteFile(store + "/Inbox.imh", "V#04");
    support::WriteFile(store + "/Deleted Items.imh", "V#04");
    Tree().Expand(ShowFolder(Tree(), other));
    SelectFolder(store);
    SetTick("Inbox", false);
    SetTick("Deleted Items", true);

    // What the refresh has to find again, read anew.
    Folder("other/new");
    support::WriteFile(store + "/Archive.imh", "V#04");
    int changes = 0;
    QObject::connect(&Tree(), &TShellTreeView::Change, &Tree(), [&] { ++changes; });
    const IShellTree::TNode oldSelected = Tree().Selected();

    MainForm->tbRefresh()->trigger();

    EXPECT_TRUE(Boxes.Events.empty()) << Boxes.Events.front();
    EXPECT_EQ(changes, 1) << "one change of selection: the folder selected again";
    EXPECT_EQ(Tree().SelectedPath(), store);
    EXPECT_NE(Tree().Selected(), oldSelected) << "a new node";
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Archive", "Deleted Items", "Inbox"}));
    EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, true}));

    // The folders that were open are open again, with what they hold now.
    for (const std::string& path : {Home, Home + "/mail", other}) {
        const IShellTree::TNode node = ShowFolder(Tree(), path);
        ASSERT_NE(node, nullptr) << path;
        EXPECT_TRUE(Tree().ItemOf(node)->isExpanded()) << path;
    }
    std::vector<std::string> children;
    const IShellTree::TNode otherNode = ShowFolder(Tree(), other);
    for (IShellTree::TNode n = Tree().NextNode(otherNode);
         n && Tree().Level(n) > Tree().Level(otherNode); n = Tree().NextNode(n))
        children.push_back(Tree().NodePath(n));
    EXPECT_EQ(children, (std::vector<std::string>{other + "/new", other + "/old"}));
    EXPECT_EQ(Tree().UpdateDepth(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TMainFormTest, RefreshWithNothingSelectedSelectsNothing) {
    Tree().Select(nullptr);
    int changes = 0;
    QObject::connect(&Tree(), &TShellTreeView::Change, &Tree(), [&] { ++changes; });
    MainForm->tbRefresh()->trigger();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(Tree().Selected(), nullptr);
    EXPECT_NE(ShowFolder(Tree(), Home), nullptr);
}

} // namespace
} // namespace velmora::testing
