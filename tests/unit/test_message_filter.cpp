// Tests of letting a message through the message filter: which of user32's functions is asked, and how.
#include "ui/MessageFilter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;
BOOL g_answer = TRUE;

BOOL WINAPI FakeForWindow(HWND hWnd, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    g_calls.push_back("window " + std::to_string(reinterpret_cast<UINT_PTR>(hWnd)) + " " +
                      std::to_string(message) + " " + std::to_string(action));
    return g_answer;
}

BOOL WINAPI FakeForProcess(UINT message, DWORD action) {
    g_calls.push_back("process " + std::to_string(message) + " " + std::to_string(action));
    return g_answer;
}

TEST(MessageFilter, ThePerWindowFilterIsPreferredAndTheProcessFilterServesVista) {
    const HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));
    const UINT message = 0xC0DE;
    const struct {
        const char* system;
        MessageFilterFunctions functions;
        BOOL answer;
        const char* call; // "" when nothing is asked
        bool through;
    } cases[] = {
        {"Windows 7", {&FakeForWindow, &FakeForProcess}, TRUE, "window 4660 49374 1", true},
        {"Windows 7, refused", {&FakeForWindow, &FakeForProcess}, FALSE, "window 4660 49374 1", false},
        {"Vista", {nullptr, &FakeForProcess}, TRUE, "process 49374 1", true},
        {"Vista, refused", {nullptr, &FakeForProcess}, FALSE, "process 49374 1", false},
        {"XP", {nullptr, nullptr}, FALSE, "", true},
    };
    for (const auto& c : cases) {
        g_calls.clear();
        g_answer = c.answer;
        EXPECT_EQ(AllowFromLowerIntegrity(c.functions, window, message), c.through) << c.system;
        EXPECT_EQ(g_calls, *c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{})
            << c.system;
    }
}

TEST(MessageFilter, User32HasBothAndLetsTheShellsRestartThroughToAWindow) {
    const MessageFilterFunctions found = FindMessageFilterFunctions();
    EXPECT_NE(found.m_pfnForWindow, nullptr);
    EXPECT_NE(found.m_pfnForProcess, nullptr);
    const HWND window = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(AllowFromLowerIntegrity(found, window, ::RegisterWindowMessageW(L"TaskbarCreated")));
    ::DestroyWindow(window);
}

} // namespace
