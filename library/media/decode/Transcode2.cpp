#include "library/media/decode/Transcode2.h"

#include <process.h>

#include <new>

#include "library/media/decode/Dump.h"
#include "library/media/decode/MemReader.h"
#include "library/media/decode/MemStream.h"
#include "library/media/decode/TranscodeTrace.h"
#include "platform/dshow/MediaType.h"

namespace {

const UINT kStopMessage = WM_APP + 1;
const UINT kRunMessage = WM_APP + 2;
const DWORD kRequestTimeoutMs = 5000;
// A thread's first window waits for the desktop process when none runs yet, which on a fresh,
// loaded machine can take seconds: the wait is long, and ends at once if the thread ends instead.
const DWORD kThreadReadyTimeoutMs = 30000;
const DWORD kThreadExitTimeoutMs = 10000;

// True when the thread set its ready event; false when it ended first or the wait ran out.
bool WaitUntilReady(HANDLE thread, HANDLE ready) {
    if (thread == nullptr) return false;
    const HANDLE handles[] = {ready, thread};
    return WaitForMultipleObjects(2, handles, FALSE, kThreadReadyTimeoutMs) == WAIT_OBJECT_0;
}

const wchar_t kControlClass[] = L"TranscodeThreadClass";
const wchar_t kMonitorClass[] = L"TranscodeEventMonitorThreadClass";

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A message-only window: it needs no display, and WM_CLOSE posted to it ends its thread's loop.
HWND CreateHiddenWindow(const wchar_t* className) {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = HiddenWindowProc;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);  // already registered by an earlier graph: fine
    return CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

template <class T>
void ReleaseField(T*& field) {
    if (field != nullptr) {
        field->Release();
        field = nullptr;
    }
}

void CloseField(HANDLE& handle) {
    if (handle != nullptr) {
        CloseHandle(handle);
        handle = nullptr;
    }
}

void JoinThread(HANDLE& thread) {
    if (thread == nullptr) return;
    WaitForSingleObject(thread, kThreadExitTimeoutMs);
    CloseField(thread);
}

}  // namespace

ITranscode2* CreateTranscode2(ISampleReceiver2* receiver) { return new (std::nothrow) CTranscode2(receiver); }

CTranscode2::CTranscode2(ISampleReceiver2* receiver) : receiver_(receiver) {}

// Deleting a live graph would leave its threads running on a freed object: tear it down first.
CTranscode2::~CTranscode2() {
    TranscodeTrace("Enter %s() (%p)\n", "CTranscode2::~CTranscode2", this);
    Release();
    TranscodeTrace("Leave %s() (%p)\n", "CTranscode2::~CTranscode2", this);
}

void CTranscode2::Release() {
    TranscodeTrace("Enter %s() (%p)\n", "CTranscode2::Release", this);
    if (HWND window = controlWindow_.exchange(nullptr)) PostMessageW(window, WM_CLOSE, 0, 0);
    if (HWND window = monitorWindow_.exchange(nullptr)) PostMessageW(window, WM_CLOSE, 0, 0);
    JoinThread(controlThread_);
    JoinThread(monitorThread_);
    if (sink_ != nullptr) sink_->SetReceiver(nullptr);
    ReleaseField(sinkFilter_);
    ReleaseField(mediaSeeking_);
    ReleaseField(mediaControl_);
    if (IMediaEvent* events = mediaEvent_.exchange(nullptr)) events->Release();
    ReleaseField(graph_);
    if (sink_ != nullptr) {
        sink_->GetInner()->Release();
        sink_ = nullptr;
    }
    if (inputMediaType_ != nullptr) {
        DeleteMediaTypeRecord(inputMediaType_);
        inputMediaType_ = nullptr;
    }
    ReleaseField(memReader_);
    delete memStream_;
    memStream_ = nullptr;
    CloseField(controlReadyEvent_);
    CloseField(stopProcessedEvent_);
    CloseField(m_hRunProcessedEvent);
    CloseField(monitorReadyEvent_);
    CloseField(graphControlMutex_);
    ReleaseSingleMode();
    TranscodeTrace("Leave %s() (%p)\n", "CTranscode2::Release", this);
}

void CTranscode2::ReleaseSingleMode() {
    TranscodeTrace("Enter %s() (%p)\n", "CTranscode2::ReleaseSingleMode", this);
    if (singleModeEvent_ != nullptr) {
        SetEvent(singleModeEvent_);
        CloseField(singleModeEvent_);
    }
    TranscodeTrace("Leave %s() (%p)\n", "CTranscode2::ReleaseSingleMode", this);
}

HRESULT CTranscode2::Initialize(ISampleReceiver2* receiver) {
    static const char kName[] = "CTranscode2::Initialize";
    TranscodeTrace("Enter %s() (%p)\n", kName, this);
    HRESULT hr = S_OK;
    singleModeEvent_ = OpenEventW(EVENT_ALL_ACCESS, TRUE, L"TranscodeSingleModeEvent");
    if (singleModeEvent_ != nullptr) {
        TranscodeTrace("  @%s(): Calling WaitForSingleObject(). (%p)\n", kName, this);
        const DWORD waited = WaitForSingleObject(singleModeEvent_, INFINITE);
        TranscodeTrace("  @%s(): Done WaitForSingleObject(). (%p)\n", kName, this);
        if (waited != WAIT_OBJECT_0) {
            // The token was not taken, so it must not be given back.
            CloseField(singleModeEvent_);
            hr = E_FAIL;
        }
    }
    if (SUCCEEDED(hr)) {
        sink_ = CDump::Create(nullptr, &hr);
        if (sink_ == nullptr) {
            hr = E_OUTOFMEMORY;
        } else {
            sink_->GetInner()->AddRef();
            if (SUCCEEDED(hr))
                hr = sink_->NonDelegatingQueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&sinkFilter_));
        }
    }
    if (SUCCEEDED(hr)) {
        receiver_ = receiver;
        sink_->SetReceiver(receiver);
        controlReadyEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        stopProcessedEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        m_hRunProcessedEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        monitorReadyEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        graphControlMutex_ = CreateMutexW(nullptr, FALSE, nullptr);
        if (!controlReadyEvent_ || !stopProcessedEvent_ || !m_hRunProcessedEvent || !monitorReadyEvent_ ||
            !graphControlMutex_)
            hr = E_FAIL;
    }
    if (SUCCEEDED(hr)) {
        controlThread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ControlThreadEntry, this, 0, nullptr));
        monitorThread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, MonitorThreadEntry, this, 0, nullptr));
        if (!WaitUntilReady(controlThread_, controlReadyEvent_) || controlWindow_ == nullptr) hr = E_FAIL;
        if (!WaitUntilReady(monitorThread_, monitorReadyEvent_) || monitorWindow_ == nullptr) hr = E_FAIL;
    }
    if (FAILED(hr)) ReleaseSingleMode();
    TranscodeTrace("Leave %s() = 0x%x (%p)\n", kName, static_cast<unsigned>(hr), this);
    return hr;
}

HRESULT CTranscode2::SetFile(const wchar_t* path, int sourceKind) {
    static const char kName[] = "CTranscode2::SetFile";
    TranscodeTrace("Enter %s() (%p)\n", kName, this);
    Release();
    HRESULT hr = Initialize(receiver_);
    IBaseFilter* feeding = nullptr;
    if (SUCCEEDED(hr)) hr = BuildGraph(path, sourceKind, &feeding);
    if (SUCCEEDED(hr) && graph_ == nullptr) hr = E_FAIL;
    if (SUCCEEDED(hr)) hr = graph_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&mediaControl_));
    if (SUCCEEDED(hr)) hr = graph_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&mediaSeeking_));
    IPin* input = nullptr;
    if (SUCCEEDED(hr)) {
        hr = E_FAIL;
        IEnumPins* pins = nullptr;
        if (feeding != nullptr && SUCCEEDED(feeding->EnumPins(&pins))) {
            IPin* pin = nullptr;
            while (input == nullptr && pins->Next(1, &pin, nullptr) == S_OK) {
                PIN_DIRECTION direction;
                if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_INPUT) {
                    input = pin;
                } else {
                    pin->Release();
                }
            }
            pins->Release();
        }
    }
    if (input != nullptr) {
        if (inputMediaType_ == nullptr) inputMediaType_ = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
        if (inputMediaType_ == nullptr) {
            hr = E_OUTOFMEMORY;
        } else {
            *inputMediaType_ = AM_MEDIA_TYPE{};
            hr = input->ConnectionMediaType(inputMediaType_);
            if (FAILED(hr)) {
                DeleteMediaTypeRecord(inputMediaType_);
                inputMediaType_ = nullptr;
            } else {
                mediaSeeking_->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
            }
        }
        input->Release();
    }
    if (feeding != nullptr) feeding->Release();
    TranscodeTrace("Leave %s() = 0x%x (%p)\n", kName, static_cast<unsigned>(hr), this);
    return hr;
}

HRESULT CTranscode2::PostAndWait(UINT message, HANDLE processed) {
    HWND window = controlWindow_;
    if (window == nullptr || processed == nullptr || mediaControl_ == nullptr) return E_FAIL;
    ResetEvent(processed);
    if (!PostMessageW(window, message, 0, 0)) return E_FAIL;
    return WaitForSingleObject(processed, kRequestTimeoutMs) == WAIT_OBJECT_0 ? S_OK : E_FAIL;
}

HRESULT CTranscode2::Run() {
    static const char kName[] = "CTranscode2::Run";
    TranscodeTrace("Enter %s() (%p)\n", kName, this);
    HRESULT hr = PostAndWait(kRunMessage, m_hRunProcessedEvent);
    if (FAILED(hr) && controlWindow_ != nullptr && m_hRunProcessedEvent != nullptr && mediaControl_ != nullptr)
        TranscodeTrace("WaitForSingleObject(m_hRunProcessedEvent, 5000) failed. 0x%x\n", static_cast<unsigned>(hr));
    TranscodeTrace("Leave %s() = 0x%x (%p)\n", kName, static_cast<unsigned>(hr), this);
    return hr;
}

HRESULT CTranscode2::Stop() {
    static const char kName[] = "CTranscode2::Stop";
    TranscodeTrace("Enter %s() (%p)\n", kName, this);
    const HRESULT hr = PostAndWait(kStopMessage, stopProcessedEvent_);
    TranscodeTrace("Leave %s() = 0x%x (%p)\n", kName, static_cast<unsigned>(hr), this);
    return hr;
}

HRESULT CTranscode2::GetInputMediaType(AM_MEDIA_TYPE* type) {
    static const char kName[] = "CTranscode2::GetInputMediaType";
    TranscodeTrace("Enter %s() (%p)\n", kName, this);
    HRESULT hr = E_FAIL;
    if (inputMediaType_ != nullptr && type != nullptr && type != inputMediaType_) {
        FreeMediaTypeContents(*type);
        hr = CopyMediaTypeContents(*type, *inputMediaType_);
    }
    TranscodeTrace("Leave %s() = 0x%x (%p)\n", kName, static_cast<unsigned>(hr), this);
    return hr;
}

HRESULT CTranscode2::GetDuration(LONGLONG* milliseconds) {
    static const char kName[] = "CTranscode2::GetDuration";
    TranscodeTrace("Enter %s() (%p)\n", kName, this);
    HRESULT hr = E_FAIL;
    if (mediaSeeking_ != nullptr && milliseconds != nullptr) {
        LONGLONG duration = 0;
        hr = mediaSeeking_->GetDuration(&duration);
        // 100-nanosecond units to milliseconds.
        if (SUCCEEDED(hr)) *milliseconds = duration / 10000;
    }
    TranscodeTrace("Leave %s() = 0x%x (%p)\n", kName, static_cast<unsigned>(hr), this);
    return hr;
}

unsigned __stdcall CTranscode2::ControlThreadEntry(void* self) {
    static_cast<CTranscode2*>(self)->thrProc();
    return 0;
}

unsigned __stdcall CTranscode2::MonitorThreadEntry(void* self) {
    static_cast<CTranscode2*>(self)->thrMonitorEventProc();
    return 0;
}

void CTranscode2::thrProc() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    controlWindow_ = CreateHiddenWindow(kControlClass);
    SetEvent(controlReadyEvent_);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == kStopMessage) {
            if (WaitForSingleObject(graphControlMutex_, INFINITE) == WAIT_OBJECT_0) {
                if (mediaControl_ != nullptr) mediaControl_->Stop();
                ReleaseMutex(graphControlMutex_);
            }
            SetEvent(stopProcessedEvent_);
        } else if (message.message == kRunMessage) {
            if (WaitForSingleObject(graphControlMutex_, INFINITE) == WAIT_OBJECT_0) {
                if (mediaControl_ != nullptr) {
                    const HRESULT hr = mediaControl_->Run();
                    TranscodeTrace("  @%s() Done IMediaControl::Run() = 0x%x\n", "CTranscode2::thrProc",
                                   static_cast<unsigned>(hr));
                }
                ReleaseMutex(graphControlMutex_);
            }
            SetEvent(m_hRunProcessedEvent);
        } else {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    CoUninitialize();
}

void CTranscode2::thrMonitorEventProc() {
    TranscodeTrace("Enter %s(%p)\n", "CTranscode2::thrMonitorEventProc", this);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    monitorWindow_ = CreateHiddenWindow(kMonitorClass);
    SetEvent(monitorReadyEvent_);
    for (;;) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageW(&message, nullptr, 0, 0) <= 0) break;
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        DrainGraphEvents();
        Sleep(10);
    }
    CoUninitialize();
}

void CTranscode2::DrainGraphEvents() {
    IMediaEvent* events = mediaEvent_;
    if (events == nullptr) return;
    long code = 0;
    LONG_PTR first = 0, second = 0;
    while (SUCCEEDED(events->GetEvent(&code, &first, &second, 0))) {
        // Completion reaches the receiver through the sink; only an abort is passed on here.
        if (code == EC_ERRORABORT && receiver_ != nullptr) receiver_->OnStop(1);
        events->FreeEventParams(code, first, second);
    }
}
