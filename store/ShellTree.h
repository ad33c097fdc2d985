// The folder tree as the navigation sees it: nodes in depth-first order,
// each carrying its folder's absolute item-id list. The window implements it
// with its tree widget; tests with a plain in-memory tree.
#pragma once

#include "platform/ShellNamespace.h"

namespace velmora {

class IShellTree {
public:
    using TNode = const void*; // opaque; nullptr is "no node"

    virtual ~IShellTree() = default;
    // The root, the desktop; raises when the tree has no node.
    virtual TNode FirstNode() const = 0;
    virtual PCItemIDList NodeIdList(TNode node) const = 0;
    // 0 for a top-level node, the parent's level plus 1 otherwise.
    virtual int Level(TNode node) const = 0;
    // Depth-first pre-order over the nodes that exist; nullptr after the last.
    virtual TNode NextNode(TNode node) const = 0;
    // Fills in the direct child folders (once) and opens the node.
    virtual void Expand(TNode node) = 0;
    // nullptr selects none. The change event fires only on a real change.
    virtual void Select(TNode node) = 0;
    virtual TNode Selected() const = 0;
    // Pairs may nest; no repaint in between.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
};

// Closes a tree's update bracket on every way out of a scope.
class TTreeUpdate {
public:
    explicit TTreeUpdate(IShellTree& tree) : FTree(tree) { FTree.BeginUpdate(); }
    ~TTreeUpdate() { FTree.EndUpdate(); }
    TTreeUpdate(const TTreeUpdate&) = delete;
    TTreeUpdate& operator=(const TTreeUpdate&) = delete;

private:
    IShellTree& FTree;
};

} // namespace velmora
