#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One folder or file of a player's contents. A node owns its children, so whoever holds the root
// owns the whole tree. The destructor is virtual: a tree built in one module may be freed in another.
//
// Nodes are made through NewFolder and NewFile. Their path and name arguments have distinct types,
// so passing the name where the path belongs does not compile.
class CQBTreeNode {
public:
    enum NodeType : int32_t { kFolder = 0, kFile = 1 };
    // Check values shown by the delete dialog.
    enum Check : int32_t { kSelected = 0, kNotSelected = 1, kPartlySelected = 2 };

    struct Path {
        std::wstring text;
    };
    struct Name {
        std::wstring text;
    };

    // A folder node: size 0. Any type other than kFile is kept as given and means a folder.
    static std::unique_ptr<CQBTreeNode> NewFolder(Path path, Name name, int32_t type = kFolder);
    // A file node carrying the (low 32 bits of the) file's size.
    static std::unique_ptr<CQBTreeNode> NewFile(Path path, Name name, uint32_t size);

    virtual ~CQBTreeNode();
    CQBTreeNode(const CQBTreeNode&) = delete;
    CQBTreeNode& operator=(const CQBTreeNode&) = delete;

    // Takes the child over and returns true; a file node (or a null child) takes nothing and the
    // child stays with the caller.
    bool AddChild(std::unique_ptr<CQBTreeNode>& child);

    std::wstring GetPath() const { return path_; }
    std::wstring GetName() const { return name_; }
    // The children in the order they were added; they stay owned by this node.
    std::vector<CQBTreeNode*> GetChildren() const { return children_; }
    size_t GetChildCount() const { return children_.size(); }

    int32_t GetType() const { return type_; }
    bool IsFile() const { return type_ == kFile; }
    uint32_t GetSize() const { return size_; }
    int32_t GetCheck() const { return check_; }
    void SetCheck(int32_t check) { check_ = check; }

protected:
    CQBTreeNode(int32_t type, std::wstring path, std::wstring name, uint32_t size);

private:

    int32_t type_;
    std::wstring name_;
    std::wstring path_;
    uint32_t size_;
    int32_t check_ = kNotSelected;
    std::vector<CQBTreeNode*> children_;
};
