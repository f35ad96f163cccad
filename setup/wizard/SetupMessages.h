#pragma once
// The records of the frame's message queue, on the shared queued-message base: its id is the
// record's type code. The queue owns a record until the frame pops it; the frame deletes it
// through the virtual destructor.

#include <string>

#include "library/content/ThreadMessage.h"

class CUiControl;

namespace SetupMessageType {
enum : uint32_t { kUIMessage = 0, kProcMessage = 1, kDeviceChange = 2 };
}  // namespace SetupMessageType

// OnThreadEvent's record: the caller's type and its two parameters.
class CThreadEventMessage : public CThreadMessage {
public:
    CThreadEventMessage(int type, int param1, int param2)
        : CThreadMessage(static_cast<uint32_t>(type), static_cast<uintptr_t>(static_cast<unsigned>(param1))),
          param2(param2) {}

    int param2;
};

class CUIMessage : public CThreadMessage {
public:
    CUIMessage(CUiControl* control1, CUiControl* control2, unsigned screen, int event, int error)
        : CThreadMessage(SetupMessageType::kUIMessage, 0), control1(control1), control2(control2), screen(screen),
          event(event), error(error) {}

    CUiControl* control1;
    CUiControl* control2;
    unsigned screen;
    int event;
    int error;
};

class CPROCMessage : public CThreadMessage {
public:
    CPROCMessage(int value, int value2, int kind, int subtype, const wchar_t* text, int error)
        : CThreadMessage(SetupMessageType::kProcMessage, 0), value(value), value2(value2), kind(kind),
          subtype(subtype), error(error), text(text ? text : L"") {}

    int value;
    int value2;
    int kind;
    int subtype;
    int error;
    std::wstring text;
};
