#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "library/capability/DevCapability.h"
#include "platform/msxml/MsXml6.h"

// Every test of MSXML runs in a single-threaded apartment of its own.
class ComTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    bool initialized_ = false;
};

// The UTF-8 bytes of a wide text.
std::string ToUtf8(const std::wstring& text);

// A capability document in the capability namespace with `deviceBody` as the Device's content.
std::string CapabilityDocument(const std::string& deviceBody);

struct ParseResult {
    HRESULT hr = E_FAIL;
    std::unique_ptr<CTNDevCapability> capability;
};

ParseResult ParseDocument(const std::string& bytes);
// The built-in document from the test program's own resources.
std::string LoadDefaultDocument();
