// Every way the process can crash ends in the same hand-back, once, and the process still ends as
// a crash; a disarmed guard writes nothing. Each case crashes a probe process on the simulated board.
#include "test_adl_sim_board.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using simtest::Field;
using simtest::Only;

namespace {

// Runs the probe beside this test program and returns its exit code.
DWORD RunProbe(const std::wstring& how) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"crash_guard_probe.exe";
    std::wstring command = L"\"" + path + L"\" " + how;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return 0;
    }
    ::CloseHandle(process.hThread);
    DWORD exitCode = 0;
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        exitCode = 1;
    } else {
        ::GetExitCodeProcess(process.hProcess, &exitCode);
    }
    ::CloseHandle(process.hProcess);
    return exitCode;
}

std::vector<std::string> RegisterWrites(const std::vector<std::string>& lines) {
    std::vector<std::string> writes;
    for (const std::string& line : Only(lines, {"ADL_Display_WriteAndReadI2C"})) {
        if (Field(line, "action") == "2") {
            writes.push_back(Field(line, "offset") + "=" + Field(line, "data"));
        }
    }
    return writes;
}

const std::vector<std::string> kDefaults = {"0x85=0x78", "0x86=0x64", "0x87=0x50", "0x88=0x3C"};

struct CrashCase {
    const wchar_t* how;
    DWORD exitCode; // 0: any error status
};

TEST(CrashGuardPaths, EveryWayOfCrashingHandsTheFansBackOnceAndStillCrashes) {
    const CrashCase cases[] = {
        {L"access-violation", 0xC0000005},
        {L"terminate", 0xC0000602},
        // GCC's pure function is the runtime's __cxa_pure_virtual (std::terminate), or nothing at all
        // in a static build that never linked it (an access violation at address 0).
        {L"pure-call", 0},
        {L"invalid-parameter", 0xC0000602},
    };
    for (const CrashCase& c : cases) {
        SCOPED_TRACE(std::string(c.how, c.how + wcslen(c.how)));
        simtest::CScratchBoard board;
        const DWORD exitCode = RunProbe(c.how);
        if (c.exitCode != 0) {
            EXPECT_EQ(exitCode, c.exitCode);
        } else {
            EXPECT_EQ(exitCode >> 30, 3u) << "an error status";
        }
        const std::vector<std::string> lines = board.Journal();
        EXPECT_EQ(Only(lines, {"ADL_Overdrive5_FanSpeedToDefault_Set"}),
                  std::vector<std::string>{"ADL_Overdrive5_FanSpeedToDefault_Set adapter=0 thermal=0"});
        EXPECT_EQ(RegisterWrites(lines), kDefaults);
    }
}

TEST(CrashGuardPaths, ADisarmedGuardWritesNothing) {
    simtest::CScratchBoard board;
    EXPECT_EQ(RunProbe(L"disarmed"), 0xC0000005u);
    EXPECT_TRUE(Only(board.Journal(), {"ADL_Overdrive5_FanSpeedToDefault_Set", "ADL_Display_WriteAndReadI2C"})
                    .empty());
}

} // namespace
