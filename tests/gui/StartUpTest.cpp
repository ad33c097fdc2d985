// The whole start-up: the registry of a Wine prefix names the store, and the
// window opens at it with the store's folders listed.
#include "GuiFixture.h"
#include "support/StoreWriter.h"

#include <filesystem>

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

class TStartUpWithPrefix : public ::testing::Test {
protected:
    support::TTempDir FRoot;
    std::string Home = Canonical(FRoot.Path());
    std::string Prefix = Home + "/.wine";
    std::string Store = Prefix + "/drive_c/Mail/Identities/{ID}/Message Store";
    std::vector<std::string> Errors;

    void SetUp() override {
        fs::create_directories(Prefix + "/dosdevices");
        fs::create_symlink("../drive_c", Prefix + "/dosdevices/c:");
        support::TStoreWriter store(Store);
        store.AddMessage("Inbox", "Subject: hi\r\n\r\nx\r\n");
        store.AddFolder("Deleted Items");
        TApplication::SetErrorBox(
            [this](const QString&, const QString& text) { Errors.push_back(text.toStdString()); });
    }
    void TearDown() override { TApplication::SetErrorBox({}); }

    void WriteRegistry(const std::string& applicationPathValue) {
        support::WriteFile(Prefix + "/system.reg",
                           "WINE REGISTRY Version 2\n\n#arch=win64\n\n"
                           "[Software\\\\Wow6432Node\\\\IncrediMail] 1733900000\n"
                           "\"ApplicationPath\"=" +
                               applicationPathValue +
                               "\n\n[Software\\\\Wow6432Node\\\\IncrediMail\\\\Identities] "
                               "1733900000\n@=\"{ID}\"\n");
    }

    // Builds and shows the window, and lets the posted start-up run.
    std::unique_ptr<TMainForm> Start() {
        TShellRoots roots;
        roots.Home = Home;
        roots.WinePrefix = Prefix;
        auto form = std::make_unique<TMainForm>(std::make_shared<TShellNamespace>(roots));
        form->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return form;
    }
};

TEST_F(TStartUpWithPrefix, OpensTheTreeAtTheStoreAndListsItsFolders) {
    WriteRegistry("\"C:\\\\Mail\"");
    const auto form = Start();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(form->tvShell()->SelectedPath(), Canonical(Store));
    QTreeWidget& list = *form->lvFiles();
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(0), "Deleted Items");
    EXPECT_EQ(list.topLevelItem(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(list.topLevelItem(1)->text(0), "Inbox");
    EXPECT_EQ(list.topLevelItem(1)->checkState(0), Qt::Checked);
}

TEST_F(TStartUpWithPrefix, ARegistryFailureShowsTheErrorBoxAndLeavesTheTreeAtTheDesktop) {
    WriteRegistry("dword:00000001");
    // The quote sorts before the period: no period is added.
    const auto form = Start();
    EXPECT_EQ(Errors, (std::vector<std::string>{"Invalid data type for 'ApplicationPath'"}));
    EXPECT_EQ(form->tvShell()->Selected(), form->tvShell()->FirstNode());
}

TEST_F(TStartUpWithPrefix, NoStoreLeavesTheTreeAtTheDesktopSilently) {
    WriteRegistry("\"C:\\\\Elsewhere\"");
    const auto form = Start();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(form->tvShell()->Selected(), form->tvShell()->FirstNode());
    EXPECT_EQ(form->lvFiles()->topLevelItemCount(), 0);
}

} // namespace
} // namespace velmora::testing
