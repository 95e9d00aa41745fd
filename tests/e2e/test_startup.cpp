// Start-up outcomes of the whole program: the single-instance rule, the portable copy and the failure
// messages.
#include "Harness.h"
#include "test_window_support.h"

#include <gtest/gtest.h>

#include <cwchar>

using namespace e2e;

namespace {
// The adapter Wine's WMI reports under the virtual display: PCI\VEN_1002&DEV_6719&SUBSYS_00000000.
const char kListedAmdBoard[] = "1002;6719;0000;0000;Valdro simulated AMD board;120;100;80;60;\n";

struct MessageCase {
    const char* name;
    DWORD deviceId; // of the AMD adapter WMI reports
    bool withWorkDir;
    const char* cardList; // null: no DList.cfg at all
    const char* scenario;
    const wchar_t* expected;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(StartupMessage, ShowsItsMessageAndEndsWithExitCodeZero) {
    const MessageCase& c = GetParam();
    SetDisplayAdapter(0x1002, c.deviceId);
    Installation install;
    if (!c.withWorkDir) {
        Installation::SetWorkDir(nullptr);
    }
    if (c.cardList != nullptr) {
        install.WriteCardList(c.cardList);
    }
    install.WriteScenario(c.scenario);
    AppRun app(install);

    const HWND box = app.WaitMessageBox();
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(WindowText(box), L"Ventiq");
    EXPECT_EQ(MessageBoxText(box), c.expected);
    EXPECT_EQ(app.WaitMainWindow(0), nullptr) << "the window must not be shown before the message";

    PressOk(box);
    DWORD exitCode = 1;
    ASSERT_TRUE(app.WaitExit(10000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    SetDisplayAdapter(0x1002, 0x6719);
}

const MessageCase kMessageCases[] = {
    // Without WorkDir the list is looked for beside the program, and the build folder has none.
    {"NoWorkDir", 0x6719, false, kListedAmdBoard, "", L"Application data lost, please reinstall again."},
    {"NoCardList", 0x6719, true, nullptr, "", L"Application data lost, please reinstall again."},
    {"EmptyCardList", 0x6719, true, "", "", L"The Video Card does not support this application."},
    {"UnlistedCard", 0x6719, true, "1002;6798;0000;0000;another board;1;2;3;4;\n10DE;6719;0000;0000;x;1;2;3;4;\n", "",
     L"The Video Card does not support this application."},
    {"LowerCaseIdsNeverMatch", 0x671A, true, "1002;671a;0000;0000;lower-case device id;1;2;3;4;\n", "",
     L"The Video Card does not support this application."},
    {"AmdDriverMissing", 0x6719, true, kListedAmdBoard, "fault.absent = atiadlxx.dll atiadlxy.dll\n",
     L"Please install the latest AMD Catalyst\u2122 drivers."},
};

INSTANTIATE_TEST_SUITE_P(Outcomes, StartupMessage, ::testing::ValuesIn(kMessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartupMessage, NvidiaDriverMissing) {
    SetDisplayAdapter(0x10DE, 0x1C82);
    Installation install;
    install.WriteCardList("10DE;1C82;0000;0000;Valdro simulated NVIDIA board;120;100;80;60;\n");
    install.WriteScenario("fault.absent = nvapi64.dll\n");
    AppRun app(install);
    const HWND box = app.WaitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"Please install the latest NVIDIA GeForce drivers.");
    PressOk(box);
    EXPECT_TRUE(app.WaitExit(10000));
    SetDisplayAdapter(0x1002, 0x6719);
}

// A second start brings the first window back from the tray and ends, whatever Windows it sees
// (the rule once acted on some versions only, each differently).
class SingleInstance : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(SingleInstance, ASecondStartShowsTheFirstWindowAndEnds) {
    SetReportedWindowsVersion(GetParam());
    window::Board board(window::Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    window::Command(board.Window(), 1000); // MINI: hidden in the tray
    ASSERT_TRUE(window::WaitUntil([&] { return !::IsWindowVisible(board.Window()); }));

    AppRun second(board.Install());
    DWORD exitCode = 1;
    EXPECT_TRUE(second.WaitExit(10000, &exitCode)) << "the second start should end by itself";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(window::WaitUntil([&] { return ::IsWindowVisible(board.Window()) != FALSE; }));
    SetReportedWindowsVersion(L"");
}

INSTANTIATE_TEST_SUITE_P(Versions, SingleInstance, ::testing::Values(L"win7", L"vista", L"win10"),
                         [](const auto& info) {
                             return std::string(info.param, info.param + wcslen(info.param));
                         });

// The portable copy: no WorkDir, and the card list in the program's own folder.
TEST(PortableStart, RunsFromTheFolderItWasUnpackedTo) {
    SetDisplayAdapter(0x1002, 0x6719);
    Installation folder;
    Installation::SetWorkDir(nullptr);
    folder.WriteCardList(kListedAmdBoard);
    for (const wchar_t* file : {L"Ventiq.exe", L"VentiqGuard.exe"}) {
        ASSERT_TRUE(::CopyFileW(BuildPath(file).c_str(), (folder.Dir() + L"\\" + file).c_str(), FALSE));
    }
    AppRun app(folder, L"", folder.Dir() + L"\\Ventiq.exe");
    const HWND window = app.WaitMainWindow();
    ASSERT_NE(window, nullptr) << MessageBoxText(app.WaitMessageBox(0));
    // Closed as the user does, so the guardian ends too and the folder can go.
    window::Command(window, 1001);
    EXPECT_TRUE(app.WaitExit(10000));
    window::WaitUntil([&] { return ChildProcesses(app.ProcessId(), L"VentiqGuard.exe").empty(); });
}

} // namespace
