// Opens the folder tree at a folder given by its path: expands the folder's
// ancestors from the desktop down, one level each, and selects its node.
// Nodes are recognised by their item-id lists, compared by the desktop
// folder, never by caption or path text.
#pragma once

#include "platform/ShellNamespace.h"
#include "store/ShellTree.h"

#include <string>

namespace velmora {

// The first node, from start on in depth-first order within start's
// subtree, whose list the desktop compares equal to target; nullptr when
// there is none (or no start).
IShellTree::TNode FindNodeByPidl(const IShellTree& tree, IShellFolder& desktop, PCItemIDList target,
                                 IShellTree::TNode start);

// Expands the target's ancestors that have nodes, each searched below the
// last one found, and selects the target's node, or nothing when it has
// none. The target is read, not taken over. Raises on any failure; the
// tree's update bracket is closed and every list returned to the allocator
// on every way out.
void ExpandToPidl(IShellTree& tree, IShellFolder& desktop, PCItemIDList target);

// Parses path with the desktop folder and opens the tree at it. Every
// failure is dropped: what was done before it stays done.
void SelectFolderByPath(IShellTree& tree, IShellFolder& desktop, const std::string& path) noexcept;
// The same with the program's desktop folder.
void SelectFolderByPath(IShellTree& tree, const std::string& path) noexcept;

} // namespace velmora
