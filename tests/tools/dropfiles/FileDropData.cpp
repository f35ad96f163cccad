#include "tests/tools/dropfiles/FileDropData.h"

#include <shlobj.h>

#include <cstring>

namespace {

FORMATETC HDropFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

CFileDropData::CFileDropData(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) {
        list += path;
        list += L'\0';
    }
    list += L'\0';
    block_.resize(sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    memcpy(block_.data(), &header, sizeof(header));
    memcpy(block_.data() + sizeof(header), list.data(), list.size() * sizeof(wchar_t));
}

HRESULT STDMETHODCALLTYPE CFileDropData::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDataObject) {
        return E_NOINTERFACE;
    }
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CFileDropData::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE CFileDropData::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE CFileDropData::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) {
        return E_INVALIDARG;
    }
    memset(medium, 0, sizeof(*medium));
    const HRESULT offered = QueryGetData(format);
    if (offered != S_OK) {
        return offered;
    }
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, block_.size());
    void* bytes = copy ? GlobalLock(copy) : nullptr;
    if (!bytes) {
        if (copy) {
            GlobalFree(copy);
        }
        return E_OUTOFMEMORY;
    }
    memcpy(bytes, block_.data(), block_.size());
    GlobalUnlock(copy);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileDropData::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CFileDropData::QueryGetData(FORMATETC* format) {
    if (!format) {
        return E_INVALIDARG;
    }
    if (format->cfFormat != CF_HDROP) {
        return DV_E_FORMATETC;
    }
    if (!(format->tymed & TYMED_HGLOBAL)) {
        return DV_E_TYMED;
    }
    return format->dwAspect == DVASPECT_CONTENT ? S_OK : DV_E_DVASPECT;
}

HRESULT STDMETHODCALLTYPE CFileDropData::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out) {
        out->ptd = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CFileDropData::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CFileDropData::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (!formats) {
        return E_POINTER;
    }
    *formats = nullptr;
    if (direction != DATADIR_GET) {
        return E_NOTIMPL;
    }
    FORMATETC offered = HDropFormat();
    return SHCreateStdEnumFmtEtc(1, &offered, formats);
}

HRESULT STDMETHODCALLTYPE CFileDropData::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CFileDropData::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT STDMETHODCALLTYPE CFileDropData::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }
