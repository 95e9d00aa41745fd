// The main window's own input, end to end: typed percentages and Enter, the slider copy that a click
// into a box suspends, clicks on the fan pictures and readouts at their places on the screen, Escape
// and Enter, MINI and showing again from the tray.
#include "test_window_support.h"

#include <tlhelp32.h>

using namespace e2e;
using namespace e2e::window;

namespace {
constexpr int kMini = 1000;
constexpr int kZone1Speed = 1003;
constexpr int kZone2Speed = 1004;
constexpr int kZone3Speed = 1005;
constexpr int kEntryOuter = 1010;
constexpr int kEntryMiddle = 1011;
constexpr int kApply = 1013;
constexpr int kSliderOuter = 1014;
constexpr int kAuto1 = 1017;
constexpr int kFan1Zone = 1021;
constexpr int kFan2Zone = 1022;
constexpr int kFan3Zone = 1023;
constexpr int kTrayShow = 32771;
constexpr int kTrayDoubleClick = 32768;

// Slider 1014 on AMD: 160 pixels, thumb 40, range 30..100. Centre of position p:
// 20 + trunc((p - 30) / 70 * 120).
int OuterCentre(int position) {
    return 20 + static_cast<int>((position - 30) / 70.0 * 120.0);
}

// Switches the outer fans to manual, so their slider and box take input.
void MakeOuterManual(const Board& board) {
    Command(board.Window(), kAuto1);
    ASSERT_TRUE(WaitUntil([&] { return board.Enabled(kEntryOuter); }));
}

// A click into the box starts typing; the box empties at its next repaint.
void StartTyping(const Board& board, int entry) {
    Click(board.Item(entry));
    ASSERT_TRUE(WaitUntil([&] { return board.Text(entry).empty(); })) << "the box was not emptied";
}

struct TypedCase {
    const char* name;
    const wchar_t* typed;
    const wchar_t* box; // entry 1010 after Enter
    int sliderPosition; // slider 1014 after Enter
};

void PrintTo(const TypedCase& c, std::ostream* os) {
    *os << c.name;
}

class TypedValue : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedValue, EnterTakesTheBoxHeldTo20To100AndMovesTheSlider) {
    const TypedCase& c = GetParam();
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    MakeOuterManual(board);
    StartTyping(board, kEntryOuter);

    TypeText(board.Item(kEntryOuter), c.typed);
    PressKey(board.Item(kEntryOuter), VK_RETURN);

    EXPECT_TRUE(WaitUntil([&] { return board.Text(kEntryOuter) == c.box; }))
        << "box shows \"" << testing::PrintToString(board.Text(kEntryOuter)) << "\"";
    const int expected = OuterCentre(c.sliderPosition);
    EXPECT_TRUE(WaitUntil([&] { return SliderCentre(board.Item(kSliderOuter)) == expected; }, 2000))
        << "slider centre at " << SliderCentre(board.Item(kSliderOuter)) << ", expected " << expected;
    EXPECT_TRUE(board.Enabled(kApply)) << "Enter lights APPLY";
    EXPECT_TRUE(board.App().IsRunning()) << "Enter must not close the window";
}

const TypedCase kTypedCases[] = {
    {"SevenBecomesTwenty", L"7", L"20", 30},
    {"TwoFiftyBecomesHundred", L"250", L"100", 100},
    {"FortyFiveIsTaken", L"45", L"45", 45},
    // The box keeps 25; the slider stops at its own minimum.
    {"TwentyFiveBelowTheSliderMinimum", L"25", L"25", 30},
    {"LettersAreDropped", L"4a5!", L"45", 45},
    {"AtMostThreeCharacters", L"0456", L"45", 45},
    {"BackspaceEdits", L"99\b6", L"96", 96},
};

INSTANTIATE_TEST_SUITE_P(Amd, TypedValue, ::testing::ValuesIn(kTypedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TypedValueColours, DigitsAreAmberWhileTypingAndPinkAfterEnter) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    MakeOuterManual(board);
    const HWND box = board.Item(kEntryOuter);
    ASSERT_GT(InkPixels(CaptureWindow(box), IsPinkInk), 0) << "an idle box shows pale pink digits";

    StartTyping(board, kEntryOuter);
    TypeText(box, L"88");
    ASSERT_TRUE(WaitUntil([&] { return board.Text(kEntryOuter) == L"88"; }));
    const auto showsOnly = [&](bool (*shown)(std::uint32_t), bool (*absent)(std::uint32_t)) {
        return WaitUntil(
            [&] {
                const Picture picture = CaptureWindow(box);
                return InkPixels(picture, shown) > 0 && InkPixels(picture, absent) == 0;
            },
            2000);
    };
    EXPECT_TRUE(showsOnly(IsAmberInk, IsPinkInk)) << "typed digits are not amber";

    PressKey(box, VK_RETURN);
    EXPECT_TRUE(showsOnly(IsPinkInk, IsAmberInk)) << "taken digits are not pale pink";
}

TEST(TypedValueSlider, AClickIntoTheBoxStopsTheSliderCopyUntilEnter) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    MakeOuterManual(board);
    const HWND slider = board.Item(kSliderOuter);

    // Drag the thumb to pixel 80 (position 65): the set is being edited and the box follows.
    ::PostMessageW(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 10));
    ::PostMessageW(slider, WM_LBUTTONUP, 0, MAKELPARAM(80, 10));
    ASSERT_TRUE(WaitUntil([&] { return board.Text(kEntryOuter) == L"65"; }));
    // A key move notifies as a drag does: the box follows.
    PressKey(slider, VK_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return board.Text(kEntryOuter) == L"66"; }, 3000))
        << "the slider copy is not running";

    StartTyping(board, kEntryOuter);
    PressKey(slider, VK_RIGHT);
    Pump(1500);
    EXPECT_EQ(board.Text(kEntryOuter), L"") << "the slider overwrote the box while typing";

    TypeText(board.Item(kEntryOuter), L"50");
    PressKey(board.Item(kEntryOuter), VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return board.Text(kEntryOuter) == L"50"; }));
    PressKey(slider, VK_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return board.Text(kEntryOuter) == L"51"; }, 3000))
        << "Enter did not restart the copy";
}

struct FanClickCase {
    const char* name;
    int clicked;
    int toggledEntry; // the box of the fan set whose mode the click toggles
    int otherEntry;
};

void PrintTo(const FanClickCase& c, std::ostream* os) {
    *os << c.name;
}

class FanClick : public ::testing::TestWithParam<FanClickCase> {};

// Clicks at screen positions: over a speed readout the click reaches the fan area beneath it.
TEST_P(FanClick, TogglesItsFanSetAndOnlyThat) {
    const FanClickCase& c = GetParam();
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    // Both sets start automatic: their boxes are disabled.
    ASSERT_FALSE(board.Enabled(kEntryOuter));
    ASSERT_FALSE(board.Enabled(kEntryMiddle));

    ClickOnScreen(board.Item(c.clicked));
    EXPECT_TRUE(WaitUntil([&] { return board.Enabled(c.toggledEntry); })) << "first click: not manual";
    EXPECT_FALSE(board.Enabled(c.otherEntry));

    // Past the double-click time, so this is a click of its own.
    Pump(::GetDoubleClickTime() + 100);
    ClickOnScreen(board.Item(c.clicked));
    EXPECT_TRUE(WaitUntil([&] { return !board.Enabled(c.toggledEntry); })) << "second click: not automatic";
    // The window lights APPLY just after disabling the box.
    EXPECT_TRUE(WaitUntil([&] { return board.Enabled(kApply); }))
        << "going back to automatic waits for APPLY";
}

// A quick second click arrives as a double click; it toggles again.
TEST_P(FanClick, AQuickSecondClickTogglesBack) {
    const FanClickCase& c = GetParam();
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    ClickOnScreen(board.Item(c.clicked));
    ClickOnScreen(board.Item(c.clicked));
    ASSERT_TRUE(WaitUntil([&] { return board.Enabled(kApply); })) << "APPLY not lit";
    Pump(500);
    EXPECT_FALSE(board.Enabled(c.toggledEntry)) << "the second click was lost";
}

const FanClickCase kFanClickCases[] = {
    {"LeftFanArea", kFan1Zone, kEntryOuter, kEntryMiddle},
    {"RightFanArea", kFan2Zone, kEntryOuter, kEntryMiddle},
    {"CentreFanArea", kFan3Zone, kEntryMiddle, kEntryOuter},
    {"LeftSpeedLabel", kZone1Speed, kEntryOuter, kEntryMiddle},
    {"RightSpeedLabel", kZone2Speed, kEntryOuter, kEntryMiddle},
    {"CentreSpeedLabel", kZone3Speed, kEntryMiddle, kEntryOuter},
};

INSTANTIATE_TEST_SUITE_P(Amd, FanClick, ::testing::ValuesIn(kFanClickCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FanClickWithoutChip, TheDisabledCentreFanTakesNoClick) {
    Board board(Vendor::Amd, "card.0.chip = 0\n");
    ASSERT_TRUE(board.WaitReady());
    ASSERT_FALSE(board.Enabled(kFan3Zone)) << "without the chip the centre fan area is disabled";

    // Over the centre fan and its readout the click falls through to the window.
    ClickOnScreen(board.Item(kFan3Zone));
    Pump(::GetDoubleClickTime() + 100);
    ClickOnScreen(board.Item(kZone3Speed));
    Pump(1000);
    EXPECT_FALSE(board.Enabled(kApply)) << "the middle fan's mode changed";
    EXPECT_FALSE(board.Enabled(kEntryMiddle));
}

// The processes a process has started and that still run, but for its guardian.
std::vector<DWORD> ChildProcesses(DWORD parent) {
    std::vector<DWORD> children;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, L"VentiqGuard.exe") != 0) {
            children.push_back(entry.th32ProcessID);
        }
    }
    ::CloseHandle(snapshot);
    return children;
}

TEST(ReadoutClick, ClickingAReadoutNeverStartsAShellCommand) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    for (int id : {1016, 1019, 1002, 1006, kZone1Speed, kZone2Speed, kZone3Speed}) {
        // A folder in the program's current directory named as the readout reads: opening the
        // caption would start a folder window.
        const std::wstring caption = board.Text(id);
        if (!caption.empty()) {
            ::CreateDirectoryW((board.Install().Dir() + L"\\" + caption).c_str(), nullptr);
        }
        ClickOnScreen(board.Item(id));
        Pump(::GetDoubleClickTime() + 100);
    }
    Pump(2000);
    const std::vector<DWORD> started = ChildProcesses(board.App().ProcessId());
    for (DWORD child : started) {
        const HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, child);
        ::TerminateProcess(process, 1);
        ::CloseHandle(process);
    }
    EXPECT_TRUE(started.empty()) << started.size() << " processes started";
    EXPECT_TRUE(board.App().IsRunning());
}

TEST(Keyboard, EscapeClosesThroughTheCancelPath) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    PressKey(board.Window(), VK_ESCAPE);
    DWORD exitCode = 1;
    ASSERT_TRUE(board.App().WaitExit(10000, &exitCode)) << "Escape did not close the window";
    EXPECT_EQ(exitCode, 0u);
    // The window's destruction hands the fans back; only the CLOSE command ends the library session.
    EXPECT_FALSE(board.Install().Calls("ADL_Overdrive5_FanSpeedToDefault_Set").empty());
    EXPECT_TRUE(board.Install().Calls("ADL_Main_Control_Destroy").empty());
}

TEST(Keyboard, EnterOnTheWindowTakesTheBoxesAndKeepsItOpen) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    ASSERT_FALSE(board.Enabled(kApply));
    PressKey(board.Window(), VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return board.Enabled(kApply); }))
        << "Enter did not reach the typed-value handler";
    Pump(1000);
    EXPECT_TRUE(board.App().IsRunning());
    EXPECT_TRUE(::IsWindowVisible(board.Window()));
}

struct TraySearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindTrayWindow(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<TraySearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (owner == s->processId && std::wstring(className) == L"Ventiq.TrayWnd") {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// The tray's hidden callback window of the running program.
HWND TrayWindow(DWORD processId) {
    TraySearch search{processId, nullptr};
    ::EnumWindows(&FindTrayWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(Tray, MiniHidesAndShowOrADoubleClickBringsTheWindowBack) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    const HWND window = board.Window();
    const auto hidden = [&] { return !::IsWindowVisible(window); };
    const auto shown = [&] { return ::IsWindowVisible(window) != FALSE; };

    Command(window, kMini);
    ASSERT_TRUE(WaitUntil(hidden)) << "MINI";
    Command(window, kTrayShow);
    ASSERT_TRUE(WaitUntil(shown)) << "tray menu Show";

    Command(window, kMini);
    ASSERT_TRUE(WaitUntil(hidden));
    Command(window, kTrayDoubleClick);
    ASSERT_TRUE(WaitUntil(shown)) << "double-click command";

    // The icon's own double click: the tray window sends that command.
    Command(window, kMini);
    ASSERT_TRUE(WaitUntil(hidden));
    const HWND tray = TrayWindow(board.App().ProcessId());
    ASSERT_NE(tray, nullptr);
    ::PostMessageW(tray, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil(shown)) << "double click on the icon";
    EXPECT_TRUE(board.App().IsRunning());
}

} // namespace
