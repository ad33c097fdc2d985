// The folder tree over the shell namespace: the desktop at its root, folders
// only (hidden ones left out), children read when a node is first opened,
// no watching of the file system. Every node carries its folder's absolute
// item-id list, which is how the navigation finds it.
#pragma once

#include "platform/ShellNamespace.h"
#include "store/ShellTree.h"

#include <QTreeWidget>

#include <memory>
#include <string>

namespace velmora {

class TShellNode;

class TShellTreeView : public QTreeWidget, public IShellTree {
    Q_OBJECT
public:
    explicit TShellTreeView(QWidget* parent = nullptr);
    ~TShellTreeView() override;

    // Builds the tree anew over the namespace: the desktop is created,
    // expanded and selected, which raises Change.
    void SetShellNamespace(std::shared_ptr<TShellNamespace> shell);
    const std::shared_ptr<TShellNamespace>& ShellNamespace() const { return FShell; }

    TNode FirstNode() const override;
    PCItemIDList NodeIdList(TNode node) const override;
    int Level(TNode node) const override;
    TNode NextNode(TNode node) const override;
    void Expand(TNode node) override;
    void Select(TNode node) override;
    TNode Selected() const override;
    void BeginUpdate() override;
    void EndUpdate() override;
    int UpdateDepth() const { return FUpdateDepth; }

    // A file-system folder gives its full path without a trailing separator
    // ("/" stays "/"); a folder outside the file system gives its display
    // name; no node gives the empty text.
    std::string NodePath(TNode node) const;
    std::string SelectedPath() const { return NodePath(Selected()); }
    // Whether the node's children have been read.
    bool IsFilled(TNode node) const;
    QTreeWidgetItem* ItemOf(TNode node) const;
    static TNode NodeOf(const QTreeWidgetItem* item) { return item; }

    // Reads the folders beneath the node again: the folders that were
    // expanded stay expanded, the selected folder is selected again (a
    // change of selection) and the topmost folder stays topmost.
    void RefreshNode(TNode node);

signals:
    // The selection changed.
    void Change();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    TShellNode* NewNode(const TShellFolderItem& folder) const;
    void Fill(TShellNode* node);
    void AddChildren(TShellNode* node, const std::vector<TShellFolderItem>& folders);
    TShellNode* FindBeneath(TShellNode* start, PCItemIDList idList) const;
    bool SameFolder(PCItemIDList first, PCItemIDList second) const;
    void CurrentChanged();

    std::shared_ptr<TShellNamespace> FShell;
    int FUpdateDepth = 0;
    int FChangeSuppressed = 0;
    QIcon FDesktopIcon;
    QIcon FFolderIcon;
    QIcon FDriveIcon;
    QIcon FHomeIcon;
    std::string FHomePath;
};

} // namespace velmora
