// An ordered list of owned tag elements (frames, boxes, objects): a circular doubly linked list
// around a sentinel, so removal during a walk costs nothing and keeps the walk going.
#pragma once

#include <cstdint>
#include <new>

#include "library/media/tags/TagTypes.h"

template <class T>
class CTagElementList {
public:
    struct Node {
        T* element;
        bool owns;
        Node* previous;
        Node* next;
    };

    CTagElementList() { m_sentinel.previous = m_sentinel.next = &m_sentinel; }
    CTagElementList(const CTagElementList&) = delete;
    CTagElementList& operator=(const CTagElementList&) = delete;
    ~CTagElementList() { Clear(); }

    // On failure the element is deleted when it was owned, and the list stays as it was.
    int32_t Append(T* element, bool owns) { return InsertBefore(End(), element, owns); }

    // The same, in front of that node (End() for last).
    int32_t InsertBefore(const Node* at, T* element, bool owns) {
        Node* following = const_cast<Node*>(at);
        Node* node = new (std::nothrow) Node{element, owns, following->previous, following};
        if (!node) {
            if (owns) delete element;
            return tag::kOutOfMemory;
        }
        following->previous->next = node;
        following->previous = node;
        ++m_count;
        return tag::kOk;
    }

    // Loads a newly created element (null when its allocation failed) and takes ownership of it;
    // an element that fails to load is deleted.
    template <class Source>
    int32_t LoadAndAppend(T* element, Source* source) {
        if (!element) return tag::kOutOfMemory;
        const int32_t result = element->Load(source);
        if (result != tag::kOk) {
            delete element;
            return result;
        }
        return Append(element, true);
    }

    // Returns the node that followed the removed one.
    Node* Remove(Node* node) {
        Node* following = node->next;
        node->previous->next = node->next;
        node->next->previous = node->previous;
        if (node->owns) delete node->element;
        delete node;
        --m_count;
        return following;
    }

    // Puts the element in the node's place; the old element is deleted when it was owned.
    void Replace(Node* node, T* element, bool owns) {
        if (node->owns) delete node->element;
        node->element = element;
        node->owns = owns;
    }

    void Clear() {
        while (m_count) Remove(m_sentinel.next);
    }

    template <class Predicate>
    T* Find(Predicate matches) const {
        for (Node* node = First(); node != End(); node = node->next)
            if (matches(*node->element)) return node->element;
        return nullptr;
    }

    Node* First() const { return m_sentinel.next; }
    const Node* End() const { return &m_sentinel; }
    uint32_t Count() const { return m_count; }

private:
    Node m_sentinel{nullptr, false, nullptr, nullptr};
    uint32_t m_count = 0;
};
