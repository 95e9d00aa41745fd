// Fan control inside the program's own window object, against the simulated board: every card of a
// multi-card board (which the system's adapter list cannot show end to end), the slider positions of
// the first readings and of a tick, and the gates of the restore.
#include "app/VentiqDlg.h"
#include "hw/AmdFanHardware.h"
#include "test_adl_sim_board.h"

#include <gtest/gtest.h>

using simtest::Field;
using simtest::Only;

namespace {

// The main window object on a plain window holding the controls it binds, so its handlers run as in
// the program: no dialog template, no start-up, the state set by each test.
class FanRig : public ::testing::Test {
protected:
    void SetUp() override {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = L"VentiqFanRig";
        ::RegisterClassW(&windowClass);
        m_hWnd = ::CreateWindowExW(0, L"VentiqFanRig", L"", WS_POPUP, 0, 0, 800, 395, nullptr, nullptr,
                                   instance, nullptr);
        ASSERT_NE(m_hWnd, nullptr);
        ASSERT_TRUE(m_dlg.SubclassWindow(m_hWnd));
        for (int id : {1000, 1001, 1012, 1013, 1017, 1018}) {
            Child(L"BUTTON", BS_PUSHBUTTON, id);
        }
        for (int id : {1014, 1015, 1021, 1022, 1023}) {
            Child(L"STATIC", SS_NOTIFY, id);
        }
        for (int id : {1002, 1003, 1004, 1005, 1006, 1016, 1019}) {
            Child(L"STATIC", 0, id);
        }
        for (int id : {1010, 1011}) {
            Child(L"EDIT", 0, id);
        }
        m_dlg.UpdateData();
        DListRow row;
        const wchar_t* defaults[] = {L"120", L"100", L"80", L"60"};
        for (int k = 0; k < 4; ++k) {
            row.m_strRegDefault[k] = defaults[k];
        }
        m_dlg.m_pRows = {row};
        m_dlg.m_nMatchedRow = 0;
    }

    void TearDown() override {
        // The destruction restores the fans; nothing checks it here.
        if (m_hWnd != nullptr) {
            ::DestroyWindow(m_hWnd);
        }
    }

    void Child(const wchar_t* className, DWORD style, int id) {
        ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 40, 20, m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                          nullptr);
    }

    // The back end as the program starts it; with `chosenAdapter` 6 the first adapter record is made
    // inactive, so the driver's adapter 6 is chosen.
    void UseAmd(std::string scenario, int cards, int chosenAdapter) {
        if (chosenAdapter == 6) {
            scenario += "adapter.0.active = 0\n";
        }
        m_board.WriteScenario(scenario);
        m_dlg.m_strVendor = L"AMD";
        m_dlg.m_nCardCount = cards;
        m_dlg.m_pCardMatched.assign(static_cast<size_t>(cards), 1);
        ASSERT_TRUE(m_dlg.StartBackend());
        m_dlg.TakeFanControl();
        ASSERT_EQ(m_dlg.m_pAmdHardware->AdapterIndex(), chosenAdapter);
        m_board.ClearJournal();
    }

    void UseNvidia(const std::string& scenario, std::vector<BYTE> matched) {
        m_board.WriteScenario(scenario);
        m_dlg.m_strVendor = L"NVIDIA";
        m_dlg.m_nCardCount = static_cast<int>(matched.size());
        m_dlg.m_pCardMatched = std::move(matched);
        ASSERT_TRUE(m_dlg.StartBackend());
        m_dlg.TakeFanControl();
        m_board.ClearJournal();
    }

    // Chip writes as "where:register=data", where being the adapter (AMD) or the card (NVIDIA).
    std::vector<std::string> ChipWrites() const {
        std::vector<std::string> writes;
        for (const std::string& line : m_board.Journal()) {
            if (line.rfind("ADL_Display_WriteAndReadI2C ", 0) == 0 && Field(line, "action") == "2") {
                writes.push_back(Field(line, "adapter") + ":" + Field(line, "offset") + "=" +
                                 Field(line, "data"));
            } else if (line.rfind("NvAPI_I2CWrite ", 0) == 0) {
                writes.push_back(Field(line, "gpu") + ":" + Field(line, "reg") + "=" + Field(line, "data"));
            }
        }
        return writes;
    }

    std::vector<std::string> Values(const std::string& call, const std::string& key,
                                    const std::string& key2) const {
        std::vector<std::string> values;
        for (const std::string& line : Only(m_board.Journal(), {call})) {
            values.push_back(Field(line, key) + "/" + Field(line, key2));
        }
        return values;
    }

    void SetEntries(const wchar_t* outer, const wchar_t* middle) {
        ::SetDlgItemTextW(m_hWnd, 1010, outer);
        ::SetDlgItemTextW(m_hWnd, 1011, middle);
    }

    simtest::CScratchBoard m_board;
    CVentiqDlg m_dlg;
    HWND m_hWnd = nullptr;
};

// The program's tray icon with the shell replaced by a log of the tips it was sent.
class CTipLog : public CMyAppTrayIcon {
public:
    std::vector<std::wstring> m_tips;

protected:
    BOOL NotifyShell(DWORD, NOTIFYICONDATAW& record) override {
        m_tips.push_back(record.szTip);
        return TRUE;
    }
};

constexpr char kTwoAmdCards[] = "cards = 2\nadapters = 2\nadapter.1.index = 6\n";

// The start-up's control registers, -1 where a read failed.
std::vector<int> SavedRegisters(const CVentiqDlg& dlg) {
    std::vector<int> values;
    for (const std::optional<BYTE>& value : dlg.m_nSavedRegs) {
        values.push_back(value ? *value : -1);
    }
    return values;
}

TEST_F(FanRig, AmdApplyAddressesCardIAtAdapterIndexTimesI) {
    UseAmd(kTwoAmdCards, 2, 6);
    m_dlg.m_outerMode = FanMode::Manual;
    m_dlg.m_middleMode = FanMode::Manual;
    m_dlg.m_bControllerPresent = true;
    SetEntries(L"45", L"30");
    m_dlg.OnApply();

    const std::vector<std::string> speeds = {"0/45", "6/45"};
    EXPECT_EQ(Values("ADL_Overdrive5_FanSpeed_Set", "adapter", "speed"), speeds);
    for (const std::string& line : Only(m_board.Journal(), {"ADL_Overdrive5_FanSpeed_Set"})) {
        EXPECT_EQ(Field(line, "flags"), "1");
        EXPECT_EQ(Field(line, "type"), "1");
    }
    const std::vector<std::string> duties = {"0:0x85=0x4C", "0:0x86=0x4C", "6:0x85=0x4C", "6:0x86=0x4C"};
    EXPECT_EQ(ChipWrites(), duties);
    // The protection check reads the first card through the chosen adapter, once.
    const auto reads = Only(m_board.Journal(), {"ADL_Display_WriteAndReadI2C"});
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(Field(reads[0], "adapter"), "6");
    EXPECT_EQ(Field(reads[0], "offset"), "0x02");
}

TEST_F(FanRig, AmdAdapterZeroMeansEveryCardIsWrittenAtAdapterZero) {
    UseAmd(kTwoAmdCards, 2, 0);
    m_dlg.m_outerMode = FanMode::Automatic;
    m_dlg.m_middleMode = FanMode::Automatic;
    m_dlg.OnApply();
    const std::vector<std::string> defaults = {"0/0", "0/0"};
    EXPECT_EQ(Values("ADL_Overdrive5_FanSpeedToDefault_Set", "adapter", "thermal"), defaults);
    EXPECT_EQ(ChipWrites().size(), 8u) << "register defaults on both cards";
}

TEST_F(FanRig, NvidiaApplySetsTheCoolerOfMatchedCardsAndTheChipOfEveryCard) {
    UseNvidia("cards = 2\n", {0, 1});
    m_dlg.m_outerMode = FanMode::Manual;
    m_dlg.m_middleMode = FanMode::Manual;
    m_dlg.m_bControllerPresent = true;
    SetEntries(L"45", L"30");
    m_dlg.OnApply();

    EXPECT_EQ(Values("NvApplyCoolerLevels", "gpu", "level"), std::vector<std::string>{"1/45"});
    const std::vector<std::string> duties = {"0:0x85=0x4C", "0:0x86=0x4C", "1:0x85=0x4C", "1:0x86=0x4C"};
    EXPECT_EQ(ChipWrites(), duties);
}

TEST_F(FanRig, ApplyNeverWritesAFixedDutyToAChipThatIsNotInUse) {
    // The start-up read the duty as 0: the middle fan's controls are disabled, its box reads "0".
    UseAmd(kTwoAmdCards, 2, 0);
    m_dlg.m_outerMode = FanMode::Manual;
    m_dlg.m_middleMode = FanMode::Manual;
    m_dlg.m_bControllerPresent = false;
    SetEntries(L"45", L"0");
    m_dlg.OnApply();
    EXPECT_EQ(Values("ADL_Overdrive5_FanSpeed_Set", "adapter", "speed"),
              (std::vector<std::string>{"0/45", "0/45"}));
    EXPECT_TRUE(ChipWrites().empty());
    EXPECT_TRUE(m_board.Calls("ADL_Display_WriteAndReadI2C").empty()) << "nor is the module temperature read";
}

TEST_F(FanRig, RestoreHandsEveryCardBack) {
    UseAmd(kTwoAmdCards, 2, 6);
    m_dlg.RestoreFanDefaults();
    const std::vector<std::string> defaults = {"0/0", "6/0"};
    EXPECT_EQ(Values("ADL_Overdrive5_FanSpeedToDefault_Set", "adapter", "thermal"), defaults);
    const std::vector<std::string> writes = {"0:0x85=0x78", "0:0x86=0x64", "0:0x87=0x50", "0:0x88=0x3C",
                                             "6:0x85=0x78", "6:0x86=0x64", "6:0x87=0x50", "6:0x88=0x3C"};
    EXPECT_EQ(ChipWrites(), writes);
}

TEST_F(FanRig, NvidiaRestoreSkipsUnmatchedCoolersButNotTheirChips) {
    UseNvidia("cards = 2\n", {0, 1});
    m_dlg.RestoreFanDefaults();
    EXPECT_EQ(Values("NvApplyCoolerLevels", "gpu", "policy"), std::vector<std::string>{"1/32"});
    EXPECT_EQ(ChipWrites().size(), 8u);
}

TEST_F(FanRig, RestoreWritesTheRowsDefaultsAsLowBytes) {
    m_dlg.m_pRows[0].m_strRegDefault[0] = L"40";
    m_dlg.m_pRows[0].m_strRegDefault[1] = L" 7x";
    m_dlg.m_pRows[0].m_strRegDefault[2] = L"abc";
    m_dlg.m_pRows[0].m_strRegDefault[3] = L"300";
    UseAmd("", 1, 0);
    m_dlg.RestoreFanDefaults();
    const std::vector<std::string> writes = {"0:0x85=0x28", "0:0x86=0x07", "0:0x87=0x00", "0:0x88=0x2C"};
    EXPECT_EQ(ChipWrites(), writes);
}

TEST_F(FanRig, NothingIsRestoredWithoutCardsOrWithoutABackEnd) {
    UseAmd("", 0, 0);
    m_dlg.RestoreFanDefaults();
    EXPECT_TRUE(m_board.Journal().empty()) << "no cards, no calls";

    m_dlg.m_pFanOwner.reset();
    m_dlg.m_pAmdHardware = nullptr;
    m_dlg.m_pHardware.reset();
    m_board.ClearJournal();
    m_dlg.RestoreFanDefaults();
    EXPECT_TRUE(m_board.Journal().empty()) << "a back end that never came up is not called";
}

TEST_F(FanRig, SessionEndRestoresOnlyWithFanControl) {
    UseAmd("", 1, 0);
    m_dlg.m_pFanOwner.reset();
    EXPECT_EQ(m_dlg.SendMessage(WM_QUERYENDSESSION), TRUE);
    EXPECT_TRUE(m_board.Journal().empty());
    m_dlg.TakeFanControl();
    EXPECT_EQ(m_dlg.SendMessage(WM_QUERYENDSESSION), TRUE);
    EXPECT_EQ(Only(m_board.Journal(), {"ADL_Overdrive5_FanSpeedToDefault_Set"}).size(), 1u);
}

TEST_F(FanRig, SavedRegistersComeFromTheFirstCardOnEitherVendor) {
    UseAmd(std::string(kTwoAmdCards) + "adapter.1.card = 0\ncard.0.reg.0x85 = 120\ncard.0.reg.0x86 = 120\n"
                                       "card.0.reg.0x87 = 120\ncard.0.reg.0x88 = 121\n",
           2, 6);
    m_dlg.ReadSavedRegisters();
    EXPECT_EQ(SavedRegisters(m_dlg), (std::vector<int>{120, 120, 120, 121}));
    for (const std::string& read : m_board.Calls("ADL_Display_WriteAndReadI2C")) {
        EXPECT_EQ(Field(read, "adapter"), "6") << "the chosen adapter";
    }
    ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;

    CVentiqDlg nvidia;
    nvidia.m_strVendor = L"NVIDIA";
    nvidia.m_nCardCount = 2;
    nvidia.m_pCardMatched = {1, 1};
    m_board.WriteScenario("cards = 2\ncard.0.reg.0x88 = 0xFF\n");
    ASSERT_TRUE(nvidia.StartBackend());
    m_board.ClearJournal();
    nvidia.ReadSavedRegisters();
    EXPECT_EQ(SavedRegisters(nvidia), (std::vector<int>{120, 100, 80, 255}));
    for (const std::string& read : m_board.Calls("NvAPI_I2CRead")) {
        EXPECT_EQ(Field(read, "gpu"), "0");
    }
}

TEST_F(FanRig, FirstReadingsPlaceTheSlidersBeforeTheirLimits) {
    // 25 % on the outer fans stays below the new minimum 30; duty 76 is position 29.
    UseAmd("card.0.fan = 25\ncard.0.reg.0x60 = 76\n", 1, 0);
    m_dlg.ReadSavedRegisters();
    m_dlg.ReadInitialState();
    EXPECT_EQ(m_dlg.m_sliderOuter.GetPosition(), 25);
    EXPECT_EQ(m_dlg.m_sliderOuter.GetMinimum(), 30);
    EXPECT_EQ(m_dlg.m_sliderMiddle.GetPosition(), 29);
    EXPECT_EQ(m_dlg.m_sliderMiddle.GetMinimum(), 30);
    EXPECT_EQ(m_dlg.m_strZone3Percent, L"30");
    EXPECT_EQ(m_dlg.m_outerMode, FanMode::Automatic);
    EXPECT_EQ(m_dlg.m_middleMode, FanMode::Automatic);
    EXPECT_TRUE(m_dlg.m_bControllerPresent);
    EXPECT_FALSE(m_dlg.m_sliderOuter.IsSliderEnabled());
    EXPECT_FALSE(m_dlg.m_sliderMiddle.IsSliderEnabled());
}

TEST_F(FanRig, NvidiaSliderStartsAtTheCoolerLevelWithItsOwnMinimum) {
    UseNvidia("card.0.cooler.level = 20\ncard.0.cooler.policy = 1\n", {1});
    m_dlg.ReadInitialState();
    EXPECT_EQ(m_dlg.m_sliderOuter.GetPosition(), 20);
    EXPECT_EQ(m_dlg.m_sliderOuter.GetMinimum(), 26);
    EXPECT_EQ(m_dlg.m_outerMode, FanMode::Manual);
    EXPECT_TRUE(m_dlg.m_sliderOuter.IsSliderEnabled());
}

TEST_F(FanRig, WithoutFanControlNvidiaOnlyShowsReadings) {
    UseNvidia("card.0.cooler.policy = 16\n", {1});
    m_dlg.m_pFanOwner.reset();
    m_dlg.ReadInitialState();
    EXPECT_EQ(m_dlg.m_outerMode, FanMode::Manual);
    EXPECT_FALSE(m_dlg.m_bControllerPresent) << "the chip is never used without fan control";
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, 1017)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, 1021)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, 1010)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, 1018)));
}

TEST_F(FanRig, TickMovesOnlyAutomaticSliders) {
    UseAmd("card.0.fan = 40\n", 1, 0);
    m_dlg.ReadSavedRegisters();
    m_dlg.ReadInitialState();
    m_dlg.OnAuto2(); // the middle fan goes manual
    m_board.WriteScenario("card.0.fan = 64\ncard.0.reg.0x60 = 200\n");
    m_dlg.UpdateReadings();
    EXPECT_EQ(m_dlg.m_sliderOuter.GetPosition(), 64);
    EXPECT_FALSE(m_dlg.m_sliderOuter.IsSliderEnabled()) << "disabled again after the move";
    EXPECT_EQ(m_dlg.m_sliderMiddle.GetPosition(), 40) << "a manual slider keeps the user's value";
    EXPECT_EQ(m_dlg.m_strZone3Percent, L"78");

    m_dlg.OnAuto2();
    m_dlg.UpdateReadings();
    EXPECT_EQ(m_dlg.m_sliderMiddle.GetPosition(), 78);
}

TEST_F(FanRig, EntryTimerCopiesOnlyTheEditedManualSlider) {
    UseAmd("", 1, 0);
    m_dlg.ReadSavedRegisters();
    m_dlg.ReadInitialState();
    SetEntries(L"11", L"22");
    m_dlg.UpdateEntryText();
    wchar_t text[8] = {};
    ::GetDlgItemTextW(m_hWnd, 1010, text, 8);
    EXPECT_STREQ(text, L"11") << "nothing is being edited";

    m_dlg.OnAuto1();
    m_dlg.m_sliderOuter.SetPosition(55);
    m_dlg.m_bEditing1 = true;
    m_dlg.UpdateEntryText();
    ::GetDlgItemTextW(m_hWnd, 1010, text, 8);
    EXPECT_STREQ(text, L"55");
    ::GetDlgItemTextW(m_hWnd, 1011, text, 8);
    EXPECT_STREQ(text, L"22");
}

TEST_F(FanRig, UnreadableControlRegistersMeanTheMiddleFanStartsAutomatic) {
    // Four equal registers say a fixed speed was left behind; four reads that failed say nothing.
    UseAmd("card.0.reg.0x85 = 90\ncard.0.reg.0x86 = 90\ncard.0.reg.0x87 = 90\ncard.0.reg.0x88 = 90\n", 1, 0);
    m_dlg.ReadSavedRegisters();
    for (std::optional<BYTE>& value : m_dlg.m_nSavedRegs) {
        value.reset();
    }
    m_dlg.ReadInitialState();
    EXPECT_EQ(m_dlg.m_middleMode, FanMode::Automatic);
    EXPECT_EQ(m_dlg.m_middleApplied.m_mode, FanMode::Automatic) << "nothing of the user's to put back";
}

TEST_F(FanRig, AKeyboardMoveOfTheSliderFillsTheBoxAndLightsApply) {
    UseAmd("", 1, 0);
    m_dlg.ReadSavedRegisters();
    m_dlg.ReadInitialState();
    m_dlg.OnAuto1();
    m_dlg.m_sliderOuter.SetPosition(61);
    // The arrow keys end with the "changed" notice alone.
    m_dlg.SendMessage(WM_SLIDER_POSCHANGED, IDC_SLIDER_OUTER, 61);
    wchar_t text[8] = {};
    ::GetDlgItemTextW(m_hWnd, 1010, text, 8);
    EXPECT_STREQ(text, L"61");
    EXPECT_TRUE(m_dlg.m_bEditing1);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(m_hWnd, 1013))) << "APPLY";
}

TEST_F(FanRig, TrayTipFollowsTheTickWhenTheReadingsChange) {
    UseAmd("card.0.temperature = 56\ncard.0.fan = 39\ncard.0.reg.0x60 = 87\ncard.0.reg.0x02 = 58\n", 1, 0);
    m_dlg.ReadSavedRegisters();
    m_dlg.ReadInitialState();
    auto tray = std::make_unique<CTipLog>();
    CTipLog& log = *tray;
    tray->AddIcon(::LoadIconW(nullptr, IDI_APPLICATION));
    tray->ShowIcon();
    m_dlg.m_pTrayIcon = std::move(tray);

    m_dlg.SendMessage(WM_TIMER, TIMER_READINGS);
    m_dlg.SendMessage(WM_TIMER, TIMER_READINGS);
    m_board.WriteScenario(
        "card.0.temperature = 57\ncard.0.fan = 39\ncard.0.reg.0x60 = 87\ncard.0.reg.0x02 = 58\n");
    m_dlg.SendMessage(WM_TIMER, TIMER_READINGS);
    const std::vector<std::wstring> tips = {L"Ventiq",
                                            L"Ventiq - GPU 56 \u00B0C, PWM 58 \u00B0C, fans 39 % / 34 %",
                                            L"Ventiq - GPU 57 \u00B0C, PWM 58 \u00B0C, fans 39 % / 34 %"};
    EXPECT_EQ(log.m_tips, tips) << "the unchanged second tick sends nothing";
}

// What the window receives on a resume: the broadcast, then the driver-wait timer.
void Resume(CVentiqDlg& dlg) {
    dlg.SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    dlg.SendMessage(WM_TIMER, TIMER_DRIVER_WAIT);
}

TEST_F(FanRig, AResumeWritesTheManualSetsAsLastApplied) {
    const struct {
        const char* state;
        bool outerManual, middleManual, reset;
        std::vector<std::string> speeds, duties;
    } rows[] = {
        {"both manual", true, true, false, {"0/45"}, {"0:0x85=0x4C", "0:0x86=0x4C"}},
        {"outer manual", true, false, false, {"0/45"}, {}},
        {"middle manual", false, true, false, {}, {"0:0x85=0x4C", "0:0x86=0x4C"}},
        {"both automatic", false, false, false, {}, {}},
        {"manual, then RESET", true, true, true, {}, {}},
    };
    UseAmd("card.0.reg.0x02 = 40\n", 1, 0);
    m_dlg.m_bControllerPresent = true;
    for (const auto& row : rows) {
        m_dlg.m_outerMode = row.outerManual ? FanMode::Manual : FanMode::Automatic;
        m_dlg.m_middleMode = row.middleManual ? FanMode::Manual : FanMode::Automatic;
        SetEntries(L"45", L"30");
        m_dlg.OnApply();
        if (row.reset) {
            m_dlg.OnReset();
        }
        m_board.ClearJournal();
        Resume(m_dlg);
        EXPECT_EQ(Values("ADL_Overdrive5_FanSpeed_Set", "adapter", "speed"), row.speeds) << row.state;
        EXPECT_EQ(ChipWrites(), row.duties) << row.state;
    }
}

TEST_F(FanRig, SetsThatStartManualGetTheirStartValuesBack) {
    UseNvidia("card.0.cooler.level = 50\ncard.0.cooler.policy = 1\ncard.0.reg.0x60 = 128\n"
              "card.0.reg.0x85 = 128\ncard.0.reg.0x86 = 128\ncard.0.reg.0x87 = 128\ncard.0.reg.0x88 = 128\n",
              {1});
    m_dlg.ReadSavedRegisters();
    m_dlg.ReadInitialState();
    m_board.ClearJournal();
    Resume(m_dlg);
    EXPECT_EQ(Values("NvApplyCoolerLevels", "level", "policy"), std::vector<std::string>{"50/1"});
    // Duty 128 shows as 50 %, which is duty 127 again.
    EXPECT_EQ(ChipWrites(), (std::vector<std::string>{"0:0x85=0x7F", "0:0x86=0x7F"}));
}

TEST_F(FanRig, ADisplayChangeOrADriverBackFromRefusingPutsTheSettingsBack) {
    UseAmd("", 1, 0);
    m_dlg.m_outerMode = FanMode::Manual;
    SetEntries(L"45", L"30");
    m_dlg.OnApply();
    m_board.ClearJournal();
    m_dlg.SendMessage(WM_DISPLAYCHANGE);
    m_dlg.SendMessage(WM_TIMER, TIMER_DRIVER_WAIT);
    EXPECT_EQ(Values("ADL_Overdrive5_FanSpeed_Set", "adapter", "speed").size(), 1u) << "display change";
    m_dlg.SendMessage(WM_TIMER, TIMER_READINGS); // the read-back finds the setting

    // One failed read is a flaky read; two in a row, then an answer, are a driver that restarted.
    const char kRefusing[] = "fault.status.ADL_Overdrive5_Temperature_Get = -1\n";
    for (const int refusals : {1, 2}) {
        m_board.ClearJournal();
        for (int tick = 0; tick < refusals; ++tick) {
            m_board.WriteScenario(kRefusing);
            m_dlg.SendMessage(WM_TIMER, TIMER_READINGS);
        }
        EXPECT_TRUE(Values("ADL_Overdrive5_FanSpeed_Set", "adapter", "speed").empty()) << "refusing";
        m_board.WriteScenario("");
        m_dlg.SendMessage(WM_TIMER, TIMER_READINGS);
        m_dlg.SendMessage(WM_TIMER, TIMER_READINGS);
        EXPECT_EQ(Values("ADL_Overdrive5_FanSpeed_Set", "adapter", "speed").size(), refusals == 2 ? 1u : 0u)
            << refusals << " refused reads, then answering again";
    }
}

} // namespace
