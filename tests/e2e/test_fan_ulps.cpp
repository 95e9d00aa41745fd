// CrossFire with ULPS on, end to end: the first APPLY switches ULPS off in every adapter key and
// restarts the display device with the tool beside the program; CLOSE switches it back on; Escape
// leaves it off.
#include "test_fan_support.h"

using namespace e2e;
using namespace e2e::fan;

namespace {

constexpr char kCrossfireOn[] = "crossfire.supported = 1\ncrossfire.state = 1\n";
const wchar_t kClassKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Video\\{5EA7C0DE-7E57-4A11-9F00-00000000F0A9}";
const wchar_t kAdapterKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Video\\{5EA7C0DE-7E57-4A11-9F00-00000000F0A9}\\0000";

// A display class key with one adapter key below it, for one test. The system keeps this part of the
// registry volatile, so the keys are created volatile too.
class ScratchAdapterKey {
public:
    explicit ScratchAdapterKey(DWORD enableUlps) {
        HKEY classKey = nullptr;
        HKEY adapterKey = nullptr;
        m_bCreated = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kClassKey, 0, nullptr, REG_OPTION_VOLATILE,
                                       KEY_ALL_ACCESS, nullptr, &classKey, nullptr) == ERROR_SUCCESS &&
                     ::RegCreateKeyExW(classKey, L"0000", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                       nullptr, &adapterKey, nullptr) == ERROR_SUCCESS;
        if (m_bCreated) {
            const wchar_t desc[] = L"Valdro simulated AMD board";
            ::RegSetValueExW(adapterKey, L"AdapterDesc", 0, REG_SZ, reinterpret_cast<const BYTE*>(desc),
                             sizeof(desc));
            ::RegSetValueExW(adapterKey, L"EnableUlps", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&enableUlps), sizeof(enableUlps));
        }
        if (adapterKey != nullptr) {
            ::RegCloseKey(adapterKey);
        }
        if (classKey != nullptr) {
            ::RegCloseKey(classKey);
        }
    }
    ~ScratchAdapterKey() {
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kAdapterKey);
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kClassKey);
    }
    ScratchAdapterKey(const ScratchAdapterKey&) = delete;
    ScratchAdapterKey& operator=(const ScratchAdapterKey&) = delete;

    bool Created() const { return m_bCreated; }
    // EnableUlps as the registry holds it now; -1 when it cannot be read.
    static long long EnableUlps() {
        DWORD value = 0;
        DWORD size = sizeof(value);
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, kAdapterKey, L"EnableUlps", RRF_RT_REG_DWORD, nullptr, &value,
                           &size) != ERROR_SUCCESS) {
            return -1;
        }
        return value;
    }

private:
    bool m_bCreated = false;
};

// Ventiq on a CrossFire AMD board with ULPS on, its device tools installed, and one APPLY made.
class UlpsBoard {
public:
    explicit UlpsBoard(const std::string& scenario = "")
        : m_key(1), m_board(Vendor::Amd, kCrossfireOn + scenario) {}

    bool Start() {
        m_board.Install().AddDeviceTools();
        return m_key.Created() && WaitStarted(m_board);
    }
    std::vector<std::string> Apply() {
        const size_t mark = Mark(m_board.Install());
        EXPECT_TRUE(SendCommand(m_board.Window(), kApply));
        return Since(m_board.Install(), mark);
    }
    Board& GetBoard() { return m_board; }

private:
    ScratchAdapterKey m_key;
    Board m_board;
};

const std::string kRestartLine = "devcon devcon64.exe restart *DEV_6719*";

TEST(Ulps, FirstApplySwitchesItOffAndRestartsTheDeviceOnce) {
    UlpsBoard ulps;
    ASSERT_TRUE(ulps.Start());
    ASSERT_EQ(ScratchAdapterKey::EnableUlps(), 1);

    const auto first = ulps.Apply();
    EXPECT_EQ(ScratchAdapterKey::EnableUlps(), 0);
    EXPECT_EQ(Only(first, "devcon"), std::vector<std::string>{kRestartLine});
    // After the restart the library's adapters are found again, before the fans are written.
    std::vector<std::string> order;
    for (const std::string& line : first) {
        const std::string name = line.substr(0, line.find(' '));
        if (name == "devcon" || name == "ADL_Main_Control_Create" ||
            name == "ADL_Adapter_NumberOfAdapters_Get" || name == "ADL_Overdrive5_FanSpeedToDefault_Set") {
            order.push_back(name);
        }
    }
    const std::vector<std::string> expected = {"devcon", "ADL_Main_Control_Create",
                                               "ADL_Adapter_NumberOfAdapters_Get",
                                               "ADL_Overdrive5_FanSpeedToDefault_Set"};
    EXPECT_EQ(order, expected);

    const auto second = ulps.Apply();
    EXPECT_TRUE(Only(second, "devcon").empty()) << "the switch is changed once per run";
    EXPECT_TRUE(Only(second, "ADL_Main_Control_Create").empty());
    EXPECT_EQ(Only(second, "ADL_Overdrive5_FanSpeedToDefault_Set").size(), 1u);
    EXPECT_EQ(ScratchAdapterKey::EnableUlps(), 0);
}

TEST(Ulps, AfterTheDeviceRestartANewGuardianTakesOver) {
    // A fixed middle-fan speed left behind: the fans are guarded from the start.
    UlpsBoard ulps("card.0.reg.0x85 = 90\ncard.0.reg.0x86 = 90\ncard.0.reg.0x87 = 90\ncard.0.reg.0x88 = 90\n");
    ASSERT_TRUE(ulps.Start());
    Board& board = ulps.GetBoard();
    const std::vector<DWORD> before = Processes(L"VentiqGuard.exe");
    ASSERT_EQ(before.size(), 1u);
    ulps.Apply();
    // The first guardian's session and adapters predate the restart: a new one opens its own.
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<DWORD> now = Processes(L"VentiqGuard.exe");
        return now.size() == 1 && now[0] != before[0];
    }));
    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(board.App().Terminate());
    ASSERT_TRUE(WaitUntil([&] { return Processes(L"VentiqGuard.exe").empty(); }, 10000));
    EXPECT_EQ(Only(Since(board.Install(), mark), "guard ADL_Overdrive5_FanSpeedToDefault_Set").size(), 1u)
        << "one hand-back, by the new guardian";
}

TEST(Ulps, CloseSwitchesItBackOnAndRestartsTheDevice) {
    UlpsBoard ulps;
    ASSERT_TRUE(ulps.Start());
    ulps.Apply();
    ASSERT_EQ(ScratchAdapterKey::EnableUlps(), 0);

    Board& board = ulps.GetBoard();
    const size_t mark = Mark(board.Install());
    window::Command(board.Window(), kClose);
    ASSERT_TRUE(board.App().WaitExit(20000));
    EXPECT_EQ(ScratchAdapterKey::EnableUlps(), 1);
    const auto lines = Since(board.Install(), mark);
    EXPECT_EQ(Only(lines, "devcon"), std::vector<std::string>{kRestartLine});
    EXPECT_EQ(Only(lines, "ADL_Main_Control_Destroy").size(), 1u);
}

TEST(Ulps, TrayCloseSwitchesItBackOnToo) {
    UlpsBoard ulps;
    ASSERT_TRUE(ulps.Start());
    ulps.Apply();
    Board& board = ulps.GetBoard();
    const size_t mark = Mark(board.Install());
    window::Command(board.Window(), kTrayClose);
    ASSERT_TRUE(board.App().WaitExit(20000));
    EXPECT_EQ(ScratchAdapterKey::EnableUlps(), 1);
    EXPECT_EQ(Only(Since(board.Install(), mark), "devcon").size(), 1u);
    EXPECT_TRUE(Only(Since(board.Install(), mark), "ADL_Main_Control_Destroy").empty());
}

TEST(Ulps, EscapeLeavesItOff) {
    UlpsBoard ulps;
    ASSERT_TRUE(ulps.Start());
    ulps.Apply();
    Board& board = ulps.GetBoard();
    const size_t mark = Mark(board.Install());
    window::Command(board.Window(), IDCANCEL);
    ASSERT_TRUE(board.App().WaitExit(20000));
    EXPECT_EQ(ScratchAdapterKey::EnableUlps(), 0);
    EXPECT_TRUE(Only(Since(board.Install(), mark), "devcon").empty());
}

TEST(Ulps, CloseWithoutApplyTouchesNothing) {
    UlpsBoard ulps;
    ASSERT_TRUE(ulps.Start());
    Board& board = ulps.GetBoard();
    window::Command(board.Window(), kClose);
    ASSERT_TRUE(board.App().WaitExit(20000));
    EXPECT_EQ(ScratchAdapterKey::EnableUlps(), 1);
    EXPECT_TRUE(Only(board.Install().Journal(), "devcon").empty());
}

TEST(Ulps, CrossfireOffLeavesTheSwitchAlone) {
    ScratchAdapterKey key(1);
    ASSERT_TRUE(key.Created());
    Board board(Vendor::Amd, "crossfire.supported = 1\ncrossfire.state = 0\n");
    board.Install().AddDeviceTools();
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(SendCommand(board.Window(), kApply));
    EXPECT_EQ(ScratchAdapterKey::EnableUlps(), 1);
    EXPECT_TRUE(Only(board.Install().Journal(), "devcon").empty());
}

} // namespace
