#pragma once
// The body of an out-of-process COM server's entry point: -RegServer / -UnregServer write and
// remove its registry entries; otherwise (started by COM with -Embedding) it registers its class
// objects and serves until the application lock's last holder lets go. COM is initialised by the
// caller, on the thread that calls Run.

#include <windows.h>

#include "platform/com/CClassObjectRegistrar.h"
#include "platform/com/CServerRegistration.h"

class CLocalServer {
public:
    CLocalServer(const ServerInfo& registration, const ClassEntry* classObjects, size_t classObjectCount);

    // The process's exit code: 0 when the switch's work or the serving ended well.
    int Run();
    // Withdraws the serving process's class objects at once, from the serving thread: a server
    // that is about to be ended from outside must not leave COM leading new clients to it.
    static void RevokeClassObjects();

private:
    int Register(bool add);
    int Serve();

    const ServerInfo& registration_;
    const ClassEntry* classObjects_;
    size_t classObjectCount_;
};
