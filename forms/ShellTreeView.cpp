#include "forms/ShellTreeView.h"

#include "forms/Application.h"
#include "forms/QtText.h"
#include "platform/Exceptions.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

#include <cassert>
#include <vector>

namespace velmora {

// One folder of the tree. Index is its place among its siblings, kept so
// that walking the tree does not search each parent's child list.
class TShellNode : public QTreeWidgetItem {
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 1;

    explicit TShellNode(const TShellFolderItem& folder)
        : QTreeWidgetItem(kType), IdList(folder.IdList), DisplayName(folder.DisplayName),
          FileSystemPath(folder.FileSystemPath) {
        setText(0, FromLocal(DisplayName));
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        // Whether there are children is only known once they are read.
        setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }

    PCItemIDList Id() const { return IdList.data(); }

    std::vector<std::uint8_t> IdList;
    std::string DisplayName;
    std::string FileSystemPath;
    int Index = 0;
    bool Filled = false;
};

namespace {

TShellNode* AsShellNode(QTreeWidgetItem* item) {
    assert(item == nullptr || item->type() == TShellNode::kType);
    return static_cast<TShellNode*>(item);
}

class TBusyCursorScope {
public:
    TBusyCursorScope() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TBusyCursorScope() { QApplication::restoreOverrideCursor(); }
    TBusyCursorScope(const TBusyCursorScope&) = delete;
    TBusyCursorScope& operator=(const TBusyCursorScope&) = delete;
};

class TCounterScope {
public:
    explicit TCounterScope(int& counter) : FCounter(counter) { ++FCounter; }
    ~TCounterScope() { --FCounter; }
    TCounterScope(const TCounterScope&) = delete;
    TCounterScope& operator=(const TCounterScope&) = delete;

private:
    int& FCounter;
};

} // namespace

TShellTreeView::TShellTreeView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(19);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);

    QFileIconProvider icons;
    FDesktopIcon = icons.icon(QFileIconProvider::Desktop);
    FFolderIcon = icons.icon(QFileIconProvider::Folder);
    FDriveIcon = icons.icon(QFileIconProvider::Drive);
    FHomeIcon = style()->standardIcon(QStyle::SP_DirHomeIcon);

    connect(this, &QTreeWidget::currentItemChanged, this, [this] { CurrentChanged(); });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        TApplication::HandleException([&] { Fill(AsShellNode(item)); });
    });
}

TShellTreeView::~TShellTreeView() = default;

void TShellTreeView::SetShellNamespace(std::shared_ptr<TShellNamespace> shell) {
    {
        const TCounterScope quiet(FChangeSuppressed);
        clear();
    }
    FShell = std::move(shell);
    if (!FShell)
        return;
    FHomePath = ToLocal(QFileInfo(FromLocal(FShell->Roots().Home)).canonicalFilePath());
    const std::vector<std::uint8_t> desktop{0, 0};
    TShellNode* root = NewNode(FShell->Describe(desktop.data()));
    addTopLevelItem(root);
    Expand(root);
    Select(root);
}

TShellNode* TShellTreeView::NewNode(const TShellFolderItem& folder) const {
    auto* node = new TShellNode(folder);
    if (folder.IdList.size() <= 2)
        node->setIcon(0, FDesktopIcon);
    else if (!folder.FileSystemPath.empty() && folder.FileSystemPath == FHomePath)
        node->setIcon(0, FHomeIcon);
    else if (folder.FileSystemPath == "/")
        node->setIcon(0, FDriveIcon);
    else
        node->setIcon(0, FFolderIcon);
    return node;
}

void TShellTreeView::AddChildren(TShellNode* node, const std::vector<TShellFolderItem>& folders) {
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(folders.size()));
    int index = node->childCount();
    for (const TShellFolderItem& folder : folders) {
        TShellNode* child = NewNode(folder);
        child->Index = index++;
        children.append(child);
    }
    node->addChildren(children);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TShellTreeView::Fill(TShellNode* node) {
    if (node == nullptr || node->Filled || !FShell)
        return;
    const std::vector<TShellFolderItem> folders = FShell->SubFolders(node->Id());
    node->Filled = true;
    AddChildren(node, folders);
}

IShellTree::TNode TShellTreeView::FirstNode() const {
    if (topLevelItemCount() == 0)
        throw Exception("List index out of bounds (0)");
    return topLevelItem(0);
}

QTreeWidgetItem* TShellTreeView::ItemOf(TNode node) const {
    return const_cast<QTreeWidgetItem*>(static_cast<const QTreeWidgetItem*>(node));
}

PCItemIDList TShellTreeView::NodeIdList(TNode node) const {
    const TShellNode* shellNode = AsShellNode(ItemOf(node));
    return shellNode ? shellNode->Id() : nullptr;
}

int TShellTreeView::Level(TNode node) const {
    int level = 0;
    for (const QTreeWidgetItem* item = ItemOf(node); item && item->parent(); item = item->parent())
        ++level;
    return level;
}

IShellTree::TNode TShellTreeView::NextNode(TNode node) const {
    QTreeWidgetItem* item = ItemOf(node);
    if (item == nullptr)
        return nullptr;
    if (item->childCount() > 0)
        return item->child(0);
    while (item) {
        const int next = AsShellNode(item)->Index + 1;
        QTreeWidgetItem* parent = item->parent();
        const int siblings = parent ? parent->childCount() : topLevelItemCount();
        if (next < siblings)
            return parent ? parent->child(next) : topLevelItem(next);
        item = parent;
    }
    return nullptr;
}

void TShellTreeView::Expand(TNode node) {
    TShellNode* shellNode = AsShellNode(ItemOf(node));
    if (shellNode == nullptr)
        return;
    Fill(shellNode);
    shellNode->setExpanded(true);
}

void TShellTreeView::Select(TNode node) {
    QTreeWidgetItem* item = ItemOf(node);
    if (item == currentItem()) {
        if (item && !item->isSelected())
            item->setSelected(true);
        return;
    }
    if (item) {
        setCurrentItem(item);
        scrollToItem(item);
    } else {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    }
}

IShellTree::TNode TShellTreeView::Selected() const {
    return currentItem();
}

void TShellTreeView::BeginUpdate() {
    if (FUpdateDepth++ == 0)
        setUpdatesEnabled(false);
}

void TShellTreeView::EndUpdate() {
    if (FUpdateDepth == 0)
        return;
    if (--FUpdateDepth == 0)
        setUpdatesEnabled(true);
}

std::string TShellTreeView::NodePath(TNode node) const {
    const TShellNode* shellNode = AsShellNode(ItemOf(node));
    if (shellNode == nullptr)
        return {};
    return shellNode->FileSystemPath.empty() ? shellNode->DisplayName : shellNode->FileSystemPath;
}

bool TShellTreeView::IsFilled(TNode node) const {
    const TShellNode* shellNode = AsShellNode(ItemOf(node));
    return shellNode && shellNode->Filled;
}

bool TShellTreeView::SameFolder(PCItemIDList first, PCItemIDList second) const {
    return FShell && FShell->CompareIDs(0, first, second) == 0;
}

TShellNode* TShellTreeView::FindBeneath(TShellNode* start, PCItemIDList idList) const {
    if (start == nullptr)
        return nullptr;
    const int level = Level(start);
    for (TNode node = start; node; node = NextNode(node)) {
        if (node != start && Level(node) <= level)
            break;
        if (SameFolder(idList, NodeIdList(node)))
            return AsShellNode(ItemOf(node));
    }
    return nullptr;
}

void TShellTreeView::RefreshNode(TNode node) {
    TShellNode* old = AsShellNode(ItemOf(node));
    if (old == nullptr || !FShell)
        return;

    // What to restore, by the folders' identities.
    std::vector<std::uint8_t> topmost;
    if (const TShellNode* top = AsShellNode(itemAt(0, 0)))
        topmost = top->IdList;
    const TShellNode* current = AsShellNode(currentItem());
    bool selectionInside = false;
    for (const QTreeWidgetItem* item = current; item; item = item->parent())
        if (item == old)
            selectionInside = true;
    const std::vector<std::uint8_t> selected =
        selectionInside ? current->IdList : std::vector<std::uint8_t>();
    struct TFolderState {
        std::vector<std::uint8_t> IdList;
        bool Expanded = false;
    };
    std::vector<TFolderState> filled;
    for (TNode walk = old; walk; walk = NextNode(walk)) {
        if (walk != old && Level(walk) <= Level(old))
            break;
        const TShellNode* shellNode = AsShellNode(ItemOf(walk));
        if (shellNode->Filled)
            filled.push_back({shellNode->IdList, shellNode->isExpanded()});
    }

    const TTreeUpdate update(*this);
    const TBusyCursorScope busy;

    // The new nodes are built apart from the tree, so a failure leaves the
    // tree as it was.
    std::vector<TShellNode*> toExpand;
    const auto stateOf = [&](const TShellNode* shellNode) -> const TFolderState* {
        for (const TFolderState& state : filled)
            if (SameFolder(state.IdList.data(), shellNode->Id()))
                return &state;
        return nullptr;
    };
    std::unique_ptr<TShellNode> fresh(
        NewNode({old->IdList, old->DisplayName, old->FileSystemPath}));
    const auto rebuild = [&](auto& self, TShellNode* shellNode) -> void {
        const TFolderState* state = stateOf(shellNode);
        if (state == nullptr)
            return;
        AddChildren(shellNode, FShell->SubFolders(shellNode->Id()));
        shellNode->Filled = true;
        if (state->Expanded)
            toExpand.push_back(shellNode);
        for (int i = 0; i < shellNode->childCount(); ++i)
            self(self, AsShellNode(shellNode->child(i)));
    };
    rebuild(rebuild, fresh.get());

    {
        const TCounterScope quiet(FChangeSuppressed);
        TShellNode* placed = fresh.release();
        placed->Index = old->Index;
        if (QTreeWidgetItem* parent = old->parent())
            parent->insertChild(old->Index + 1, placed);
        else
            insertTopLevelItem(old->Index + 1, placed);
        delete old;
        for (TShellNode* shellNode : toExpand)
            shellNode->setExpanded(true);
        if (selectionInside) {
            if (TShellNode* again = FindBeneath(placed, selected.data()))
                setCurrentItem(again);
            else {
                selectionModel()->clearCurrentIndex();
                clearSelection();
            }
        }
        if (!topmost.empty())
            if (TShellNode* top = FindBeneath(AsShellNode(topLevelItem(0)), topmost.data()))
                scrollToItem(top, QAbstractItemView::PositionAtTop);
    }
    // The folder selected again is a new selection.
    if (selectionInside)
        emit Change();
}

QItemSelectionModel::SelectionFlags TShellTreeView::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const {
    // One folder is always the selection: a click never deselects it.
    if (index.isValid())
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return QTreeWidget::selectionCommand(index, event);
}

void TShellTreeView::CurrentChanged() {
    if (FChangeSuppressed == 0)
        emit Change();
}

} // namespace velmora
