// The guardian process: Ventiq ended from outside, alone or with every process it started, still hands
// the fans back through VentiqGuard.exe; a normal exit leaves the guardian nothing to do, even when the
// driver refuses the hand-back for a while; an ended guardian is replaced at once, one that cannot
// open the driver leaves the old one in place; a hand-over the guardian cannot trust makes it write
// nothing.
#include "guard/Guardian.h"
#include "test_fan_support.h"

#include <cstring>
#include <memory>
#include <string>

using namespace e2e;
using namespace e2e::fan;

namespace {

const wchar_t kGuardianImage[] = L"VentiqGuard.exe";
const std::string kGuardPrefix = "guard ";

// The guardian's journal lines, without their prefix.
std::vector<std::string> GuardLines(const std::vector<std::string>& lines) {
    std::vector<std::string> own;
    for (const std::string& line : lines) {
        if (line.compare(0, kGuardPrefix.size(), kGuardPrefix) == 0) {
            own.push_back(line.substr(kGuardPrefix.size()));
        }
    }
    return own;
}

// What a process wrote to the fans: outer-fan settings by name, chip writes as register=data.
std::vector<std::string> FanWrites(const std::vector<std::string>& lines) {
    std::vector<std::string> writes;
    for (const std::string& line : lines) {
        const std::string name = line.substr(0, line.find(' '));
        if (name == "ADL_Overdrive5_FanSpeed_Set" || name == "ADL_Overdrive5_FanSpeedToDefault_Set" ||
            name == "NvApplyCoolerLevels") {
            writes.push_back(name == "NvApplyCoolerLevels" ? name + " policy=" + Field(line, "policy")
                                                           : name);
        } else if (!ChipWrites({line}).empty()) {
            writes.push_back(ChipWrites({line})[0]);
        }
    }
    return writes;
}

std::vector<std::string> WithDefaults(const std::string& outer) {
    std::vector<std::string> all = {outer};
    all.insert(all.end(), kDefaultsWritten.begin(), kDefaultsWritten.end());
    return all;
}

const std::vector<std::string> kAmdHandBack = WithDefaults("ADL_Overdrive5_FanSpeedToDefault_Set");
const std::vector<std::string> kNvidiaHandBack = WithDefaults("NvApplyCoolerLevels policy=32");

// A handle to Ventiq's one guardian, for waiting on it and reading its exit code; null when there is
// not exactly one.
struct ProcessCloser {
    void operator()(HANDLE process) const { ::CloseHandle(process); }
};
using ProcessHandle = std::unique_ptr<void, ProcessCloser>;

// The guardian runs apart from Ventiq's process tree; the suites run one at a time, so the one guardian
// there is belongs to the test's Ventiq.
ProcessHandle OpenGuardian(DWORD* guardianId = nullptr) {
    const std::vector<DWORD> guardians = Processes(kGuardianImage);
    if (guardians.size() != 1) {
        return nullptr;
    }
    if (guardianId != nullptr) {
        *guardianId = guardians[0];
    }
    return ProcessHandle(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                                       FALSE, guardians[0]));
}

// Waits for the process to end; its exit code then, or STILL_ACTIVE.
DWORD ExitCodeAfter(HANDLE process, DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process, &code);
    }
    return code;
}

// Sends the end-of-session query and the answer, as Windows does when the user signs out.
void EndSession(HWND window, BOOL ending) {
    DWORD_PTR answer = 0;
    ASSERT_NE(::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer), 0);
    ASSERT_NE(::SendMessageTimeoutW(window, WM_ENDSESSION, ending, 0, SMTO_NORMAL, 10000, &answer), 0);
}

enum class Ending { Terminate, WholeTree, AfterCancelledLogOff };

struct EndingCase {
    const char* name;
    Vendor vendor;
    Ending ending;
};

void PrintTo(const EndingCase& c, std::ostream* os) {
    *os << c.name;
}

class EndedFromOutside : public ::testing::TestWithParam<EndingCase> {};

TEST_P(EndedFromOutside, TheGuardianHandsTheFansBackAndEnds) {
    const EndingCase& c = GetParam();
    Board board(c.vendor);
    ASSERT_NO_FATAL_FAILURE(ApplyBothManual(board));
    if (c.ending == Ending::AfterCancelledLogOff) {
        // Another program cancels the sign-out: the settings go back on the hardware, still guarded.
        const size_t query = Mark(board.Install());
        ASSERT_NO_FATAL_FAILURE(EndSession(board.Window(), FALSE));
        const std::vector<std::string> settings = {"NvApplyCoolerLevels policy=32", "NvApplyCoolerLevels policy=1"};
        EXPECT_TRUE(WaitUntil(
            [&] {
                const std::vector<std::string> writes = FanWrites(Since(board.Install(), query));
                return writes.size() > 5 && writes.front() == settings[0] && writes[5] == settings[1];
            },
            5000))
            << "handed back at the query, the manual setting again after the cancel";
    }
    const ProcessHandle guardian = OpenGuardian();
    ASSERT_NE(guardian, nullptr) << "one guardian runs";
    const size_t mark = Mark(board.Install());

    if (c.ending == Ending::WholeTree) {
        EndProcessTree(board.App().ProcessId());
    } else {
        ASSERT_TRUE(board.App().Terminate());
    }
    EXPECT_EQ(ExitCodeAfter(guardian.get(), 10000), static_cast<DWORD>(kGuardianHandedBack));
    const std::vector<std::string> lines = Since(board.Install(), mark);
    EXPECT_EQ(FanWrites(GuardLines(lines)), c.vendor == Vendor::Amd ? kAmdHandBack : kNvidiaHandBack);
    EXPECT_TRUE(FanWrites(lines).empty()) << "Ventiq itself wrote nothing: it was ended";
    EXPECT_TRUE(Processes(kGuardianImage).empty());
}

const EndingCase kEndings[] = {
    {"AmdTerminate", Vendor::Amd, Ending::Terminate},
    {"NvidiaTerminate", Vendor::Nvidia, Ending::Terminate},
    {"AmdWholeTree", Vendor::Amd, Ending::WholeTree},
    {"NvidiaAfterCancelledLogOff", Vendor::Nvidia, Ending::AfterCancelledLogOff},
};

INSTANTIATE_TEST_SUITE_P(Endings, EndedFromOutside, ::testing::ValuesIn(kEndings),
                         [](const auto& info) { return std::string(info.param.name); });

struct NormalExitCase {
    const char* name;
    Vendor vendor;
    int command; // 0: the end of the Windows session
};

void PrintTo(const NormalExitCase& c, std::ostream* os) {
    *os << c.name;
}

class NormalExit : public ::testing::TestWithParam<NormalExitCase> {};

TEST_P(NormalExit, TheGuardianWritesNothingAndEnds) {
    const NormalExitCase& c = GetParam();
    Board board(c.vendor);
    ASSERT_NO_FATAL_FAILURE(ApplyBothManual(board));
    const ProcessHandle guardian = OpenGuardian();
    ASSERT_NE(guardian, nullptr);
    const size_t mark = Mark(board.Install());

    if (c.command != 0) {
        window::Command(board.Window(), c.command);
        ASSERT_TRUE(board.App().WaitExit(20000));
    } else {
        // Windows ends the process itself once the window has answered the end of the session.
        ASSERT_NO_FATAL_FAILURE(EndSession(board.Window(), TRUE));
        ASSERT_TRUE(board.App().Terminate());
    }
    EXPECT_EQ(ExitCodeAfter(guardian.get(), 10000), static_cast<DWORD>(kGuardianQuiet));
    EXPECT_TRUE(FanWrites(GuardLines(Since(board.Install(), mark))).empty());
}

const NormalExitCase kNormalExits[] = {
    {"AmdEscape", Vendor::Amd, IDCANCEL},
    {"NvidiaClose", Vendor::Nvidia, kClose},
    {"AmdSessionEnd", Vendor::Amd, 0},
};

INSTANTIATE_TEST_SUITE_P(Exits, NormalExit, ::testing::ValuesIn(kNormalExits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Guardian, EndedWhileVentiqRunsIsReplacedAtOnceEveryTime) {
    Board board(Vendor::Amd);
    ASSERT_NO_FATAL_FAILURE(ApplyBothManual(board));
    DWORD previousId = 0;
    ProcessHandle guardian = OpenGuardian(&previousId);
    ASSERT_NE(guardian, nullptr);
    const size_t mark = Mark(board.Install());
    // Twice within a minute: a guardian that was ended is never waited for.
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(::TerminateProcess(guardian.get(), 1));
        ASSERT_EQ(::WaitForSingleObject(guardian.get(), 10000), WAIT_OBJECT_0);
        ASSERT_TRUE(Tick(board.Window()));
        DWORD id = 0;
        ASSERT_TRUE(WaitUntil([&] { return (guardian = OpenGuardian(&id)) != nullptr && id != previousId; }, 5000))
            << "round " << round << ": a new guardian after the next check";
        previousId = id;
    }
    EXPECT_TRUE(FanWrites(Since(board.Install(), mark)).empty()) << "the fans stayed as applied";

    ASSERT_TRUE(board.App().Terminate());
    EXPECT_EQ(ExitCodeAfter(guardian.get(), 10000), static_cast<DWORD>(kGuardianHandedBack));
    EXPECT_EQ(FanWrites(GuardLines(Since(board.Install(), mark))), kAmdHandBack);
}

TEST(Guardian, OneThatCannotOpenTheDriverLeavesTheOldOneInPlace) {
    Board board(Vendor::Amd);
    ASSERT_NO_FATAL_FAILURE(ApplyBothManual(board));
    DWORD firstId = 0;
    const ProcessHandle first = OpenGuardian(&firstId);
    ASSERT_NE(first, nullptr);
    // A new process cannot load the driver library any more; Ventiq's own session still works. The
    // display change renews Ventiq's session and starts a guardian for it, which fails.
    board.Install().WriteScenario("fault.absent = atiadlxx.dll atiadlxy.dll\n");
    const size_t mark = Mark(board.Install());
    ::PostMessageW(board.Window(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    ASSERT_TRUE(WaitUntil([&] { return !Only(Since(board.Install(), mark), "ADL_Overdrive5_FanSpeed_Set").empty(); },
                          15000))
        << "the settings written again after the renewed session";
    EXPECT_EQ(Processes(kGuardianImage), std::vector<DWORD>{firstId});

    ASSERT_TRUE(board.App().Terminate());
    EXPECT_EQ(ExitCodeAfter(first.get(), 10000), static_cast<DWORD>(kGuardianHandedBack));
}

TEST(Guardian, AHandBackTheDriverRefusesForTwoSecondsStillEndsAtTheDefaults) {
    Board board(Vendor::Amd);
    ASSERT_NO_FATAL_FAILURE(ApplyBothManual(board));
    board.Install().WriteScenario("fault.status.ADL_Overdrive5_FanSpeedToDefault_Set = -1\n"
                                  "fault.status.ADL_Display_WriteAndReadI2C = -1\n");
    window::Command(board.Window(), kClose);
    Pump(2000);
    board.Install().WriteScenario("");
    ASSERT_TRUE(board.App().WaitExit(20000));
    ASSERT_TRUE(WaitUntil([] { return Processes(kGuardianImage).empty(); }, 15000));
    // Whichever process wrote last, every fan holds its default.
    const std::map<std::string, std::string> defaults = {
        {"outer", "default"}, {"0x85", "0x78"}, {"0x86", "0x64"}, {"0x87", "0x50"}, {"0x88", "0x3C"}};
    EXPECT_EQ(LastWrites(board.Install().Journal()), defaults);
}

// VentiqGuard.exe started by the test itself: a pipe and an event that stands in for Ventiq's process.
class CGuardianRun {
public:
    CGuardianRun(const Installation& install, const std::vector<unsigned char>& written, bool closePipe,
                 const std::wstring& arguments = L"") {
        SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
        HANDLE readEnd = nullptr;
        ::CreatePipe(&readEnd, &m_hWriteEnd, &inheritable, 0);
        ::SetHandleInformation(m_hWriteEnd, HANDLE_FLAG_INHERIT, 0);
        m_hVentiqEnded = ::CreateEventW(&inheritable, TRUE, FALSE, nullptr);
        m_hArmed = ::CreateEventW(&inheritable, TRUE, FALSE, nullptr);
        ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", install.ScenarioPath().c_str());
        ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", install.JournalPath().c_str());
        const std::wstring exe = BuildPath(kGuardianImage);
        std::wstring commandLine =
            L"\"" + exe + L"\" " +
            (arguments.empty() ? GuardianArguments({readEnd, m_hVentiqEnded, m_hArmed}) : arguments);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        ::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &m_info);
        ::CloseHandle(readEnd);
        DWORD count = 0;
        ::WriteFile(m_hWriteEnd, written.data(), static_cast<DWORD>(written.size()), &count, nullptr);
        if (closePipe) {
            ::CloseHandle(m_hWriteEnd);
            m_hWriteEnd = nullptr;
        }
    }
    ~CGuardianRun() {
        if (m_info.hProcess != nullptr) {
            ::TerminateProcess(m_info.hProcess, 1);
            ::CloseHandle(m_info.hThread);
            ::CloseHandle(m_info.hProcess);
        }
        ::CloseHandle(m_hVentiqEnded);
        ::CloseHandle(m_hArmed);
        if (m_hWriteEnd != nullptr) {
            ::CloseHandle(m_hWriteEnd);
        }
    }
    CGuardianRun(const CGuardianRun&) = delete;
    CGuardianRun& operator=(const CGuardianRun&) = delete;

    void EndVentiq() const { ::SetEvent(m_hVentiqEnded); }
    DWORD ExitCode(DWORD timeoutMs) const { return ExitCodeAfter(m_info.hProcess, timeoutMs); }

private:
    HANDLE m_hWriteEnd = nullptr;
    HANDLE m_hVentiqEnded = nullptr;
    HANDLE m_hArmed = nullptr;
    PROCESS_INFORMATION m_info{};
};

// The usual one-card record, cut short or with the byte at `offset` changed (offset 0: none).
std::vector<unsigned char> Record(GpuVendor vendor, size_t cut = kHandOverSize, size_t offset = 0,
                                  unsigned char value = 0) {
    HandOver handOver;
    handOver.m_vendor = vendor;
    handOver.m_cards.m_nCardCount = 1;
    handOver.m_cards.m_pCardMatched = {1};
    handOver.m_cards.m_nRegisterDefaults[0] = 120;
    handOver.m_cards.m_nRegisterDefaults[1] = 100;
    handOver.m_cards.m_nRegisterDefaults[2] = 80;
    handOver.m_cards.m_nRegisterDefaults[3] = 60;
    const HandOverBytes bytes = EncodeHandOver(handOver);
    std::vector<unsigned char> record(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    if (offset != 0) {
        record[offset] = value;
    }
    return record;
}

std::vector<unsigned char> Then(std::vector<unsigned char> bytes, const char* more) {
    bytes.insert(bytes.end(), more, more + std::strlen(more));
    return bytes;
}

struct HandOverCase {
    const char* name;
    std::vector<unsigned char> written;
    bool closePipe;
    const wchar_t* arguments; // empty: the real handles
    DWORD exitCode;
    std::vector<std::string> guardWrites;
};

void PrintTo(const HandOverCase& c, std::ostream* os) {
    *os << c.name;
}

class GuardianHandOver : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(GuardianHandOver, OnlyATrustedRecordEverReachesTheFans) {
    const HandOverCase& c = GetParam();
    Installation install;
    CGuardianRun run(install, c.written, c.closePipe, c.arguments);
    if (c.exitCode != static_cast<DWORD>(kGuardianRefused)) {
        // A trusted record: the guardian opens its driver session and waits for Ventiq.
        ASSERT_TRUE(WaitUntil([&] { return !GuardLines(install.Journal()).empty(); }, 10000));
        EXPECT_EQ(run.ExitCode(300), STILL_ACTIVE) << "it waits while Ventiq runs";
        run.EndVentiq();
    }
    EXPECT_EQ(run.ExitCode(10000), c.exitCode);
    EXPECT_EQ(FanWrites(GuardLines(install.Journal())), c.guardWrites);
    if (c.exitCode == static_cast<DWORD>(kGuardianRefused)) {
        EXPECT_TRUE(GuardLines(install.Journal()).empty()) << "not even a driver session";
    }
}

// The record's rules are the unit suite's; here one refusal of each kind across the process boundary.
const HandOverCase kHandOverCases[] = {
    {"Truncated", Record(GpuVendor::Amd, kHandOverSize / 2), true, L"", kGuardianRefused, {}},
    {"NewerVersion", Record(GpuVendor::Amd, kHandOverSize, 4, 2), false, L"", kGuardianRefused, {}},
    {"NoHandles", Record(GpuVendor::Amd), false, L"12", kGuardianRefused, {}},
    {"HandlesThatAreNone", Record(GpuVendor::Amd), false, L"4000 4004", kGuardianRefused, {}},
    {"AmdVentiqEndedUnhanded", Record(GpuVendor::Amd), false, L"", kGuardianHandedBack, kAmdHandBack},
    {"NvidiaVentiqEndedUnhanded", Record(GpuVendor::Nvidia), true, L"", kGuardianHandedBack, kNvidiaHandBack},
    {"AmdVentiqHandedBack", Then(Record(GpuVendor::Amd), "BACK"), true, L"", kGuardianQuiet, {}},
};

INSTANTIATE_TEST_SUITE_P(Records, GuardianHandOver, ::testing::ValuesIn(kHandOverCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
