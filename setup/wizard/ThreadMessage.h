#pragma once
// The records of the frame's message queue. The queue owns a record until the frame pops it; the
// frame deletes it through the virtual destructor.

#include <string>

class CUiControl;

class CThreadMessage {
public:
    enum Type : int { kUIMessage = 0, kProcMessage = 1, kDeviceChange = 2 };

    CThreadMessage(int type, int param1, int param2) : type_(type), param1_(param1), param2_(param2) {}
    virtual ~CThreadMessage() = default;

    int Type() const { return type_; }
    int Param1() const { return param1_; }
    int Param2() const { return param2_; }

private:
    int type_;
    int param1_;
    int param2_;
};

class CUIMessage : public CThreadMessage {
public:
    CUIMessage(CUiControl* control1, CUiControl* control2, unsigned screen, int event, int error)
        : CThreadMessage(kUIMessage, 0, 0), control1(control1), control2(control2), screen(screen), event(event),
          error(error) {}

    CUiControl* control1;
    CUiControl* control2;
    unsigned screen;
    int event;
    int error;
};

class CPROCMessage : public CThreadMessage {
public:
    CPROCMessage(int value, int value2, int kind, int subtype, const wchar_t* text, int error)
        : CThreadMessage(kProcMessage, 0, 0), value(value), value2(value2), kind(kind), subtype(subtype), error(error),
          text(text ? text : L"") {}

    int value;
    int value2;
    int kind;
    int subtype;
    int error;
    std::wstring text;
};
