#pragma once

#include <windows.h>

// Waits without limit for the handle while answering messages sent to this thread, so a worker
// blocked in SendMessageW to it cannot deadlock the wait.
void WaitPumpingSentMessages(HANDLE handle);
