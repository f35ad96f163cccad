#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/dialogs/DeleteSelection.h"

using namespace delete_selection;
using ::testing::ElementsAre;

namespace {

std::unique_ptr<CQBTreeNode> Folder(const wchar_t* name) {
    return CQBTreeNode::NewFolder({std::wstring(L"\\") + name}, {name});
}

std::unique_ptr<CQBTreeNode> File(const wchar_t* name, uint32_t size) {
    return CQBTreeNode::NewFile({std::wstring(L"\\") + name}, {name}, size);
}

CQBTreeNode* Add(CQBTreeNode& parent, std::unique_ptr<CQBTreeNode> child) {
    CQBTreeNode* raw = child.get();
    EXPECT_TRUE(parent.AddChild(child));
    return raw;
}

}  // namespace

TEST(DeleteSelectionTest, ToggleTable) {
    EXPECT_EQ(Toggled(CQBTreeNode::kSelected), CQBTreeNode::kNotSelected);
    EXPECT_EQ(Toggled(CQBTreeNode::kNotSelected), CQBTreeNode::kSelected);
    EXPECT_EQ(Toggled(CQBTreeNode::kPartlySelected), CQBTreeNode::kNotSelected);
}

TEST(DeleteSelectionTest, ParentFollowsItsChildren) {
    const struct {
        std::vector<int32_t> children;
        int32_t parent;
    } cases[] = {
        {{0, 0, 0}, 0}, {{0, 1}, 2}, {{1, 1}, 1}, {{2, 1}, 2}, {{2, 0}, 2}, {{1, 2, 0}, 2}, {{0}, 0}, {{1}, 1},
    };
    for (const auto& c : cases) {
        auto parent = Folder(L"p");
        for (int32_t value : c.children) Add(*parent, File(L"f", 1))->SetCheck(value);
        EXPECT_EQ(FromChildren(*parent), c.parent) << ::testing::PrintToString(c.children);
    }
    auto empty = Folder(L"e");
    empty->SetCheck(CQBTreeNode::kSelected);
    EXPECT_EQ(FromChildren(*empty), CQBTreeNode::kSelected);
}

TEST(DeleteSelectionTest, ImageIndexFormula) {
    auto folder = Folder(L"d");
    auto file = File(L"f", 1);
    for (int32_t value : {0, 1, 2}) {
        folder->SetCheck(value);
        EXPECT_EQ(ImageIndex(*folder, false), value);
        EXPECT_EQ(ImageIndex(*folder, true), 3 + value);
    }
    file->SetCheck(CQBTreeNode::kSelected);
    EXPECT_EQ(ImageIndex(*file, false), 6);
    file->SetCheck(CQBTreeNode::kNotSelected);
    EXPECT_EQ(ImageIndex(*file, true), 7);
}

TEST(DeleteSelectionTest, ClickingAPartlySelectedFolderClearsItsWholeSubtree) {
    auto root = Folder(L"root");
    CQBTreeNode* album = Add(*root, Folder(L"album"));
    CQBTreeNode* a = Add(*album, File(L"a", 10));
    CQBTreeNode* disc = Add(*album, Folder(L"disc"));
    CQBTreeNode* b = Add(*disc, File(L"b", 20));
    SetSubtree(*b, 0);
    disc->SetCheck(FromChildren(*disc));
    album->SetCheck(FromChildren(*album));
    EXPECT_EQ(album->GetCheck(), CQBTreeNode::kPartlySelected);

    SetSubtree(*album, Toggled(album->GetCheck()));
    for (CQBTreeNode* node : {album, a, disc, b}) EXPECT_EQ(node->GetCheck(), CQBTreeNode::kNotSelected);
}

TEST(DeleteSelectionTest, CollectAndCountListSelectedNodesBelowTheRootInTreeOrder) {
    auto root = Folder(L"root");
    CQBTreeNode* album = Add(*root, Folder(L"album"));
    CQBTreeNode* a = Add(*album, File(L"a", 10));
    CQBTreeNode* b = Add(*album, File(L"b", 20));
    CQBTreeNode* c = Add(*root, File(L"c", 40));
    Add(*root, File(L"d", 80));
    SetSubtree(*root, CQBTreeNode::kNotSelected);
    SetSubtree(*album, CQBTreeNode::kSelected);
    c->SetCheck(CQBTreeNode::kSelected);
    root->SetCheck(CQBTreeNode::kSelected);  // the root itself never counts

    std::vector<CQBTreeNode*> selected;
    CollectSelected(*root, &selected);
    EXPECT_THAT(selected, ElementsAre(album, a, b, c));
    int count = 0;
    uint64_t bytes = 0;
    CountSelected(*root, &count, &bytes);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(bytes, 70u);
}
