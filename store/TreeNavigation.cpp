#include "store/TreeNavigation.h"

#include "store/ItemIdList.h"

namespace velmora {

IShellTree::TNode FindNodeByPidl(const IShellTree& tree, IShellFolder& desktop, PCItemIDList target,
                                 IShellTree::TNode start) {
    if (start == nullptr)
        return nullptr;
    const int startLevel = tree.Level(start);
    IShellTree::TNode candidate = start;
    while (true) {
        if (desktop.CompareIDs(0, target, tree.NodeIdList(candidate)) == 0)
            return candidate;
        candidate = tree.NextNode(candidate);
        // A node not deeper than the start lies outside the start's subtree.
        if (candidate == nullptr || tree.Level(candidate) <= startLevel)
            return nullptr;
    }
}

void ExpandToPidl(IShellTree& tree, IShellFolder& desktop, PCItemIDList target) {
    TTreeUpdate update(tree);
    const TPidlChain chain = BuildAncestorList(target);
    IShellTree::TNode current = tree.FirstNode();
    for (PItemIDList ancestor : *chain) {
        // A missing ancestor is passed over: the next ones are searched
        // below the last node found.
        if (IShellTree::TNode found = FindNodeByPidl(tree, desktop, ancestor, current)) {
            current = found;
            tree.Expand(current);
        }
    }
    tree.Select(FindNodeByPidl(tree, desktop, target, current));
}

void SelectFolderByPath(IShellTree& tree, IShellFolder& desktop, const std::string& path) noexcept {
    try {
        const TPidl target(desktop.ParseDisplayName(path));
        ExpandToPidl(tree, desktop, target.get());
    } catch (...) {
        // The tree stays as the navigation left it; nothing is reported.
    }
}

void SelectFolderByPath(IShellTree& tree, const std::string& path) noexcept {
    try {
        const std::shared_ptr<IShellFolder> desktop = DesktopFolder();
        SelectFolderByPath(tree, *desktop, path);
    } catch (...) {
    }
}

} // namespace velmora
