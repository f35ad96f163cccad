#include "StandinApplication.h"

#include "StandinLibrary.h"
#include "StandinObject.h"
#include "platform/com/InterfaceTable.h"

#include <new>

namespace {

CTypeInfoCache& ApplicationTypeInfo() {
    static CTypeInfoCache typeInfo(LIBID_QbITunesStandinLib, 1, 0, IID_IiTunes);
    return typeInfo;
}

}  // namespace

// Each application reads the fixture anew: one server process may outlive a test's fixture.
CStandinApplication::CStandinApplication()
    : CTypeLibDispatch<IiTunes>(ApplicationTypeInfo()), library_(CStandinLibrary::Load()) {}

HRESULT CStandinApplication::Create(IUnknown* outer, REFIID iid, void** result) {
    *result = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    CStandinApplication* created = new (std::nothrow) CStandinApplication;
    if (!created) return E_OUTOFMEMORY;
    HRESULT hr = created->QueryInterface(iid, result);
    created->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE CStandinApplication::QueryInterface(REFIID iid, void** result) {
    static const InterfaceEntry<CStandinApplication> kInterfaces[] = {
        {&IID_IiTunes, [](CStandinApplication* self) -> IUnknown* { return static_cast<IiTunes*>(self); }},
        {&IID_IDispatch, [](CStandinApplication* self) -> IUnknown* { return static_cast<IiTunes*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}

HRESULT STDMETHODCALLTYPE CStandinApplication::CheckVersion(LONG majorVersion, LONG minorVersion,
                                                            VARIANT_BOOL* isCompatible) {
    if (!isCompatible) return E_POINTER;
    if (library_->refusesVersion) return E_FAIL;
    const bool atLeast = library_->majorVersion > majorVersion ||
                         (library_->majorVersion == majorVersion && library_->minorVersion >= minorVersion);
    *isCompatible = atLeast ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinApplication::get_Sources(IDispatch** sources) {
    return CStandinObject::Create(library_, CStandinObject::Type::SourceCollection, 0, sources);
}

HRESULT STDMETHODCALLTYPE CStandinApplication::get_SelectedTracks(IDispatch** tracks) {
    if (tracks) *tracks = nullptr;
    library_->Log(L"SelectedTracks");
    if (library_->selection == 0) return E_FAIL;
    return CStandinObject::Create(library_, CStandinObject::Type::TrackCollection, library_->selection, tracks);
}

HRESULT STDMETHODCALLTYPE CStandinApplication::get_LibraryPlaylist(IDispatch** playlist) {
    library_->Log(L"LibraryPlaylist");
    return CStandinObject::Create(library_, CStandinObject::Type::Playlist, 0, playlist);
}
