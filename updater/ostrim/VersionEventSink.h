#pragma once
// The update checker's sink for the update-information service's events: the service asks, by
// DISPID 1, whether one version stands in a relation to another. The sink is a member of its
// owner and does not count references.

#include <windows.h>
#include <oaidl.h>

class IVersionQuestion {
public:
    virtual ~IVersionQuestion() = default;
    // S_OK when the relation holds, S_FALSE when not, or a failure.
    virtual HRESULT CheckVersion(BSTR first, BSTR second, int op) = 0;
};

class CVersionEventSink final : public IDispatch {
public:
    explicit CVersionEventSink(IVersionQuestion& owner) : m_owner(owner) {}

    // Connects to the source's event point; E_FAIL when already connected.
    HRESULT Advise(IUnknown* source);
    void Unadvise();
    bool IsAdvised() const { return m_cookie != kNotAdvised; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT* badArgument) override;

private:
    static constexpr DWORD kNotAdvised = 0xFEFEFEFE;

    IVersionQuestion& m_owner;
    IUnknown* m_source = nullptr;  // held while advised
    DWORD m_cookie = kNotAdvised;
};
