// A pointer that deletes its object only when it owns it; moving it hands the ownership on.
#pragma once

#include <utility>

template <class T>
class CTagOwnedPtr {
public:
    CTagOwnedPtr() = default;
    CTagOwnedPtr(T* object, bool owns) : m_object(object), m_owns(owns) {}
    CTagOwnedPtr(CTagOwnedPtr&& other) noexcept : m_object(other.m_object), m_owns(other.m_owns) {
        other.m_object = nullptr;
        other.m_owns = true;
    }
    CTagOwnedPtr& operator=(CTagOwnedPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            m_object = other.m_object;
            m_owns = other.m_owns;
            other.m_object = nullptr;
            other.m_owns = true;
        }
        return *this;
    }
    CTagOwnedPtr(const CTagOwnedPtr&) = delete;
    CTagOwnedPtr& operator=(const CTagOwnedPtr&) = delete;
    ~CTagOwnedPtr() { Reset(); }

    void Reset() {
        if (m_owns) delete m_object;
        m_object = nullptr;
        m_owns = true;
    }
    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    bool Owns() const { return m_owns; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
    bool m_owns = true;
};
