#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/media/tags/TagElementList.h"
#include "library/media/tags/TagOwnedPtr.h"

namespace {

struct Element {
    Element(std::string name, std::vector<std::string>* deleted) : name(std::move(name)), deleted(deleted) {}
    ~Element() { deleted->push_back(name); }
    std::string name;
    std::vector<std::string>* deleted;
};

std::string Names(const CTagElementList<Element>& list) {
    std::string names;
    for (auto* node = list.First(); node != list.End(); node = node->next) names += node->element->name;
    return names;
}

}  // namespace

TEST(TagElementList, KeepsOrderAndDeletesOnlyWhatItOwns) {
    std::vector<std::string> deleted;
    Element borrowed("b", &deleted);
    {
        CTagElementList<Element> list;
        ASSERT_EQ(0, list.Append(new Element("a", &deleted), true));
        ASSERT_EQ(0, list.Append(&borrowed, false));
        ASSERT_EQ(0, list.Append(new Element("c", &deleted), true));
        ASSERT_EQ(0, list.Append(new Element("d", &deleted), true));
        EXPECT_EQ("abcd", Names(list));
        EXPECT_EQ(4u, list.Count());
        EXPECT_EQ(&borrowed, list.Find([](const Element& e) { return e.name == "b"; }));
        EXPECT_EQ(nullptr, list.Find([](const Element& e) { return e.name == "x"; }));

        // Removing during a walk goes on with the node that followed.
        for (auto* node = list.First(); node != list.End();)
            node = node->element->name == "b" || node->element->name == "c" ? list.Remove(node) : node->next;
        EXPECT_EQ("ad", Names(list));
        EXPECT_EQ(2u, list.Count());
        EXPECT_EQ(std::vector<std::string>{"c"}, deleted);
    }
    EXPECT_EQ((std::vector<std::string>{"c", "a", "d"}), deleted);
}

TEST(TagOwnedPtr, MovesOwnershipAndLeavesTheSourceEmpty) {
    std::vector<std::string> deleted;
    CTagOwnedPtr<Element> first(new Element("owned", &deleted), true);
    CTagOwnedPtr<Element> second(std::move(first));
    EXPECT_EQ(nullptr, first.Get());
    EXPECT_TRUE(first.Owns());
    ASSERT_TRUE(second);
    Element borrowed("borrowed", &deleted);
    second = CTagOwnedPtr<Element>(&borrowed, false);
    EXPECT_EQ(std::vector<std::string>{"owned"}, deleted);
    second.Reset();
    EXPECT_EQ(std::vector<std::string>{"owned"}, deleted);
    EXPECT_EQ(nullptr, second.Get());
}
