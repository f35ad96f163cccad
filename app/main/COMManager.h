#pragma once
// What the automation objects share across the process: the automation lock, the coordinator's
// published entry point, the language module handle as the objects read it, the live App objects,
// and the one event thread that calls scripts back.
//
// The lock is created at program load and never deleted: an automation object can outlive every
// start-up and shut-down step (a client may hold it), and each of its calls takes the lock.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "app/coordinator/COMManagerListener.h"
#include "library/util/ScopedWin.h"

class CTavrelQuillbayApp;

class CCOMManager {
public:
    // The coordinator's operations the automation objects call, in their fixed order. Out values
    // the coordinator does not set stay 0 (or a null BSTR).
    using IListener = ICOMManagerListener;

    class CMainThread;

    static CCriticalSection& Lock();

    // The coordinator publishes itself once it runs and withdraws (null) at shut-down; both under
    // the lock, so no automation call is inside it when the withdrawal returns.
    static void SetListener(IListener* listener);
    // Under the lock only.
    static IListener* Listener();

    // Runs one operation of the coordinator under the lock; nothing while none is published.
    template <class Operation>
    static void CallListener(Operation operation) {
        CScopedLock guard(Lock());
        if (IListener* listener = Listener()) operation(*listener);
    }

    static void SetResourceModule(HMODULE module);
    // Under the lock, the language module's string (at most 511 characters); empty when the
    // module is not loaded or lacks it.
    static std::wstring ResourceText(UINT stringId);
    // Under the lock only.
    static HMODULE ResourceModule();

    // The live App objects, in the map's order. Under the lock only.
    static void AddLiveObject(CTavrelQuillbayApp* object);
    static void RemoveLiveObject(CTavrelQuillbayApp* object);
    static std::vector<CTavrelQuillbayApp*> LiveObjects();

    // The one event thread.
    static CMainThread& MainThread();
};
