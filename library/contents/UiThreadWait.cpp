#include "library/contents/UiThreadWait.h"

void WaitPumpingSentMessages(HANDLE handle) {
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1) return;
        // Peeking delivers the pending sent messages; nothing is taken off the posted queue.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
