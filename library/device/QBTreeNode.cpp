#include "library/device/QBTreeNode.h"

#include <utility>

std::unique_ptr<CQBTreeNode> CQBTreeNode::NewFolder(Path path, Name name, int32_t type) {
    return std::unique_ptr<CQBTreeNode>(
        new CQBTreeNode(type, std::move(path.text), std::move(name.text), 0));
}

std::unique_ptr<CQBTreeNode> CQBTreeNode::NewFile(Path path, Name name, uint32_t size) {
    return std::unique_ptr<CQBTreeNode>(
        new CQBTreeNode(kFile, std::move(path.text), std::move(name.text), size));
}

CQBTreeNode::CQBTreeNode(int32_t type, std::wstring path, std::wstring name, uint32_t size)
    : type_(type), name_(std::move(name)), path_(std::move(path)), size_(size) {}

CQBTreeNode::~CQBTreeNode() {
    // Player folders can nest deeply; taking the grandchildren over first keeps the stack flat
    // instead of recursing once per level. Every node is still deleted exactly once.
    std::vector<CQBTreeNode*> pending;
    pending.swap(children_);
    for (size_t i = 0; i < pending.size(); ++i) {
        CQBTreeNode* node = pending[i];
        pending.insert(pending.end(), node->children_.begin(), node->children_.end());
        node->children_.clear();
    }
    for (CQBTreeNode* node : pending) delete node;
}

bool CQBTreeNode::AddChild(std::unique_ptr<CQBTreeNode>& child) {
    if (!child || IsFile()) return false;
    children_.push_back(child.get());
    child.release();
    return true;
}
