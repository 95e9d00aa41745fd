// Tests of the command line's options as text.
#include "app/StartRequest.h"

#include <gtest/gtest.h>

namespace {

TEST(StartRequest, KnowsTrayInAnyCase) {
    const struct {
        std::vector<std::wstring> m_arguments;
        StartRequest m_expected;
    } cases[] = {
        {{}, StartRequest::Window},
        {{L"/Tray"}, StartRequest::Tray},
        {{L"/tray", L"/tray"}, StartRequest::Unknown},
        {{L"tray"}, StartRequest::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseStartRequest(c.m_arguments), c.m_expected) << testing::PrintToString(c.m_arguments);
    }
}

} // namespace
