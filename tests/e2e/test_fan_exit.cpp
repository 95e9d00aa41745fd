// Every way out, end to end: CLOSE and the tray's Close restore the fans and then the window's
// destruction restores them again; Escape and the end of the session restore once; a failed start-up
// writes nothing at all.
#include "test_fan_support.h"

using namespace e2e;
using namespace e2e::fan;

namespace {

// The calls of an exit that matter here, in journal order, shortened to their names (chip writes
// as register=data).
std::vector<std::string> ExitCalls(const std::vector<std::string>& lines) {
    std::vector<std::string> calls;
    for (const std::string& line : lines) {
        const std::string name = line.substr(0, line.find(' '));
        if (name == "ADL_Overdrive5_FanSpeedToDefault_Set" || name == "ADL_Overdrive5_FanSpeed_Set" ||
            name == "ADL_Main_Control_Destroy" || name == "NvApplyCoolerLevels" || name == "NvAPI_Unload") {
            calls.push_back(name);
        } else if (!ChipWrites({line}).empty()) {
            calls.push_back(ChipWrites({line})[0]);
        }
    }
    return calls;
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const std::vector<std::string> kAmdRestore =
    Concat({{"ADL_Overdrive5_FanSpeedToDefault_Set"}, kDefaultsWritten});
const std::vector<std::string> kNvidiaRestore = Concat({{"NvApplyCoolerLevels"}, kDefaultsWritten});

struct ExitCase {
    const char* name;
    Vendor vendor;
    int command; // WM_COMMAND id that ends the program
    std::vector<std::string> expected;
};

void PrintTo(const ExitCase& c, std::ostream* os) {
    *os << c.name;
}

class Exit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(Exit, RestoresTheFansAsOftenAsItShould) {
    const ExitCase& c = GetParam();
    Board board(c.vendor);
    ASSERT_TRUE(WaitStarted(board));
    // A manual setting first, so the restore has something to undo.
    ASSERT_TRUE(SendCommand(board.Window(), kAuto1));
    ASSERT_TRUE(SetText(board.Item(kEntryOuter), L"77"));
    ASSERT_TRUE(SendCommand(board.Window(), kApply));
    const size_t mark = Mark(board.Install());

    window::Command(board.Window(), c.command);
    ASSERT_TRUE(board.App().WaitExit(20000)) << "the program did not end";
    EXPECT_EQ(ExitCalls(Since(board.Install(), mark)), c.expected);
}

const ExitCase kExitCases[] = {
    // CLOSE restores, ends the library session, and the destruction restores once more.
    {"AmdClose", Vendor::Amd, kClose, Concat({kAmdRestore, {"ADL_Main_Control_Destroy"}, kAmdRestore})},
    // The tray's Close leaves the library session open.
    {"AmdTrayClose", Vendor::Amd, kTrayClose, Concat({kAmdRestore, kAmdRestore})},
    // Escape ends the dialog; only the destruction restores.
    {"AmdEscape", Vendor::Amd, IDCANCEL, kAmdRestore},
    {"NvidiaClose", Vendor::Nvidia, kClose, Concat({kNvidiaRestore, kNvidiaRestore, {"NvAPI_Unload"}})},
    {"NvidiaTrayClose", Vendor::Nvidia, kTrayClose,
     Concat({kNvidiaRestore, kNvidiaRestore, {"NvAPI_Unload"}})},
    {"NvidiaEscape", Vendor::Nvidia, IDCANCEL, Concat({kNvidiaRestore, {"NvAPI_Unload"}})},
};

INSTANTIATE_TEST_SUITE_P(Commands, Exit, ::testing::ValuesIn(kExitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SessionEnd, RestoresOnceAndLetsTheSessionEnd) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    const size_t mark = Mark(board.Install());
    DWORD_PTR answer = 0;
    ASSERT_NE(::SendMessageTimeoutW(board.Window(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer),
              0);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    EXPECT_EQ(ExitCalls(Since(board.Install(), mark)), kAmdRestore);
    EXPECT_TRUE(board.App().IsRunning()) << "the query alone does not end the program";
    ASSERT_NE(::SendMessageTimeoutW(board.Window(), WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, 10000, &answer), 0);
    EXPECT_TRUE(board.App().IsRunning());
}

struct FailedStartCase {
    const char* name;
    DWORD vendorId;
    DWORD deviceId;
    const char* cardList;
    const char* scenario;
};

void PrintTo(const FailedStartCase& c, std::ostream* os) {
    *os << c.name;
}

class FailedStart : public ::testing::TestWithParam<FailedStartCase> {};

TEST_P(FailedStart, WritesNothingOnItsWayOut) {
    const FailedStartCase& c = GetParam();
    SetDisplayAdapter(c.vendorId, c.deviceId);
    Installation install;
    install.WriteCardList(c.cardList);
    install.WriteScenario(c.scenario);
    AppRun app(install);
    const HWND box = app.WaitMessageBox();
    ASSERT_NE(box, nullptr) << "start-up should have failed with a message";
    PressOk(box);
    ASSERT_TRUE(app.WaitExit(10000));
    SetDisplayAdapter(0x1002, 0x6719);

    const std::vector<std::string> calls = ExitCalls(install.Journal());
    EXPECT_TRUE(calls.empty() || calls == std::vector<std::string>{"NvAPI_Unload"})
        << "first call: " << (calls.empty() ? "" : calls[0]);
    EXPECT_TRUE(Only(install.Journal(), "ADL_Display_WriteAndReadI2C").empty());
    EXPECT_TRUE(Only(install.Journal(), "NvAPI_I2CWrite").empty());
}

const FailedStartCase kFailedStarts[] = {
    {"UnsupportedCard", 0x1002, 0x6719, "1002;6798;0000;0000;another board;1;2;3;4;\n", ""},
    // The library loads, but its session cannot be opened: it must not be called on the way out.
    {"AmdControlCreateFails", 0x1002, 0x6719, window::kAmdBoard,
     "fault.status.ADL_Main_Control_Create = -1\n"},
    {"AmdAdapterCountFails", 0x1002, 0x6719, window::kAmdBoard,
     "fault.status.ADL_Adapter_NumberOfAdapters_Get = -1\n"},
    {"NvidiaWithoutDisplay", 0x10DE, 0x1C82, window::kNvidiaBoard, "displays = 0\n"},
};

INSTANTIATE_TEST_SUITE_P(Outcomes, FailedStart, ::testing::ValuesIn(kFailedStarts),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
