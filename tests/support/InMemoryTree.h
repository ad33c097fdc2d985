// A plain folder tree for tests of the navigation: nodes built by hand or
// filled on expansion from a function (such as a shell namespace's
// SubFolders), with a record of what the navigation did to it.
#pragma once

#include "platform/Exceptions.h"
#include "store/ShellTree.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora::support {

class TInMemoryTree final : public IShellTree {
public:
    // The child folders of a folder, asked for when a node is first expanded.
    using TFiller = std::function<std::vector<TShellFolderItem>(PCItemIDList)>;

    explicit TInMemoryTree(TFiller filler = {}) : FFiller(std::move(filler)) {}

    // A top-level node (the desktop).
    TNode AddRoot(std::vector<std::uint8_t> idList, std::string name = "Desktop") {
        FRoots.push_back(MakeNode(std::move(idList), std::move(name), nullptr));
        return FRoots.back().get();
    }
    // A child given by hand; its parent counts as filled and is not filled
    // again by the filler.
    TNode AddChild(TNode parent, std::vector<std::uint8_t> idList, std::string name) {
        TData* data = Data(parent);
        data->Filled = true;
        data->Children.push_back(MakeNode(std::move(idList), std::move(name), data));
        return data->Children.back().get();
    }

    TNode FirstNode() const override {
        if (FRoots.empty())
            throw Exception("List index out of bounds (0)");
        return FRoots.front().get();
    }
    PCItemIDList NodeIdList(TNode node) const override {
        FVisited.push_back(node);
        return Data(node)->IdList.data();
    }
    int Level(TNode node) const override {
        int level = 0;
        for (const TData* up = Data(node)->Parent; up != nullptr; up = up->Parent)
            ++level;
        return level;
    }
    TNode NextNode(TNode node) const override {
        const TData* data = Data(node);
        if (!data->Children.empty())
            return data->Children.front().get();
        for (; data != nullptr; data = data->Parent) {
            const auto& siblings = data->Parent ? data->Parent->Children : FRoots;
            for (std::size_t i = 0; i + 1 < siblings.size(); ++i)
                if (siblings[i].get() == data)
                    return siblings[i + 1].get();
        }
        return nullptr;
    }
    void Expand(TNode node) override {
        TData* data = Data(node);
        if (!data->Filled && FFiller)
            for (TShellFolderItem& item : FFiller(data->IdList.data()))
                data->Children.push_back(
                    MakeNode(std::move(item.IdList), std::move(item.DisplayName), data));
        data->Filled = true;
        data->Expanded = true;
        FExpandLog.push_back(node);
    }
    void Select(TNode node) override {
        if (node == FSelected)
            return;
        FSelected = node;
        FChangeDepths.push_back(FUpdateDepth);
        if (OnChange)
            OnChange(node);
    }
    TNode Selected() const override { return FSelected; }
    void BeginUpdate() override {
        ++FUpdateDepth;
        ++FUpdates;
    }
    void EndUpdate() override { --FUpdateDepth; }

    // What the navigation did.
    std::function<void(TNode)> OnChange;
    // The update depth at each change event, in order.
    const std::vector<int>& ChangeDepths() const { return FChangeDepths; }
    int Changes() const { return static_cast<int>(FChangeDepths.size()); }
    int UpdateDepth() const { return FUpdateDepth; }
    int Updates() const { return FUpdates; }
    // Every node whose list was read, in order: the nodes a search compared.
    const std::vector<TNode>& Visited() const { return FVisited; }
    const std::vector<TNode>& ExpandLog() const { return FExpandLog; }
    void ClearLogs() {
        FVisited.clear();
        FExpandLog.clear();
        FChangeDepths.clear();
        FUpdates = 0;
    }

    const std::string& Name(TNode node) const { return Data(node)->Name; }
    bool IsExpanded(TNode node) const { return Data(node)->Expanded; }
    // The captions from the top-level node down to node.
    std::vector<std::string> WayDown(TNode node) const {
        std::vector<std::string> names;
        for (const TData* data = Data(node); data != nullptr; data = data->Parent)
            names.insert(names.begin(), data->Name);
        return names;
    }
    // The child of node captioned name, or nullptr.
    TNode Child(TNode node, const std::string& name) const {
        for (const auto& child : Data(node)->Children)
            if (child->Name == name)
                return child.get();
        return nullptr;
    }

private:
    struct TData {
        std::vector<std::uint8_t> IdList;
        std::string Name;
        TData* Parent = nullptr;
        std::vector<std::unique_ptr<TData>> Children;
        bool Filled = false;
        bool Expanded = false;
    };

    static std::unique_ptr<TData> MakeNode(std::vector<std::uint8_t> idList, std::string name,
                                           TData* parent) {
        auto data = std::make_unique<TData>();
        data->IdList = std::move(idList);
        data->Name = std::move(name);
        data->Parent = parent;
        return data;
    }
    static TData* Data(TNode node) { return static_cast<TData*>(const_cast<void*>(node)); }

    TFiller FFiller;
    std::vector<std::unique_ptr<TData>> FRoots;
    TNode FSelected = nullptr;
    int FUpdateDepth = 0;
    int FUpdates = 0;
    std::vector<int> FChangeDepths;
    mutable std::vector<TNode> FVisited;
    std::vector<TNode> FExpandLog;
};

} // namespace velmora::support
