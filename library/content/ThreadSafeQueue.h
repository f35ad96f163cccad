#pragma once

#include <list>

#include "library/util/ScopedWin.h"

// A locked FIFO of owned pointers. Whatever the queue holds it deletes when cleared or destroyed;
// once the destructor has closed it, pushes fail and the caller keeps the element.
template <typename T>
class CThreadSafeQueue {
public:
    CThreadSafeQueue() = default;
    CThreadSafeQueue(const CThreadSafeQueue&) = delete;
    CThreadSafeQueue& operator=(const CThreadSafeQueue&) = delete;

    virtual ~CThreadSafeQueue() {
        CScopedLock lock(lock_);
        closed_ = true;
        DeleteAll();
    }

    HRESULT Push(T* element) {
        CScopedLock lock(lock_);
        if (closed_) return E_FAIL;
        items_.push_back(element);
        return S_OK;
    }

    HRESULT Pop(T** out) {
        if (out == nullptr) return E_INVALIDARG;
        CScopedLock lock(lock_);
        if (items_.empty()) {
            *out = nullptr;
            return E_FAIL;
        }
        *out = items_.front();
        items_.pop_front();
        return S_OK;
    }

    void Clear() {
        CScopedLock lock(lock_);
        DeleteAll();
    }

    size_t Count() {
        CScopedLock lock(lock_);
        return items_.size();
    }

private:
    void DeleteAll() {
        for (T* item : items_) delete item;
        items_.clear();
    }

    bool closed_ = false;
    std::list<T*> items_;
    CCriticalSection lock_;
};
