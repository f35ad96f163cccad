#include "setup/wizard/SetupMessages.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(SetupMessagesTest, RecordsCarryTheirTypeCodeAndFields) {
    std::unique_ptr<CThreadMessage> ui(new CUIMessage(nullptr, nullptr, 8, 5, 1));
    EXPECT_EQ(SetupMessageType::kUIMessage, ui->id);
    auto* uiRecord = dynamic_cast<CUIMessage*>(ui.get());
    ASSERT_NE(nullptr, uiRecord);
    EXPECT_EQ(8u, uiRecord->screen);
    EXPECT_EQ(5, uiRecord->event);
    EXPECT_EQ(1, uiRecord->error);

    std::unique_ptr<CThreadMessage> proc(new CPROCMessage(7, 9, 3, 6, L"C:\\cache\\a.mp3", 0));
    EXPECT_EQ(SetupMessageType::kProcMessage, proc->id);
    auto* procRecord = dynamic_cast<CPROCMessage*>(proc.get());
    ASSERT_NE(nullptr, procRecord);
    EXPECT_EQ(L"C:\\cache\\a.mp3", procRecord->text);
    EXPECT_EQ(7, procRecord->value);
    EXPECT_EQ(9, procRecord->value2);
    EXPECT_EQ(6, procRecord->subtype);

    // A missing text becomes empty rather than a dangling read.
    CPROCMessage noText(0, 0, 3, 0, nullptr, 0);
    EXPECT_TRUE(noText.text.empty());

    std::unique_ptr<CThreadMessage> device(new CThreadEventMessage(SetupMessageType::kDeviceChange, 4, -1));
    EXPECT_EQ(SetupMessageType::kDeviceChange, device->id);
    EXPECT_EQ(4u, device->param);
    EXPECT_EQ(-1, static_cast<CThreadEventMessage*>(device.get())->param2);
    EXPECT_EQ(nullptr, dynamic_cast<CUIMessage*>(device.get()));
    EXPECT_EQ(nullptr, dynamic_cast<CPROCMessage*>(device.get()));
}

}  // namespace
