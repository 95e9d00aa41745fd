// Tests of the command line's options as text: the parse, and the task definition /startup registers.
#include "app/StartRequest.h"
#include "app/StartupTaskXml.h"

#include <gtest/gtest.h>

namespace {

TEST(StartRequest, KnowsTrayAndStartupOnOrOffInAnyCase) {
    const struct {
        std::vector<std::wstring> m_arguments;
        StartRequest m_expected;
    } cases[] = {
        {{}, StartRequest::Window},
        {{L"/Tray"}, StartRequest::Tray},
        {{L"/tray", L"/tray"}, StartRequest::Unknown},
        {{L"tray"}, StartRequest::Unknown},
        {{L"/startup", L"on"}, StartRequest::StartupOn},
        {{L"/Startup", L"OFF"}, StartRequest::StartupOff},
        {{L"/startup"}, StartRequest::Unknown},
        {{L"/startup", L"yes"}, StartRequest::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseStartRequest(c.m_arguments), c.m_expected) << testing::PrintToString(c.m_arguments);
    }
}

// Faults caught: a trigger for any user or without its delay, an elevation prompt, the scheduler's
// default 72-hour limit ending Ventiq, battery rules keeping it from a laptop, the wrong program,
// option or folder, and a folder name that breaks the XML.
TEST(StartupTaskXml, StartsThisProgramHiddenAtTheUsersSignIn) {
    const std::wstring xml = StartupTaskXml(L"C:\\Tools & Fans\\Ventiq's <x>\\Ventiq.exe", L"PC\\Ann & Bo");
    const wchar_t* expected[] = {
        L"<LogonTrigger>\r\n      <UserId>PC\\Ann &amp; Bo</UserId>\r\n      <Delay>PT10S</Delay>\r\n",
        L"<UserId>PC\\Ann &amp; Bo</UserId>\r\n      <LogonType>InteractiveToken</LogonType>\r\n"
        L"      <RunLevel>HighestAvailable</RunLevel>",
        L"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>",
        L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>",
        L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>",
        L"<Command>C:\\Tools &amp; Fans\\Ventiq&apos;s &lt;x&gt;\\Ventiq.exe</Command>",
        L"<Arguments>/tray</Arguments>",
        L"<WorkingDirectory>C:\\Tools &amp; Fans\\Ventiq&apos;s &lt;x&gt;</WorkingDirectory>",
    };
    for (const wchar_t* part : expected) {
        EXPECT_NE(xml.find(part), std::wstring::npos) << testing::PrintToString(std::wstring(part));
    }
}

} // namespace
