#include "library/media/decode/DumpFilter.h"

#include <cguid.h>

#include "library/media/decode/Dump.h"
#include "library/media/decode/DumpInputPin.h"

CDumpFilter::CDumpFilter(CDump* dump, IUnknown* owner, CCriticalSection* lock, HRESULT*)
    : CDsBaseFilter(L"Dump", owner, lock, GUID_NULL), dump_(dump) {}

CDsBasePin* CDumpFilter::GetPin(int index) { return index == 0 ? dump_->Pin() : nullptr; }

HRESULT STDMETHODCALLTYPE CDumpFilter::Stop() {
    CScopedLock lock(*FilterLock());
    return CDsBaseFilter::Stop();
}

HRESULT STDMETHODCALLTYPE CDumpFilter::Pause() {
    CScopedLock lock(*FilterLock());
    // Nothing is written without a file name; the failed open is not the graph's concern.
    if (!dump_->WriteError()) dump_->OpenFile();
    return CDsBaseFilter::Pause();
}

HRESULT STDMETHODCALLTYPE CDumpFilter::Run(REFERENCE_TIME start) {
    CScopedLock lock(*FilterLock());
    dump_->ClearWriteError();
    AM_MEDIA_TYPE type = {};
    if (SUCCEEDED(dump_->Pin()->ConnectionMediaType(&type)) && dump_->Receiver() != nullptr)
        dump_->Receiver()->OnMediaType(&type);
    FreeMediaTypeContents(type);
    return CDsBaseFilter::Run(start);
}
