#include "CScriptedCoordinator.h"

#include <cwchar>

#include "app/main/COMManagerMainThread.h"

namespace {

const int kMaxEvents = 100000;
const int kMaxClients = 16;

CCOMManager::CMainThread& Events() { return CCOMManager::MainThread(); }

}  // namespace

const wchar_t CScriptedCoordinator::kHelpFile[] = L"C:\\Program Files\\Tavrel\\Quillbay\\Quillbay.chm";

void CScriptedCoordinator::Transfer(BSTR value, int fileType, int basePathLength, int* result) {
    int events = 0;
    int clients = 0;
    if (!value || swscanf(value, L"run|%d|%d", &events, &clients) != 2) {
        *result = TransferAnswer(fileType, basePathLength);
        return;
    }
    if (events < 0 || events > kMaxEvents || clients < 1 || clients > kMaxClients) return;
    std::lock_guard<std::mutex> guard(mutex_);
    *result = kRunStarted;
    if (++runClients_ < clients) return;
    runClients_ = 0;
    runEvents_ = events;
    if (runThread_) {
        WaitForSingleObject(runThread_, INFINITE);
        CloseHandle(runThread_);
    }
    runThread_ = CreateThread(nullptr, 0, &CScriptedCoordinator::RunThread, this, 0, nullptr);
}

DWORD WINAPI CScriptedCoordinator::RunThread(void* context) {
    CScriptedCoordinator* self = static_cast<CScriptedCoordinator*>(context);
    int events = 0;
    {
        std::lock_guard<std::mutex> guard(self->mutex_);
        events = self->runEvents_;
    }
    for (int index = 0; index < events; ++index) {
        Events().PostProgress(3, L"Song " + std::to_wstring(index) + L".mp3", index, events);
        CCOMManager::CMainThread::InvokeDescription device;
        device.field1 = index;
        device.field2 = L"Player";
        device.field3 = L"TQ-100";
        device.field4 = -index;
        device.field5 = L"E:\\";
        device.flag9 = (index % 2) != 0;
        device.flag12 = true;
        Events().PostInvoke(device);
    }
    return 0;
}

void CScriptedCoordinator::JoinRun() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!runThread_) return;
    WaitForSingleObject(runThread_, INFINITE);
    CloseHandle(runThread_);
    runThread_ = nullptr;
}

void CScriptedCoordinator::UpdateSetting(BSTR parameters) {
    Events().PostUpdateSyncFolder(parameters ? parameters : L"");
}

void CScriptedCoordinator::OpenDeleteDialog(int) {
    Events().PostDeleteDialog(0);
    Events().PostDeleteDialog(1);
}

void CScriptedCoordinator::FireSpace() {
    const int32_t figures[7] = {1, -2, 0, 3, 4, 5, 6};
    Events().PostUpdateFreeSpace(figures);
}

void CScriptedCoordinator::OpenLogFile() { Events().PostTransferError(); }

void CScriptedCoordinator::OpenSyncDialog(int) {
    Events().PostSyncDialog(0);
    Events().PostSyncDialog(1);
}

void CScriptedCoordinator::StartSync() {
    Events().PostStart();
    Events().PostUpdateFileNum(1, 2);
    Events().PostEnd();
}

void CScriptedCoordinator::OpenSettingDialog() {
    Events().PostSettingDialog(0);
    Events().PostSettingDialog(1);
}
