#include "library/device/QBTreeNode.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Counts live nodes so the tests can see that a freed tree leaves none behind.
class CCountedNode : public CQBTreeNode {
public:
    static int live;
    static std::unique_ptr<CQBTreeNode> Folder(const std::wstring& path) {
        return std::unique_ptr<CQBTreeNode>(new CCountedNode(kFolder, path, 0));
    }
    static std::unique_ptr<CQBTreeNode> File(const std::wstring& path) {
        return std::unique_ptr<CQBTreeNode>(new CCountedNode(kFile, path, 7));
    }
    ~CCountedNode() override { --live; }

private:
    CCountedNode(int32_t type, const std::wstring& path, uint32_t size)
        : CQBTreeNode(type, path, path, size) {
        ++live;
    }
};
int CCountedNode::live = 0;

TEST(QBTreeNodeTest, FactoriesFillTheFieldsAndStartUnselected) {
    auto folder = CQBTreeNode::NewFolder({L"E:\\MUSIC"}, {L"MUSIC"});
    EXPECT_EQ(folder->GetPath(), L"E:\\MUSIC");
    EXPECT_EQ(folder->GetName(), L"MUSIC");
    EXPECT_EQ(folder->GetType(), CQBTreeNode::kFolder);
    EXPECT_FALSE(folder->IsFile());
    EXPECT_EQ(folder->GetSize(), 0u);
    EXPECT_EQ(folder->GetCheck(), CQBTreeNode::kNotSelected);
    EXPECT_TRUE(folder->GetChildren().empty());

    auto file = CQBTreeNode::NewFile({L"E:\\MUSIC\\a.mp3"}, {L"a.mp3"}, 4096);
    EXPECT_EQ(file->GetPath(), L"E:\\MUSIC\\a.mp3");
    EXPECT_EQ(file->GetName(), L"a.mp3");
    EXPECT_TRUE(file->IsFile());
    EXPECT_EQ(file->GetSize(), 4096u);
    EXPECT_EQ(file->GetCheck(), CQBTreeNode::kNotSelected);

    // A folder constructor keeps an unusual type as given; it is still not a file.
    auto other = CQBTreeNode::NewFolder({L"p"}, {L"n"}, 7);
    EXPECT_EQ(other->GetType(), 7);
    EXPECT_FALSE(other->IsFile());
    auto child = CQBTreeNode::NewFile({L"p\\f"}, {L"f"}, 1);
    EXPECT_TRUE(other->AddChild(child));
}

TEST(QBTreeNodeTest, ChildrenKeepTheirOrderAndFileNodesRefuseChildren) {
    auto root = CQBTreeNode::NewFolder({L"R"}, {L"R"});
    for (const wchar_t* name : {L"b", L"a", L"c"}) {
        auto child = CQBTreeNode::NewFile({std::wstring(L"R\\") + name}, {name}, 1);
        ASSERT_TRUE(root->AddChild(child));
        EXPECT_EQ(child, nullptr);
    }
    std::vector<CQBTreeNode*> children = root->GetChildren();
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0]->GetName(), L"b");
    EXPECT_EQ(children[1]->GetName(), L"a");
    EXPECT_EQ(children[2]->GetName(), L"c");

    // The rejected child stays with the caller, untouched.
    auto orphan = CQBTreeNode::NewFolder({L"x"}, {L"x"});
    EXPECT_FALSE(children[0]->AddChild(orphan));
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(orphan->GetPath(), L"x");
    EXPECT_TRUE(children[0]->GetChildren().empty());

    std::unique_ptr<CQBTreeNode> none;
    EXPECT_FALSE(root->AddChild(none));
    EXPECT_EQ(root->GetChildCount(), 3u);
}

TEST(QBTreeNodeTest, FreeingTheRootFreesEveryNodeOnce) {
    CCountedNode::live = 0;
    {
        // Three levels, then a wide and a deep part: 10,000 nodes in all.
        auto root = CCountedNode::Folder(L"root");
        int made = 1;
        CQBTreeNode* level1 = nullptr;
        for (int i = 0; i < 3; ++i) {
            auto folder = CCountedNode::Folder(L"l1");
            level1 = folder.get();
            root->AddChild(folder);
            ++made;
        }
        for (int i = 0; i < 4000; ++i) {
            auto file = CCountedNode::File(L"f");
            level1->AddChild(file);
            ++made;
        }
        CQBTreeNode* deepest = level1;
        while (made < 10000) {
            auto folder = CCountedNode::Folder(L"d");
            CQBTreeNode* next = folder.get();
            deepest->AddChild(folder);
            deepest = next;
            ++made;
        }
        EXPECT_EQ(CCountedNode::live, 10000);
    }
    EXPECT_EQ(CCountedNode::live, 0);
}

}  // namespace
