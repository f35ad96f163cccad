#pragma once
// The placeholder screens, with every event and progress record the frame dispatches kept for the
// test (user-interface thread only).

#include <string>
#include <vector>

#include "tests/setup/frame/PlaceholderScreens.h"
#include "setup/wizard/SetupMessages.h"

class CRecordingScreens : public CPlaceholderScreens {
public:
    struct Event {
        unsigned screen;
        int event;
        int error;
    };
    struct Progress {
        int value;
        int subtype;
        std::wstring text;
    };

    void OnScreenEvent(ISetupFrame& frame, const CUIMessage& message) override {
        events.push_back({message.screen, message.event, message.error});
        if (closeOnOk) CPlaceholderScreens::OnScreenEvent(frame, message);
    }
    void OnProgress(ISetupFrame&, const CPROCMessage& message) override {
        progress.push_back({message.value, message.subtype, message.text});
    }

    bool closeOnOk = false;
    std::vector<Event> events;
    std::vector<Progress> progress;
};
