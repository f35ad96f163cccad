#include <cstdarg>
#include <cstdio>

#include "library/media/decode/ITranscode2.h"
#include "library/media/decode/TranscodeTrace.h"

namespace {
HANDLE g_singleModeEvent = nullptr;
TranscodeTraceSink g_traceSink = nullptr;
}  // namespace

HRESULT CreateTranscodeSingleModeEvent() {
    if (g_singleModeEvent != nullptr) return S_OK;
    // Auto-reset and signalled: one waiter takes the token, and it starts free.
    g_singleModeEvent = CreateEventW(nullptr, FALSE, TRUE, L"TranscodeSingleModeEvent");
    return g_singleModeEvent != nullptr ? S_OK : E_FAIL;
}

void CloseTranscodeSingleModeEvent() {
    if (g_singleModeEvent == nullptr) return;
    CloseHandle(g_singleModeEvent);
    g_singleModeEvent = nullptr;
}

void SetTranscodeTraceSink(TranscodeTraceSink sink) { g_traceSink = sink; }

void TranscodeTrace(const char* format, ...) {
    TranscodeTraceSink sink = g_traceSink;
    if (sink == nullptr) return;
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof(line), format, arguments);
    va_end(arguments);
    sink(line);
}
