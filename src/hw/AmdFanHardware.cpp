// The AMD display library: loading it, the adapter choice, the CrossFire test, and the fans and chip
// of every card.
#include "hw/AmdFanHardware.h"

#include "hw/AdlOverdrive.h"
#include "hw/AdlRecords.h"
#include "hw/SystemLibrary.h"

#include <vector>

namespace {
constexpr int kAmdVendorId = 1002;
// More adapter records than any driver reports; a larger count is not believed.
constexpr int kMaxAdapterRecords = 4096;

constexpr int kChipAddress = 0x5C;
constexpr int kI2CLine = 1;
constexpr int kI2CRead = 1;
constexpr int kI2CWrite = 2;
constexpr int kI2CSpeed = 10;

// The library's memory comes from the process heap and is kept for the rest of the run.
void* __stdcall AdlMallocCallback(int size) {
    return size > 0 ? ::HeapAlloc(::GetProcessHeap(), 0, static_cast<SIZE_T>(size)) : nullptr;
}

ADLI2C ChipTransaction(int action, BYTE reg, char* data) {
    ADLI2C i2c{};
    i2c.iSize = sizeof(ADLI2C);
    i2c.iLine = kI2CLine;
    i2c.iAddress = kChipAddress;
    i2c.iOffset = reg;
    i2c.iAction = action;
    i2c.iSpeed = kI2CSpeed;
    i2c.iDataSize = 1;
    i2c.pcData = data;
    return i2c;
}

HMODULE LoadAdl() {
    HMODULE adl = LoadSystemLibrary(L"atiadlxx.dll");
    return adl != nullptr ? adl : LoadSystemLibrary(L"atiadlxy.dll");
}
} // namespace

CAmdFanHardware::CAmdFanHardware(const FanCards& cards, HMODULE adl)
    : CFanHardware(GpuVendor::Amd, cards), m_hADL(adl) {}

CAmdFanHardware::~CAmdFanHardware() {
    ::FreeLibrary(m_hADL);
}

std::unique_ptr<CAmdFanHardware> CAmdFanHardware::Start(const FanCards& cards) {
    const HMODULE adl = LoadAdl();
    if (adl == nullptr) {
        return nullptr;
    }
    std::unique_ptr<CAmdFanHardware> hardware(new CAmdFanHardware(cards, adl));
    const bool complete = AdlFunction<AdlAdapterInfoGet>(adl, "ADL_Adapter_AdapterInfo_Get") != nullptr &&
                          AdlFunction<AdlAdapterActiveGet>(adl, "ADL_Adapter_Active_Get") != nullptr;
    if (!complete || !hardware->CreateSession()) {
        return nullptr;
    }
    hardware->ChooseAdapter();
    return hardware;
}

std::unique_ptr<CAmdFanHardware> CAmdFanHardware::Open(const FanCards& cards,
                                                       const int (&adapters)[kMaxFanCards]) {
    const HMODULE adl = LoadAdl();
    if (adl == nullptr) {
        return nullptr;
    }
    std::unique_ptr<CAmdFanHardware> hardware(new CAmdFanHardware(cards, adl));
    const auto create = AdlFunction<AdlMainControlCreate>(adl, "ADL_Main_Control_Create");
    if (create == nullptr || create(&AdlMallocCallback, 1) != 0) {
        return nullptr;
    }
    for (int card = 0; card < kMaxFanCards; ++card) {
        hardware->m_nCardAdapter[card] = adapters[card];
    }
    return hardware;
}

bool CAmdFanHardware::CreateSession() {
    const auto create = AdlFunction<AdlMainControlCreate>(m_hADL, "ADL_Main_Control_Create");
    const auto numberOfAdapters =
        AdlFunction<AdlNumberOfAdaptersGet>(m_hADL, "ADL_Adapter_NumberOfAdapters_Get");
    m_nAdapterCount = 0;
    return create != nullptr && numberOfAdapters != nullptr && create(&AdlMallocCallback, 1) == 0 &&
           numberOfAdapters(&m_nAdapterCount) == 0;
}

void CAmdFanHardware::ChooseAdapter() {
    // The first record, in the library's order, that is active and has AMD's vendor id.
    m_nAdapterIndex = -1;
    const auto infoGet = AdlFunction<AdlAdapterInfoGet>(m_hADL, "ADL_Adapter_AdapterInfo_Get");
    const auto activeGet = AdlFunction<AdlAdapterActiveGet>(m_hADL, "ADL_Adapter_Active_Get");
    if (m_nAdapterCount > 0 && m_nAdapterCount <= kMaxAdapterRecords) {
        std::vector<AdapterInfo> records(static_cast<size_t>(m_nAdapterCount));
        if (infoGet != nullptr) {
            infoGet(records.data(), m_nAdapterCount * static_cast<int>(sizeof(AdapterInfo)));
        }
        for (const AdapterInfo& record : records) {
            int active = 0;
            if (activeGet != nullptr) {
                activeGet(record.iAdapterIndex, &active);
            }
            if (active != 0 && record.iVendorID == kAmdVendorId) {
                m_nAdapterIndex = record.iAdapterIndex;
                break;
            }
        }
    }
    for (int card = 0; card < kMaxFanCards; ++card) {
        m_nCardAdapter[card] = m_nAdapterIndex * card;
    }
}

void CAmdFanHardware::FindAdaptersAgain() {
    CreateSession();
    ChooseAdapter();
}

bool CAmdFanHardware::IsCrossfireOn() {
    const auto caps = AdlFunction<AdlCrossfireCaps>(m_hADL, "ADL_Adapter_Crossfire_Caps");
    const auto get = AdlFunction<AdlCrossfireGet>(m_hADL, "ADL_Adapter_Crossfire_Get");
    if (caps == nullptr || get == nullptr) {
        return false;
    }
    int preferred = 0;
    int combinations = 0;
    ADLCrossfireComb* comb = nullptr;
    // Without a combination the state cannot be asked for: CrossFire counts as off.
    if (caps(m_nAdapterIndex, &preferred, &combinations, &comb) != 0 || combinations <= 0 ||
        comb == nullptr) {
        return false;
    }
    ADLCrossfireInfo info{};
    get(m_nAdapterIndex, comb, &info);
    return info.iSupported == 1 && info.iState == 1;
}

void CAmdFanHardware::EndSession() {
    AdlDestroy(m_hADL);
}

std::optional<int> CAmdFanHardware::ReadGpuTemperature() {
    int degrees = 0;
    if (!AdlReadTemperature(m_hADL, m_nAdapterIndex, degrees)) {
        return std::nullopt;
    }
    return degrees;
}

std::optional<OuterFanReading> CAmdFanHardware::ReadOuterFans() {
    // The driver's answer is shown as it comes: a failed read gives 0.
    return OuterFanReading{AdlReadFanPercent(m_hADL, m_nAdapterIndex), 0};
}

void CAmdFanHardware::SetOuterFanPercent(int percent) {
    for (int card = 0; card < Cards().m_nCardCount && card < kMaxFanCards; ++card) {
        AdlSetFanPercent(m_hADL, m_nCardAdapter[card], percent);
    }
}

void CAmdFanHardware::SetOuterFanDefault() {
    for (int card = 0; card < Cards().m_nCardCount && card < kMaxFanCards; ++card) {
        AdlSetFanDefault(m_hADL, m_nCardAdapter[card]);
    }
}

std::optional<BYTE> CAmdFanHardware::ReadChip(BYTE reg) {
    const auto transfer = AdlFunction<AdlWriteAndReadI2C>(m_hADL, "ADL_Display_WriteAndReadI2C");
    if (transfer == nullptr) {
        return std::nullopt;
    }
    char data = 0;
    ADLI2C i2c = ChipTransaction(kI2CRead, reg, &data);
    if (transfer(m_nAdapterIndex, &i2c) != 0) {
        return std::nullopt;
    }
    return static_cast<BYTE>(data);
}

void CAmdFanHardware::WriteChip(int card, BYTE reg, int value) {
    const auto transfer = AdlFunction<AdlWriteAndReadI2C>(m_hADL, "ADL_Display_WriteAndReadI2C");
    if (transfer == nullptr || card < 0 || card >= kMaxFanCards) {
        return;
    }
    char data = static_cast<char>(value & 0xFF);
    ADLI2C i2c = ChipTransaction(kI2CWrite, reg, &data);
    transfer(m_nCardAdapter[card], &i2c);
}

int CAmdFanHardware::CardAddress(int card) const {
    return card >= 0 && card < kMaxFanCards ? m_nCardAdapter[card] : -1;
}
