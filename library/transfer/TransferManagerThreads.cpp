// The device thread (enumeration), the folder-tree thread and the delete thread.
#include "library/transfer/TransferManager.h"

#include <objbase.h>
#include <process.h>

#include "library/capability/DevCapability.h"
#include "library/device/QBTreeNode.h"
#include "library/mood/MoodChannelExport.h"
#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"

namespace {
// The thread message that asks the device thread for an enumeration.
constexpr UINT kEnumerateMessage = 0x8001;
}  // namespace

void CTransferManager::StartDeviceThread() {
    CreateFolderTree(DataFolder());
    BeginMoodChannelExport(DataFolder());
    if (deviceThread_ == nullptr) {
        // The thread's message queue must exist before the first request is posted to it.
        deviceThreadReady_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        unsigned id = 0;
        deviceThread_ = reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, &CTransferManager::DeviceThreadEntry, this, 0, &id));
        deviceThreadId_ = id;
        if (deviceThread_ != nullptr && deviceThreadReady_ != nullptr) {
            WaitForSingleObject(deviceThreadReady_, INFINITE);
        }
        if (deviceThreadReady_ != nullptr) CloseHandle(deviceThreadReady_);
        deviceThreadReady_ = nullptr;
    }
    mtp_->InitializeCom();
    massStorage_->InitializeCom();
}

void CTransferManager::ShutdownDevices() {
    StopWrites();
    AbortEnumeration();
    mtp_->UninitializeCom();
    massStorage_->UninitializeCom();
    SetCurrentDevId(std::wstring());
    EndMoodChannelExport();
}

void CTransferManager::WaitForStep() {
    if (stepEvent_ != nullptr) WaitForSingleObject(stepEvent_, stepWaitMs_);
}

void CTransferManager::AbortEnumeration() {
    if (stepEvent_ == nullptr) return;
    if (activeType_ != kNoController) active_->AbortEnumeration();
    WaitForStep();
}

void CTransferManager::RequestEnumeration() {
    AbortEnumeration();
    if (deviceThread_ == nullptr || stepEvent_ == nullptr) return;
    active_->BeginEnumeration();
    ResetEvent(stepEvent_);
    if (!PostThreadMessageW(deviceThreadId_, kEnumerateMessage, 0, 0)) SetEvent(stepEvent_);
}

unsigned __stdcall CTransferManager::DeviceThreadEntry(void* self) {
    static_cast<CTransferManager*>(self)->RunDeviceThread();
    return 0;
}

void CTransferManager::RunDeviceThread() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(deviceThreadReady_);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kEnumerateMessage) {
            bool feeds = false;
            {
                CScopedLock lock(deviceLock_);
                feeds = capability_ != nullptr && capability_->HasAnyFeedFormat();
            }
            if (activeType_ != kNoController) {
                active_->EnumerateContents(feeds);
                active_->EndEnumeration();
            }
            SetEvent(stepEvent_);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
}

void CTransferManager::StopTreeOrDeleteThread() {
    if (treeOrDeleteThread_ == nullptr) return;
    active_->AbortTreeOperation();
    WaitForSingleObject(treeOrDeleteThread_, INFINITE);
    CloseHandle(treeOrDeleteThread_);
    treeOrDeleteThread_ = nullptr;
}

void CTransferManager::StartFolderTreeThread(int folderIndex) {
    AbortEnumeration();
    StopTreeOrDeleteThread();
    treeFolderIndex_ = folderIndex;
    active_->BeginTreeOperation();
    treeOrDeleteThread_ = StartThread(&CTransferManager::TreeThreadEntry);
}

void CTransferManager::StopFolderTreeThread() {
    StopTreeOrDeleteThread();
}

void CTransferManager::StartDeleteThread(const std::vector<CQBTreeNode*>& selection) {
    AbortEnumeration();
    StopTreeOrDeleteThread();
    InterlockedExchange(&deleting_, 1);
    // The dialog owns the nodes and may free them while the thread runs: keep their paths.
    selectionPaths_.clear();
    for (const CQBTreeNode* node : selection) {
        if (node != nullptr) selectionPaths_.push_back(node->GetPath());
    }
    treeOrDeleteThread_ = StartThread(&CTransferManager::DeleteThreadEntry);
}

void CTransferManager::StopDeleteThread() {
    if (treeOrDeleteThread_ == nullptr) return;
    InterlockedExchange(&deleting_, 0);
    StopTreeOrDeleteThread();
}

unsigned __stdcall CTransferManager::TreeThreadEntry(void* self) {
    static_cast<CTransferManager*>(self)->RunTreeThread();
    return 0;
}

unsigned __stdcall CTransferManager::DeleteThreadEntry(void* self) {
    static_cast<CTransferManager*>(self)->RunDeleteThread();
    return 0;
}

void CTransferManager::RunTreeThread() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (activeType_ != kNoController) {
        int count = 0;
        reportedTree_ = nullptr;
        CQBTreeNode* root = active_->BuildFolderTree(treeFolderIndex_, &count, true);
        active_->EndTreeOperation();
        // A tree the listener did not receive (aborted, or no listener) is still ours.
        if (root != nullptr && (root != reportedTree_ || listener_ == nullptr)) delete root;
    }
    CoUninitialize();
}

void CTransferManager::RunDeleteThread() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (activeType_ != kNoController) {
        for (auto path = selectionPaths_.rbegin();
             path != selectionPaths_.rend() && InterlockedCompareExchange(&deleting_, 1, 1) != 0;
             ++path) {
            active_->DeleteContent(*path);
            if (listener_ != nullptr) listener_->OnContentDeleted(0);
        }
        active_->BeginTreeOperation();
        int count = 0;
        CQBTreeNode* root = active_->BuildFolderTree(treeFolderIndex_, &count, false);
        active_->EndTreeOperation();
        if (listener_ != nullptr) {
            listener_->OnDeleteFinished(0, root);
        } else {
            delete root;
        }
    }
    CoUninitialize();
}
