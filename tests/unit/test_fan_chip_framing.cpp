// Chip transactions as they reach the simulated board: the framing of every register read and write
// on both vendor paths, and the register sequences of the fan controls.
#include "hw/AdlRecords.h"
#include "hw/AmdFanHardware.h"
#include "hw/DutyConversion.h"
#include "hw/NvidiaFanHardware.h"
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
    // The back end as the program starts it, for the cards in m_cards.
    void UseAmd(const std::string& scenario) {
        m_pHardware.reset();
        m_board.WriteScenario(scenario);
        m_pHardware = CAmdFanHardware::Start(m_cards);
        ASSERT_NE(m_pHardware, nullptr);
        m_board.ClearJournal();
    }

    void UseNvidia(const std::string& scenario) {
        m_pHardware.reset();
        m_board.WriteScenario(scenario);
        m_pHardware = CNvidiaFanHardware::Start(m_cards);
        ASSERT_NE(m_pHardware, nullptr);
        m_board.ClearJournal();
    }

    void SetCards(int count, std::vector<BYTE> matched, std::vector<int> defaults = {120, 100, 80, 60}) {
        m_cards.m_nCardCount = count;
        m_cards.m_pCardMatched = std::move(matched);
        for (int k = 0; k < 4; ++k) {
            m_cards.m_nRegisterDefaults[k] = defaults[static_cast<size_t>(k)];
        }
    }

    simtest::CScratchBoard m_board;
    FanCards m_cards{1, {1}, {120, 100, 80, 60}};
    std::unique_ptr<CFanHardware> m_pHardware;
};

TEST_F(FanChipTest, AmdReadAndWriteFraming) {
    UseAmd("card.0.reg.0x02 = 72\n");
    EXPECT_EQ(m_pHardware->ReadChip(0x02), 72);
    m_pHardware->WriteChip(0, 0x85, 0x14C); // only the low 8 bits are sent
    EXPECT_EQ(m_board.Journal(),
              (std::vector<std::string>{AdlLine(0, 0x02, 1, 72), AdlLine(0, 0x85, 2, 0x4C)}));
    EXPECT_EQ(m_pHardware->ReadChip(0x85), 0x4C) << "the chip keeps what was written";
}

TEST_F(FanChipTest, FailedReadsAreToldApartFromAZeroRegister) {
    const struct {
        bool nvidia;
        const char* scenario;
        std::optional<BYTE> duty;
    } cases[] = {
        {false, "card.0.reg.0x60 = 0\n", BYTE{0}},                                // a real 0
        {false, "card.0.chip = 0\n", std::nullopt},                               // no chip on the bus
        {false, "fault.status.ADL_Display_WriteAndReadI2C = -1\n", std::nullopt}, // the driver refuses
        {false, "adapters = 0\n", std::nullopt},                                  // no adapter was chosen
        {false, "fault.missing = ADL_Display_WriteAndReadI2C\n", std::nullopt},
        {true, "card.0.reg.0x60 = 0\n", BYTE{0}},
        {true, "card.0.chip = 0\n", std::nullopt},
        {true, "fault.status.NvAPI_I2CRead = -5\n", std::nullopt},
    };
    for (const auto& c : cases) {
        c.nvidia ? UseNvidia(c.scenario) : UseAmd(c.scenario);
        EXPECT_EQ(m_pHardware->ReadChip(0x60), c.duty) << c.scenario;
    }
}

TEST_F(FanChipTest, AmdWithoutTheI2CEntryPointSendsNothing) {
    UseAmd("fault.missing = ADL_Display_WriteAndReadI2C\n");
    m_pHardware->WriteChip(0, 0x85, 10);
    EXPECT_TRUE(m_board.Journal().empty());
}

TEST_F(FanChipTest, NvidiaWriteIsPrecededByAReadOfTheSameRegister) {
    UseNvidia("card.0.reg.0x86 = 0x33\n");
    m_pHardware->WriteChip(0, 0x86, 0x24C);
    EXPECT_EQ(simtest::Only(m_board.Journal(), {"NvAPI_I2CRead", "NvAPI_I2CWrite"}),
              (std::vector<std::string>{NvLine("NvAPI_I2CRead", 0, 0x86, 0x33),
                                        NvLine("NvAPI_I2CWrite", 0, 0x86, 0x4C)}));
    EXPECT_EQ(m_pHardware->ReadChip(0x86), 0x4C);
}

TEST_F(FanChipTest, AmdDefaultsGoToEveryCardInRegisterOrderAsLowBytes) {
    // The first record is inactive, so adapter 6 is chosen: card 0 is adapter 0, card 1 adapter 6.
    SetCards(2, {1, 1}, {40, 7, 0, 300});
    UseAmd("cards = 2\nadapters = 2\nadapter.1.index = 6\nadapter.0.active = 0\n");
    m_pHardware->WriteRegisterDefaults();
    EXPECT_EQ(m_board.Journal(), (std::vector<std::string>{AdlLine(0, 0x85, 2, 40), AdlLine(0, 0x86, 2, 7),
                                                           AdlLine(0, 0x87, 2, 0), AdlLine(0, 0x88, 2, 44),
                                                           AdlLine(6, 0x85, 2, 40), AdlLine(6, 0x86, 2, 7),
                                                           AdlLine(6, 0x87, 2, 0), AdlLine(6, 0x88, 2, 44)}));
}

TEST_F(FanChipTest, NvidiaDefaultsGoToUnmatchedCardsToo) {
    SetCards(2, {0, 1});
    UseNvidia("cards = 2\n");
    m_pHardware->WriteRegisterDefaults();
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

TEST_F(FanChipTest, NvidiaCardsTheDriverDidNotEnumerateGetNoCall) {
    // The card list found two cards, the driver enumerates one GPU: the second has no handle.
    SetCards(2, {1, 1});
    UseNvidia("cards = 1\n");
    m_pHardware->HandBack();
    for (const std::string& line :
         simtest::Only(m_board.Journal(), {"NvApplyCoolerLevels", "NvAPI_I2CRead", "NvAPI_I2CWrite"})) {
        EXPECT_EQ(Field(line, "gpu"), "0") << line;
    }
    EXPECT_EQ(m_board.Calls("NvApplyCoolerLevels").size(), 1u);
    EXPECT_EQ(m_board.Calls("NvAPI_I2CWrite").size(), 4u);
}

TEST_F(FanChipTest, FixedDutyWritesOnlyTheFirstTwoControlRegisters) {
    SetCards(2, {1, 1});
    UseAmd("cards = 2\nadapter.0.active = 0\n"); // adapter 1 chosen: card 1 is adapter 1
    m_pHardware->WriteFixedDuty(PercentToDuty(150));
    EXPECT_EQ(m_board.Journal(),
              (std::vector<std::string>{AdlLine(0, 0x85, 2, 126), AdlLine(0, 0x86, 2, 126),
                                        AdlLine(1, 0x85, 2, 126), AdlLine(1, 0x86, 2, 126)}));
    EXPECT_EQ(m_pHardware->ReadChip(0x87), 80) << "0x87 keeps its value";
}

TEST_F(FanChipTest, NoCardsNoWrites) {
    SetCards(0, {});
    UseAmd("");
    m_pHardware->WriteRegisterDefaults();
    m_pHardware->WriteFixedDuty(76);
    m_pHardware->HandBack();
    EXPECT_TRUE(m_board.Journal().empty());
}

} // namespace
