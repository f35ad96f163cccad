#pragma once

#include <windows.h>
#include <objbase.h>

// COM finds an in-process class through the registry on every CoCreateInstance. A task that makes
// dozens of portable-device objects (a scan opens each device and sends it several commands, each
// with its own value sets) opens a cache on its thread for its duration; every class is then
// looked up once and its instances come from the kept class object. Class objects belong to the
// apartment of the thread that got them, so a cache never leaves its thread or outlives its task.
// A cache opened while another is open on the thread defers to the outer one.
class CWpdClassCache {
public:
    CWpdClassCache();
    ~CWpdClassCache();
    CWpdClassCache(const CWpdClassCache&) = delete;
    CWpdClassCache& operator=(const CWpdClassCache&) = delete;

    // CoCreateInstance of an in-process class, through the thread's open cache when there is one.
    static HRESULT Create(REFCLSID clsid, REFIID iid, void** object);

private:
    struct Entry {
        CLSID clsid;
        IClassFactory* factory;
    };
    // The WPD classes a task uses; more than this are created without a cache.
    static constexpr int kCapacity = 8;

    HRESULT CreateFromCache(REFCLSID clsid, REFIID iid, void** object);

    bool active_ = false;
    int count_ = 0;
    Entry entries_[kCapacity] = {};
};
