#pragma once
// The stand-in's application object: the version check and the ways into its library.

#include "ITunesStandin.h"
#include "platform/com/CServerObject.h"
#include "platform/com/CTypeLibDispatch.h"

#include <memory>

class CStandinLibrary;

class CStandinApplication final : public CServerObject, public CTypeLibDispatch<IiTunes> {
public:
    // The class factory's creation function; the class does not aggregate.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    QB_SERVER_OBJECT_REFCOUNT

    // Compatible (VARIANT_TRUE) when this server's version is at least the one asked for.
    HRESULT STDMETHODCALLTYPE CheckVersion(LONG majorVersion, LONG minorVersion, VARIANT_BOOL* isCompatible) override;
    HRESULT STDMETHODCALLTYPE get_Sources(IDispatch** sources) override;
    HRESULT STDMETHODCALLTYPE get_SelectedTracks(IDispatch** tracks) override;
    HRESULT STDMETHODCALLTYPE get_LibraryPlaylist(IDispatch** playlist) override;

private:
    CStandinApplication();
    ~CStandinApplication() override = default;

    const std::shared_ptr<const CStandinLibrary> library_;
};
