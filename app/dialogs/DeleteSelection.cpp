#include "app/dialogs/DeleteSelection.h"

namespace delete_selection {

int32_t Toggled(int32_t value) {
    return value == CQBTreeNode::kNotSelected ? CQBTreeNode::kSelected : CQBTreeNode::kNotSelected;
}

void SetSubtree(CQBTreeNode& node, int32_t value) {
    // An explicit stack: a player's folders may nest deeper than the thread's stack allows.
    std::vector<CQBTreeNode*> pending{&node};
    while (!pending.empty()) {
        CQBTreeNode* current = pending.back();
        pending.pop_back();
        current->SetCheck(value);
        for (CQBTreeNode* child : current->GetChildren()) pending.push_back(child);
    }
}

int32_t FromChildren(const CQBTreeNode& node) {
    const std::vector<CQBTreeNode*> children = node.GetChildren();
    if (children.empty()) return node.GetCheck();
    bool all = true;
    bool any = false;
    for (const CQBTreeNode* child : children) {
        const int32_t value = child->GetCheck();
        all = all && value == CQBTreeNode::kSelected;
        any = any || value == CQBTreeNode::kSelected || value == CQBTreeNode::kPartlySelected;
    }
    if (all) return CQBTreeNode::kSelected;
    return any ? CQBTreeNode::kPartlySelected : CQBTreeNode::kNotSelected;
}

int ImageIndex(const CQBTreeNode& node, bool expanded) {
    if (node.IsFile()) return node.GetCheck() == CQBTreeNode::kSelected ? 6 : 7;
    int value = node.GetCheck();
    if (value < 0 || value > 2) value = CQBTreeNode::kNotSelected;
    return (expanded ? 3 : 0) + value;
}

namespace {

// Visits every node below the root in tree order.
template <class Visit>
void ForEachBelow(const CQBTreeNode& root, Visit visit) {
    std::vector<CQBTreeNode*> pending;
    const std::vector<CQBTreeNode*> top = root.GetChildren();
    pending.assign(top.rbegin(), top.rend());
    while (!pending.empty()) {
        CQBTreeNode* node = pending.back();
        pending.pop_back();
        visit(*node);
        const std::vector<CQBTreeNode*> children = node->GetChildren();
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
}

}  // namespace

void CollectSelected(const CQBTreeNode& root, std::vector<CQBTreeNode*>* selected) {
    selected->clear();
    ForEachBelow(root, [selected](CQBTreeNode& node) {
        if (node.GetCheck() == CQBTreeNode::kSelected) selected->push_back(&node);
    });
}

void CountSelected(const CQBTreeNode& root, int* count, uint64_t* bytes) {
    *count = 0;
    *bytes = 0;
    ForEachBelow(root, [count, bytes](CQBTreeNode& node) {
        if (node.GetCheck() != CQBTreeNode::kSelected) return;
        ++*count;
        *bytes += node.GetSize();
    });
}

}  // namespace delete_selection
