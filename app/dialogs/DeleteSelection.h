#pragma once
// The three-state ticks of the delete dialog's tree: a node is selected (0), not selected (1) or
// partly selected (2, some of its children are). A click changes the node and everything below
// it; each ancestor then follows its children.

#include <cstdint>
#include <vector>

#include "library/device/QBTreeNode.h"

namespace delete_selection {

// The value a click gives: selected becomes not selected, not selected becomes selected, partly
// selected becomes not selected.
int32_t Toggled(int32_t value);
// Gives the node and every node below it the value.
void SetSubtree(CQBTreeNode& node, int32_t value);
// Selected when every child is, partly when any child is selected or partly, else not selected.
// A node without children keeps its value.
int32_t FromChildren(const CQBTreeNode& node);

// The image of a node in the tree: a folder 0 + value closed and 3 + value open, a file 6 when
// selected and 7 when not.
int ImageIndex(const CQBTreeNode& node, bool expanded);

// Every selected node below the root, in tree order (a selected folder and its children alike).
void CollectSelected(const CQBTreeNode& root, std::vector<CQBTreeNode*>* selected);
// The number and total size of the selected nodes below the root.
void CountSelected(const CQBTreeNode& root, int* count, uint64_t* bytes);

}  // namespace delete_selection
