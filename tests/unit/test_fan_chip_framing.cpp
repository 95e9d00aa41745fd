// Chip transactions as they reach the simulated board: the framing of every register read and write
// on both vendor paths, and the register sequences of the fan controls.
#include "app/VentiqDlg.h"
#include "hw/AdlRecords.h"
#include "hw/DutyConversion.h"
#include "test_adl_sim_board.h"

#include <gtest/gtest.h>

#include <cstdio>

using simtest::Field;

namespace {

std::string AdlLine(int adapter, int offset, int action, int data) {
    char text[200];
    std::snprintf(
        text, sizeof text,
        "ADL_Display_WriteAndReadI2C adapter=%d size=%d line=1 address=0x5C offset=0x%02X action=%d "
        "speed=10 datasize=1 data=0x%02X",
        adapter, static_cast<int>(sizeof(ADLI2C)), offset, action, data);
    return text;
}

std::string NvLine(const char* call, int gpu, int reg, int data) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "%s gpu=%d version=0x%X address=0x5C reg=0x%02X regsize=1 size=1 speed=35 port=1 portset=1 "
                  "data=0x%02X",
                  call, gpu, static_cast<unsigned>(NV_I2C_INFO_VER), reg, data);
    return text;
}

class FanChipTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (m_dlg.m_hADL != nullptr) {
            ::FreeLibrary(m_dlg.m_hADL);
            m_dlg.m_hADL = nullptr;
        }
        m_dlg.m_nvApi.Unload();
    }

    void UseAmd(const std::string& scenario) {
        m_board.WriteScenario(scenario);
        m_dlg.m_strVendor = L"AMD";
        m_dlg.m_hADL = simtest::LoadSystemLibrary(L"atiadlxx.dll");
        ASSERT_NE(m_dlg.m_hADL, nullptr);
        m_board.ClearJournal();
    }

    void UseNvidia(const std::string& scenario) {
        m_board.WriteScenario(scenario);
        m_dlg.m_strVendor = L"NVIDIA";
        ASSERT_TRUE(m_dlg.StartNvidiaBackend());
        m_board.ClearJournal();
    }

    void SetRegisterDefaults(const wchar_t* r85, const wchar_t* r86, const wchar_t* r87, const wchar_t* r88) {
        DListRow row;
        row.m_strRegDefault[0] = r85;
        row.m_strRegDefault[1] = r86;
        row.m_strRegDefault[2] = r87;
        row.m_strRegDefault[3] = r88;
        m_dlg.m_pRows = {DListRow{}, row};
        m_dlg.m_nMatchedRow = 1;
    }

    simtest::CScratchBoard m_board;
    CVentiqDlg m_dlg;
};

TEST_F(FanChipTest, AmdReadAndWriteFraming) {
    UseAmd("card.0.reg.0x02 = 72\n");
    EXPECT_EQ(m_dlg.AdlI2CRead(0, 0x02), 72);
    m_dlg.AdlI2CWrite(0, 0x85, 0x14C); // only the low 8 bits are sent
    EXPECT_EQ(m_board.Journal(),
              (std::vector<std::string>{AdlLine(0, 0x02, 1, 72), AdlLine(0, 0x85, 2, 0x4C)}));
    EXPECT_EQ(m_dlg.AdlI2CRead(0, 0x85), 0x4C) << "the chip keeps what was written";
}

TEST_F(FanChipTest, AmdFailuresReadAsZero) {
    const struct {
        const char* scenario;
        int adapter;
    } cases[] = {
        {"card.0.chip = 0\n", 0},                               // no chip on the bus
        {"fault.status.ADL_Display_WriteAndReadI2C = -1\n", 0}, // the driver refuses
        {"", 3},                                                // an adapter index the driver does not know
    };
    for (const auto& c : cases) {
        UseAmd(c.scenario);
        EXPECT_EQ(m_dlg.AdlI2CRead(c.adapter, 0x60), 0) << c.scenario;
        EXPECT_EQ(m_board.Calls("ADL_Display_WriteAndReadI2C").size(), 1u) << c.scenario;
        TearDown();
    }
}

TEST_F(FanChipTest, AmdWithoutTheI2CEntryPointSendsNothing) {
    UseAmd("fault.missing = ADL_Display_WriteAndReadI2C\n");
    EXPECT_EQ(m_dlg.AdlI2CRead(0, 0x60), 0);
    m_dlg.AdlI2CWrite(0, 0x85, 10);
    EXPECT_TRUE(m_board.Journal().empty());
}

TEST_F(FanChipTest, NoLibraryMeansNoChip) {
    m_dlg.m_strVendor = L"AMD";
    EXPECT_EQ(m_dlg.AdlI2CRead(0, 0x60), 0);
    m_dlg.m_strVendor = L"Matrox";
    EXPECT_EQ(m_dlg.ReadChipRegister(0x60), 0);
    EXPECT_TRUE(m_board.Journal().empty());
}

TEST_F(FanChipTest, NvidiaWriteIsPrecededByAReadOfTheSameRegister) {
    UseNvidia("card.0.reg.0x86 = 0x33\n");
    m_dlg.NvI2CWrite(m_dlg.m_hPhysicalGpu[0], 0x86, 0x24C);
    EXPECT_EQ(simtest::Only(m_board.Journal(), {"NvAPI_I2CRead", "NvAPI_I2CWrite"}),
              (std::vector<std::string>{NvLine("NvAPI_I2CRead", 0, 0x86, 0x33),
                                        NvLine("NvAPI_I2CWrite", 0, 0x86, 0x4C)}));
    EXPECT_EQ(m_dlg.m_nLastNvStatus, 0);
    EXPECT_EQ(m_dlg.NvI2CRead(m_dlg.m_hPhysicalGpu[0], 0x86), 0x4C);
}

TEST_F(FanChipTest, NvidiaReadsTheAddressedCardAndFailuresReadAsZero) {
    UseNvidia("cards = 2\ncard.1.reg.0x02 = 66\ncard.0.chip = 0\n");
    EXPECT_EQ(m_dlg.NvI2CRead(m_dlg.m_hPhysicalGpu[1], 0x02), 66);
    EXPECT_EQ(m_dlg.m_nLastNvStatus, 0);
    EXPECT_EQ(m_dlg.NvI2CRead(m_dlg.m_hPhysicalGpu[0], 0x02), 0);
    EXPECT_NE(m_dlg.m_nLastNvStatus, 0);
    const auto reads = m_board.Calls("NvAPI_I2CRead");
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(Field(reads[0], "gpu"), "1");
    EXPECT_EQ(Field(reads[1], "gpu"), "0");
}

TEST_F(FanChipTest, AmdDefaultsGoToEveryCardInRegisterOrderAsLowBytes) {
    UseAmd("cards = 2\nadapters = 2\nadapter.1.index = 6\n");
    m_dlg.m_nCardCount = 2;
    m_dlg.m_nAdapterIndex = 6; // card 0 is adapter 0, card 1 adapter 6
    SetRegisterDefaults(L"40", L" 7x", L"abc", L"300");
    m_dlg.WriteRegisterDefaults();
    EXPECT_EQ(m_board.Journal(), (std::vector<std::string>{AdlLine(0, 0x85, 2, 40), AdlLine(0, 0x86, 2, 7),
                                                           AdlLine(0, 0x87, 2, 0), AdlLine(0, 0x88, 2, 44),
                                                           AdlLine(6, 0x85, 2, 40), AdlLine(6, 0x86, 2, 7),
                                                           AdlLine(6, 0x87, 2, 0), AdlLine(6, 0x88, 2, 44)}));
}

TEST_F(FanChipTest, NvidiaDefaultsGoToUnmatchedCardsToo) {
    UseNvidia("cards = 2\n");
    m_dlg.m_nCardCount = 2;
    m_dlg.m_pCardMatched = {0, 1};
    SetRegisterDefaults(L"120", L"100", L"80", L"60");
    m_dlg.WriteRegisterDefaults();
    const auto writes = m_board.Calls("NvAPI_I2CWrite");
    ASSERT_EQ(writes.size(), 8u);
    const char* expected[][3] = {{"0", "0x85", "0x78"}, {"0", "0x86", "0x64"}, {"0", "0x87", "0x50"},
                                 {"0", "0x88", "0x3C"}, {"1", "0x85", "0x78"}, {"1", "0x86", "0x64"},
                                 {"1", "0x87", "0x50"}, {"1", "0x88", "0x3C"}};
    for (size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(Field(writes[i], "gpu"), expected[i][0]) << writes[i];
        EXPECT_EQ(Field(writes[i], "reg"), expected[i][1]) << writes[i];
        EXPECT_EQ(Field(writes[i], "data"), expected[i][2]) << writes[i];
    }
    EXPECT_EQ(m_board.Calls("NvAPI_I2CRead").size(), 8u);
}

TEST_F(FanChipTest, FixedDutyWritesOnlyTheFirstTwoControlRegisters) {
    UseAmd("cards = 2\n");
    m_dlg.m_nCardCount = 2;
    m_dlg.m_nAdapterIndex = 1; // card 1 is adapter 1
    m_dlg.WriteFixedDuty(PercentToDuty(150));
    EXPECT_EQ(m_board.Journal(),
              (std::vector<std::string>{AdlLine(0, 0x85, 2, 126), AdlLine(0, 0x86, 2, 126),
                                        AdlLine(1, 0x85, 2, 126), AdlLine(1, 0x86, 2, 126)}));
    EXPECT_EQ(m_dlg.AdlI2CRead(1, 0x87), 80) << "0x87 keeps its value";
}

TEST_F(FanChipTest, NoCardsNoWrites) {
    UseAmd("");
    m_dlg.m_nCardCount = 0;
    SetRegisterDefaults(L"1", L"2", L"3", L"4");
    m_dlg.WriteRegisterDefaults();
    m_dlg.WriteFixedDuty(76);
    EXPECT_TRUE(m_board.Journal().empty());
}

TEST_F(FanChipTest, SavedRegistersComeFromTheFirstCardOnEitherVendor) {
    UseAmd("adapters = 2\nadapter.1.index = 5\nadapter.1.card = 0\n"
           "card.0.reg.0x85 = 120\ncard.0.reg.0x86 = 120\ncard.0.reg.0x87 = 120\ncard.0.reg.0x88 = 121\n");
    m_dlg.m_nAdapterIndex = 5;
    m_dlg.ReadSavedRegisters();
    EXPECT_EQ((std::vector<int>(m_dlg.m_nSavedRegs, m_dlg.m_nSavedRegs + 4)),
              (std::vector<int>{120, 120, 120, 121}));
    const auto reads = m_board.Journal();
    ASSERT_EQ(reads.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(reads[k], AdlLine(5, 0x85 + k, 1, k < 3 ? 120 : 121));
    }
    TearDown();

    UseNvidia("cards = 2\ncard.0.reg.0x88 = 0xFF\n");
    m_dlg.ReadSavedRegisters();
    EXPECT_EQ((std::vector<int>(m_dlg.m_nSavedRegs, m_dlg.m_nSavedRegs + 4)),
              (std::vector<int>{120, 100, 80, 255}));
    for (const std::string& read : m_board.Calls("NvAPI_I2CRead")) {
        EXPECT_EQ(Field(read, "gpu"), "0");
    }
}

} // namespace
