#pragma once
// Where the coordinator sends automation events: the automation event thread implements it and
// calls every connected client's listener on its own thread, so posting never blocks. Texts are
// the events' arguments as the clients receive them: decimal integers and texts joined by "|".

#include <cstdint>
#include <string>

class ICOMManagerListener;

class IAutomationEvents {
public:
    enum Kind : uint32_t {
        kUpdateFreeSpace = 0,
        kProgress = 1,
        kDeleteDialog = 2,
        kInvoke = 3,
        kTransferError = 4,
        kStart = 5,
        kEnd = 6,
        kUpdateFileNum = 7,
        kUpdateSyncFolder = 8,
        kSyncDialog = 9,
        kSettingDialog = 10,
        kFireSpace = 11,
    };

    // An event without argument: kTransferError, kStart, kEnd.
    virtual void Post(Kind kind) = 0;
    // An event whose argument is one text (kinds 0, 1, 3, 7 and 8).
    virtual void PostText(Kind kind, const std::wstring& text) = 0;
    // An event whose argument is one integer (kinds 2, 9 and 10).
    virtual void PostInt(Kind kind, int32_t value) = 0;
    // Sets (or with null withdraws) the coordinator entry point under the automation lock; returns
    // once no automation call can still be inside the old one.
    virtual void PublishEntryPoint(ICOMManagerListener* entryPoint) = 0;

protected:
    ~IAutomationEvents() = default;
};
