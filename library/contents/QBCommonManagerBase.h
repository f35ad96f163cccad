#pragma once
// The narrow view of the coordinator that the contents manager holds. The coordinator and the
// wizard's manager implement it; keep the operations in this order.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "library/capability/DevCapability.h"

class CTNContent;

class CQBCommonManagerBase {
public:
    virtual ~CQBCommonManagerBase() = default;

    // The first seven do nothing by default.
    virtual void UpdateProgress(int32_t /*value*/) {}
    // One announced item has left the run without travelling down the chain.
    virtual void NotifyItemDone() {}
    virtual void CheckTransferFinished() {}
    virtual void OnAnalysisNotice(CTNContent* /*content*/) {}
    virtual void NotifyEnd() {}
    // The previous sync's file list of a scan kind (0 music, 2 video, 3 podcast).
    virtual void GetSyncFileList(int /*kind*/, std::vector<std::wstring>* /*list*/) {}
    virtual void SetFrameBusy(int32_t /*busy*/) {}

    // True when the content's destination already exists on the player; `existingPath` then
    // holds it.
    virtual bool DeviceRequest(CTNContent* content, std::wstring* existingPath) = 0;
    // True while any stage of the chain holds work.
    virtual bool IsBusy() = 0;
    virtual bool GetSyncSwitch(int kind) = 0;
    virtual bool FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                        const std::wstring& extension, int type, int index,
                                        int filter) = 0;
    virtual bool FindPlaybackCapabilityFor(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                           const std::wstring& extension, int type, int filter) = 0;
    // 1 with the picture's width and height; anything else when it cannot be learned.
    virtual int32_t GetFrameLayout(const std::wstring& path, int32_t* width, int32_t* height) = 0;
};
