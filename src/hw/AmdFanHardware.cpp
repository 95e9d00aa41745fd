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

CAmdFanHardware::CAmdFanHardware(const FanCards& cards, HMODULE adl, bool chooseAdapter)
    : CFanHardware(GpuVendor::Amd, cards), m_hADL(adl), m_bChoosesAdapter(chooseAdapter) {}

CAmdFanHardware::~CAmdFanHardware() {
    ::FreeLibrary(m_hADL);
}

std::unique_ptr<CAmdFanHardware> CAmdFanHardware::Start(const FanCards& cards) {
    const HMODULE adl = LoadAdl();
    if (adl == nullptr) {
        return nullptr;
    }
    std::unique_ptr<CAmdFanHardware> hardware(new CAmdFanHardware(cards, adl, true));
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
    std::unique_ptr<CAmdFanHardware> hardware(new CAmdFanHardware(cards, adl, false));
    if (!hardware->CreateSession()) {
        return nullptr;
    }
    for (int card = 0; card < kMaxFanCards; ++card) {
        hardware->m_nCardAdapter[card] = adapters[card];
    }
    return hardware;
}

bool CAmdFanHardware::CreateSession() {
    const auto create = AdlFunction<AdlMainControlCreate>(m_hADL, "ADL_Main_Control_Create");
    // Only a session that chooses its adapter needs to know how many there are.
    const auto numberOfAdapters =
        AdlFunction<AdlNumberOfAdaptersGet>(m_hADL, "ADL_Adapter_NumberOfAdapters_Get");
    if (create == nullptr || (m_bChoosesAdapter && numberOfAdapters == nullptr) ||
        create(&AdlMallocCallback, 1) != 0) {
        return false;
    }
    m_nAdapterCount = 0;
    return !m_bChoosesAdapter || numberOfAdapters(&m_nAdapterCount) == 0;
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

Reconnection CAmdFanHardware::Reconnect() {
    EndSession();
    const int adapterCount = m_nAdapterCount;
    if (!CreateSession()) {
        return Reconnection::Failed;
    }
    if (!m_bChoosesAdapter) {
        return Reconnection::SameCards;
    }
    ChooseAdapter();
    // Renumbered adapters are the same cards; a different number of them, or none of AMD's, is not.
    return m_nAdapterIndex >= 0 && m_nAdapterCount == adapterCount ? Reconnection::SameCards
                                                                   : Reconnection::CardsChanged;
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

std::optional<OuterFanReading> CAmdFanHardware::ReadFansAt(int adapterIndex) {
    const std::optional<AdlFanReading> fan = AdlReadFan(m_hADL, adapterIndex);
    if (!fan) {
        return std::nullopt;
    }
    m_bReportsMode |= fan->m_bUserDefined;
    return OuterFanReading{fan->m_nPercent, 0, fan->m_bUserDefined};
}

std::optional<OuterFanReading> CAmdFanHardware::ReadOuterFans() {
    return ReadFansAt(m_nAdapterIndex);
}

std::optional<OuterFanReading> CAmdFanHardware::ReadCardOuterFans(int card) {
    if (!DrivesOuterFans(card)) {
        return std::nullopt;
    }
    return ReadFansAt(m_nCardAdapter[card]);
}

bool CAmdFanHardware::DrivesOuterFans(int card) const {
    return card >= 0 && card < Cards().m_nCardCount && card < kMaxFanCards;
}

bool CAmdFanHardware::SetOuterFanPercent(int percent) {
    bool taken = true;
    for (int card = 0; card < Cards().m_nCardCount && card < kMaxFanCards; ++card) {
        taken &= AdlSetFanPercent(m_hADL, m_nCardAdapter[card], percent);
    }
    return taken;
}

bool CAmdFanHardware::SetOuterFanDefault() {
    bool taken = true;
    for (int card = 0; card < Cards().m_nCardCount && card < kMaxFanCards; ++card) {
        taken &= AdlSetFanDefault(m_hADL, m_nCardAdapter[card]);
    }
    return taken;
}

std::optional<BYTE> CAmdFanHardware::ReadChip(BYTE reg) {
    return ReadChipAt(m_nAdapterIndex, reg);
}

std::optional<BYTE> CAmdFanHardware::ReadCardChip(int card, BYTE reg) {
    if (card < 0 || card >= kMaxFanCards) {
        return std::nullopt;
    }
    return ReadChipAt(m_nCardAdapter[card], reg);
}

std::optional<BYTE> CAmdFanHardware::ReadChipAt(int adapterIndex, BYTE reg) {
    const auto transfer = AdlFunction<AdlWriteAndReadI2C>(m_hADL, "ADL_Display_WriteAndReadI2C");
    if (transfer == nullptr) {
        return std::nullopt;
    }
    char data = 0;
    ADLI2C i2c = ChipTransaction(kI2CRead, reg, &data);
    if (transfer(adapterIndex, &i2c) != 0) {
        return std::nullopt;
    }
    return static_cast<BYTE>(data);
}

bool CAmdFanHardware::WriteChip(int card, BYTE reg, int value) {
    const auto transfer = AdlFunction<AdlWriteAndReadI2C>(m_hADL, "ADL_Display_WriteAndReadI2C");
    if (transfer == nullptr || card < 0 || card >= kMaxFanCards) {
        return false;
    }
    char data = static_cast<char>(value & 0xFF);
    ADLI2C i2c = ChipTransaction(kI2CWrite, reg, &data);
    return transfer(m_nCardAdapter[card], &i2c) == 0;
}

int CAmdFanHardware::CardAddress(int card) const {
    return card >= 0 && card < kMaxFanCards ? m_nCardAdapter[card] : -1;
}
