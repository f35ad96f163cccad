#include "library/cdlookup/CDDBManager.h"

#include <objbase.h>

#include <cstdio>

#include "library/media/decode/MediaTagObjects.h"
#include "library/util/DataFolders.h"
#include "library/util/ModuleFolder.h"
#include "library/util/SystemSettings.h"

namespace {

const uint32_t kMediaWav = 5;

}  // namespace

CCDDBManager::CCDDBManager(bool enabled, const CFolders& folders) : enabled_(enabled ? 1 : 0), folders_(folders) {
    if (folders_.programFolder.empty()) folders_.programFolder = GetModuleFolder();
    if (folders_.userDataFolder.empty()) folders_.userDataFolder = GetUserDataFolder();
    if (folders_.commonDataFolder.empty()) folders_.commonDataFolder = GetCommonDataFolder();
}

CCDDBManager::~CCDDBManager() { Stop(); }

void CCDDBManager::SetLookupSwitch(bool on) {
    CScopedLock lock(stateLock_);
    lookupSwitch_ = on ? 1 : 0;
}

void CCDDBManager::SetCoverArtSwitch(bool on) {
    CScopedLock lock(stateLock_);
    coverArtSwitch_ = on ? 1 : 0;
}

void CCDDBManager::SetListener(IListener* listener) {
    CScopedLock lock(listenerLock_);
    listener_ = listener;
}

void CCDDBManager::SetMergeFunction(MergeAnalysisDataFn merge) {
    CScopedLock lock(stateLock_);
    merge_ = merge;
}

void CCDDBManager::OnThreadStart() {
    comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (!enabled_ || folders_.commonDataFolder.empty()) return;
    bool proxyEnabled = false;
    std::wstring host;
    long port = 0;
    if (!GetSystemProxy(&proxyEnabled, &host, &port) || !proxyEnabled) {
        host.clear();
        port = 0;
    }
    sdk_.reset(new (std::nothrow) CGNSDKUtil());
    if (!sdk_ || FAILED(sdk_->InitializeLookup(folders_.programFolder, folders_.commonDataFolder, host, port))) {
        sdk_.reset();
        sdkReady_ = 0;
    }
}

void CCDDBManager::OnThreadEnd() {
    sdk_.reset();
    if (comInitialised_) CoUninitialize();
    comInitialised_ = false;
}

void CCDDBManager::ProcessContent(CTNContent* content) {
    if (content != nullptr && content->kind == CTNContent::kSong && content->fileType != kMediaWav && enabled_) {
        bool lookupOn, coverOn;
        {
            CScopedLock lock(stateLock_);
            lookupOn = lookupSwitch_ != 0;
            coverOn = coverArtSwitch_ != 0;
        }
        const bool wantLookup = lookupOn && !content->hasMoodData && !content->analysisNotWanted;
        const bool wantCover = coverOn && content->pictureData == 0 &&
                               !HasCoverArt(content->sourcePath, static_cast<int32_t>(content->fileType));
        if (wantLookup || wantCover) LookupAndWriteResult(content, wantLookup, wantCover);
    }
    ForwardCurrent();
}

void CCDDBManager::LookupAndWriteResult(CTNContent* content, bool wantLookup, bool wantCoverArt) {
    Notify(0, false);
    bool found = false;
    if (sdkReady_ && sdk_) {
        CGNSDKUtil::CLookupResult result;
        const HRESULT hr = sdk_->Lookup(content->sourcePath, content->lookupId, wantLookup, wantCoverArt, &result);
        if (hr == S_OK) {
            if (content->lookupId.empty() && !result.learntIdentifier.empty()) {
                content->lookupId = result.learntIdentifier;
                content->writeLookupId = 1;
            }
            if (!result.data.empty()) {
                AttachData(content, result.data);
                content->hasMoodData = 1;
                found = true;
            }
            if (!result.picture.empty() && SavePicture(content, result.picture)) {
                found = true;
                content->replaceExisting = 1;
            }
        }
    }
    Notify(1, found);
}

void CCDDBManager::AttachData(CTNContent* content, const std::vector<BYTE>& data) {
    CTNByteArray* fresh = CTNByteArray::Create(static_cast<uint32_t>(data.size()));
    if (fresh == nullptr || FAILED(fresh->SetData(data.data(), static_cast<uint32_t>(data.size())))) {
        delete fresh;
        return;
    }
    if (content->byteArray == nullptr || content->byteArray->length == 0) {
        content->SetByteArray(fresh);
        return;
    }
    MergeAnalysisDataFn merge;
    {
        CScopedLock lock(stateLock_);
        merge = merge_;
    }
    CTNByteArray* merged = nullptr;
    if (merge != nullptr && SUCCEEDED(merge(content->byteArray, fresh, &merged)) && merged != nullptr)
        content->SetByteArray(merged);
    else
        delete merged;
    delete fresh;
}

bool CCDDBManager::SavePicture(CTNContent* content, const std::vector<BYTE>& picture) {
    if (content->id.empty() && !content->RenewId()) return false;
    const std::wstring path = folders_.userDataFolder + content->id + L"." + L"jpg";
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    const bool written = fwrite(picture.data(), 1, picture.size(), file) == picture.size();
    const bool closed = fclose(file) == 0;
    if (!written || !closed) {
        DeleteFileW(path.c_str());
        return false;
    }
    // A cover left by an earlier lookup of this record is replaced.
    if (!content->lookupCoverPath.empty() && content->lookupCoverPath != path)
        DeleteFileW(content->lookupCoverPath.c_str());
    content->lookupCoverPath = path;
    return true;
}

void CCDDBManager::Notify(int32_t state, bool found) {
    CScopedLock lock(listenerLock_);
    if (listener_ != nullptr) listener_->OnLookupProgress(state, found, 0);
}
