#pragma once
// The test server's one coclass: a script client's view of the event runs of CEventHub.

#include "ComTestServer.h"
#include "platform/com/CConnectionPointContainer.h"
#include "platform/com/CListenerSlot.h"
#include "platform/com/CServerObject.h"
#include "platform/com/CTypeLibDispatch.h"

class CEventSource final : public CServerObject,
                           public CTypeLibDispatch<IEventSource>,
                           public CConnectionPointContainer {
public:
    // The class factory's creation function; the class does not aggregate.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    QB_SERVER_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE Echo(BSTR text, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE put_listener(IDispatch* listener) override;
    HRESULT STDMETHODCALLTYPE Start(LONG events, LONG clients) override;
    HRESULT STDMETHODCALLTYPE Wait(LONG milliseconds, VARIANT_BOOL* finished) override;

    // One event to this object's listener and connection-point sinks; the listener's call result.
    HRESULT Deliver(LONG index);
    // A pointer to the listener held by the calling thread for a whole run: while the thread's
    // apartment has a proxy for the client, each call's fresh pointer reuses it instead of setting
    // up a new connection (about 100 ms a call under Wine).
    HRESULT KeepListenerProxy(CScopedComPtr<IDispatch>* proxy);
    // The run this object started in has ended (set) or is still to come or going (reset).
    void MarkRunEnded(bool ended);

private:
    CEventSource();
    ~CEventSource() override;

    CListenerSlot listener_;
    CConnectionPoint* events_ = nullptr;
    HANDLE runEnded_ = nullptr;
};
