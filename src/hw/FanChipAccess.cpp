// The fan controller chip at I2C address 0x5C: one-byte register reads and writes on both vendor
// paths, and the register sequences the fan controls run.
#include "app/VentiqDlg.h"
#include "hw/AdlRecords.h"

namespace {
constexpr int kChipAddress = 0x5C;
constexpr BYTE kFirstControlRegister = 0x85; // 0x85..0x88
constexpr int kAdlLine = 1;
constexpr int kAdlRead = 1;
constexpr int kAdlWrite = 2;
constexpr int kAdlSpeed = 10;
constexpr NvU32 kNvSpeed = 35;
constexpr BYTE kNvPort = 1;

ADLI2C AdlTransaction(int action, BYTE reg, char* data) {
    ADLI2C i2c{};
    i2c.iSize = sizeof(ADLI2C);
    i2c.iLine = kAdlLine;
    i2c.iAddress = kChipAddress;
    i2c.iOffset = reg;
    i2c.iAction = action;
    i2c.iSpeed = kAdlSpeed;
    i2c.iDataSize = 1;
    i2c.pcData = data;
    return i2c;
}

NV_I2C_INFO NvTransaction(BYTE* reg, BYTE* data) {
    NV_I2C_INFO info{};
    info.version = NV_I2C_INFO_VER;
    info.i2cDevAddress = kChipAddress;
    info.pbI2cRegAddress = reg;
    info.regAddrSize = 1;
    info.pbData = data;
    info.cbSize = 1;
    info.i2cSpeed = kNvSpeed;
    info.portId = kNvPort;
    info.bIsPortIdSet = 1;
    return info;
}

// Card i on the vendor path: adapter AdapterForCard(i) on AMD, physical GPU i on NVIDIA.
void WriteCardRegister(CVentiqDlg& dlg, int card, BYTE reg, int value) {
    if (dlg.IsAmd()) {
        dlg.AdlI2CWrite(dlg.AdapterForCard(card), reg, value);
    } else if (dlg.IsNvidia() && card < 64) {
        dlg.NvI2CWrite(dlg.m_hPhysicalGpu[card], reg, value);
    }
}
} // namespace

BYTE CVentiqDlg::AdlI2CRead(int adapterIndex, BYTE reg) {
    const auto transfer = AdlFunction<AdlWriteAndReadI2C>(m_hADL, "ADL_Display_WriteAndReadI2C");
    if (transfer == nullptr) {
        return 0;
    }
    char data = 0;
    ADLI2C i2c = AdlTransaction(kAdlRead, reg, &data);
    return transfer(adapterIndex, &i2c) == 0 ? static_cast<BYTE>(data) : 0;
}

void CVentiqDlg::AdlI2CWrite(int adapterIndex, BYTE reg, int value) {
    const auto transfer = AdlFunction<AdlWriteAndReadI2C>(m_hADL, "ADL_Display_WriteAndReadI2C");
    if (transfer == nullptr) {
        return;
    }
    char data = static_cast<char>(value & 0xFF);
    ADLI2C i2c = AdlTransaction(kAdlWrite, reg, &data);
    transfer(adapterIndex, &i2c);
}

BYTE CVentiqDlg::NvI2CRead(NvPhysicalGpuHandle gpu, BYTE reg) {
    BYTE regByte = reg;
    BYTE data = 0;
    NvU32 word = 1;
    NV_I2C_INFO info = NvTransaction(&regByte, &data);
    m_nLastNvStatus = m_nvApi.I2CRead(gpu, &info, &word);
    return m_nLastNvStatus == 0 ? data : 0;
}

void CVentiqDlg::NvI2CWrite(NvPhysicalGpuHandle gpu, BYTE reg, int value) {
    // The chip takes a write only after the same register was read on the bus.
    BYTE regByte = reg;
    BYTE data = 0;
    NvU32 word = 1;
    NV_I2C_INFO info = NvTransaction(&regByte, &data);
    m_nLastNvStatus = m_nvApi.I2CRead(gpu, &info, &word);
    data = static_cast<BYTE>(value & 0xFF);
    m_nLastNvStatus = m_nvApi.I2CWrite(gpu, &info, &word);
}

BYTE CVentiqDlg::ReadChipRegister(BYTE reg) {
    if (IsAmd()) {
        return AdlI2CRead(m_nAdapterIndex, reg);
    }
    if (IsNvidia()) {
        return NvI2CRead(m_hPhysicalGpu[0], reg);
    }
    return 0;
}

void CVentiqDlg::WriteRegisterDefaults() {
    for (int card = 0; card < m_nCardCount; ++card) {
        for (int k = 0; k < 4; ++k) {
            WriteCardRegister(*this, card, static_cast<BYTE>(kFirstControlRegister + k), RegisterDefault(k));
        }
    }
}

void CVentiqDlg::WriteFixedDuty(int duty) {
    for (int card = 0; card < m_nCardCount; ++card) {
        WriteCardRegister(*this, card, kFirstControlRegister, duty);
        WriteCardRegister(*this, card, kFirstControlRegister + 1, duty);
    }
}

void CVentiqDlg::ReadSavedRegisters() {
    for (int k = 0; k < 4; ++k) {
        m_nSavedRegs[k] = ReadChipRegister(static_cast<BYTE>(kFirstControlRegister + k));
    }
}
