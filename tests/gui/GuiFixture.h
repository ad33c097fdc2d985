// What the GUI tests share: a main window over a namespace whose home folder
// is a fresh temporary directory, its progress window, recorders in place of
// the modal boxes, and a walk of the tree to a folder.
#pragma once

#include "forms/Application.h"
#include "forms/Main.h"
#include "forms/ShellTreeView.h"
#include "forms/frmProgress.h"
#include "platform/ShellNamespace.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::testing {

// What the boxes were asked to show, in order: "message: ..." or "error: ...".
struct TBoxRecord {
    std::vector<std::string> Events;
    std::vector<QString> Captions;
};

inline std::string Canonical(const std::string& path) {
    return std::filesystem::canonical(path).string();
}

// The node of the folder with this path, expanding the folders on the way;
// nullptr when the way is not there.
inline IShellTree::TNode ShowFolder(TShellTreeView& tree, const std::string& path) {
    IShellTree::TNode node = tree.FirstNode();
    for (;;) {
        if (tree.NodePath(node) == path)
            return node;
        tree.Expand(node);
        IShellTree::TNode best = nullptr;
        std::size_t bestLength = 0;
        const int childLevel = tree.Level(node) + 1;
        for (IShellTree::TNode child = tree.NextNode(node);
             child && tree.Level(child) >= childLevel; child = tree.NextNode(child)) {
            if (tree.Level(child) != childLevel)
                continue;
            const std::string prefix = tree.NodePath(child);
            const bool leads =
                prefix == path || (path.rfind(prefix == "/" ? "/" : prefix + "/", 0) == 0);
            if (leads && prefix.size() > bestLength) {
                best = child;
                bestLength = prefix.size();
            }
        }
        if (best == nullptr)
            return nullptr;
        node = best;
    }
}

class TMainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Home = Canonical(FHome.Path());
        TShellRoots roots;
        roots.Home = Home;
        Shell = std::make_shared<TShellNamespace>(roots);
        MainForm = std::make_unique<TMainForm>(Shell);
        ProgressForm = std::make_unique<TProgressForm>(MainForm.get());
        MainForm->SetProgressForm(ProgressForm.get());
        MainForm->SetOpenUrl([this](const QUrl& url) {
            OpenedUrls.push_back(url);
            return true;
        });
        TQtConversionUI& ui = MainForm->ConversionUI();
        ui.SetInputBox([this](const QString& caption, const QString& prompt, const QString&) {
            Prompts.push_back(caption + "|" + prompt);
            return Answer;
        });
        ui.SetMessageBox([this](const QString& caption, const QString& text) {
            Boxes.Events.push_back("message: " + text.toStdString());
            Boxes.Captions.push_back(caption);
        });
        TApplication::SetErrorBox([this](const QString& caption, const QString& text) {
            Boxes.Events.push_back("error: " + text.toStdString());
            Boxes.Captions.push_back(caption);
        });
        MainForm->show();
        QCoreApplication::processEvents();
    }

    void TearDown() override {
        TApplication::SetErrorBox({});
        ProgressForm.reset();
        MainForm.reset();
    }

    TShellTreeView& Tree() { return *MainForm->tvShell(); }
    QTreeWidget& List() { return *MainForm->lvFiles(); }

    // Selects the folder through the tree, as a click would.
    void SelectFolder(const std::string& path) {
        IShellTree::TNode node = ShowFolder(Tree(), path);
        ASSERT_NE(node, nullptr) << path;
        Tree().Select(node);
        ASSERT_EQ(Tree().SelectedPath(), path);
    }

    std::string Folder(const std::string& name) {
        const std::string path = Home + "/" + name;
        std::filesystem::create_directories(path);
        return path;
    }

    std::vector<std::string> Captions() {
        std::vector<std::string> captions;
        for (int i = 0; i < List().topLevelItemCount(); ++i)
            captions.push_back(List().topLevelItem(i)->text(0).toStdString());
        return captions;
    }

    std::vector<bool> Ticks() {
        std::vector<bool> ticks;
        for (int i = 0; i < List().topLevelItemCount(); ++i)
            ticks.push_back(List().topLevelItem(i)->checkState(0) == Qt::Checked);
        return ticks;
    }

    void SetTick(const std::string& caption, bool ticked) {
        const auto found = List().findItems(QString::fromStdString(caption), Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1) << caption;
        found.front()->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    }

    support::TTempDir FHome;
    std::string Home;
    std::shared_ptr<TShellNamespace> Shell;
    std::unique_ptr<TMainForm> MainForm;
    std::unique_ptr<TProgressForm> ProgressForm;
    std::optional<QString> Answer;
    std::vector<QString> Prompts;
    std::vector<QUrl> OpenedUrls;
    TBoxRecord Boxes;
};

} // namespace velmora::testing
