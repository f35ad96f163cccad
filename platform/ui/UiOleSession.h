#pragma once
// OLE on the calling thread (drag and drop, the clipboard, COM in a single-threaded apartment),
// from Initialize until Uninitialize or destruction, on the same thread.

class CUiOleSession {
public:
    CUiOleSession() = default;
    ~CUiOleSession() { Uninitialize(); }
    CUiOleSession(const CUiOleSession&) = delete;
    CUiOleSession& operator=(const CUiOleSession&) = delete;

    // True when OLE is usable; a second call does nothing more.
    bool Initialize();
    void Uninitialize();
    bool IsInitialized() const { return initialized_; }

private:
    bool initialized_ = false;
};
