// The NVIDIA driver API: start-up, the first GPU's readings, the cooler levels of every matched card and
// the fan controller chip on each GPU's I2C bus.
#include "hw/NvidiaFanHardware.h"

namespace {
// Cooler selector of the levels call: every cooler of the GPU.
constexpr NvU32 kAllCoolers = 7;
constexpr BYTE kChipAddress = 0x5C;
constexpr NvU32 kI2CSpeed = 35;
constexpr BYTE kI2CPort = 1;

NV_I2C_INFO ChipTransaction(BYTE* reg, BYTE* data) {
    NV_I2C_INFO info{};
    info.version = NV_I2C_INFO_VER;
    info.i2cDevAddress = kChipAddress;
    info.pbI2cRegAddress = reg;
    info.regAddrSize = 1;
    info.pbData = data;
    info.cbSize = 1;
    info.i2cSpeed = kI2CSpeed;
    info.portId = kI2CPort;
    info.bIsPortIdSet = 1;
    return info;
}
} // namespace

CNvidiaFanHardware::CNvidiaFanHardware(const FanCards& cards) : CFanHardware(GpuVendor::Nvidia, cards) {}

CNvidiaFanHardware::~CNvidiaFanHardware() {
    m_nvApi.Unload();
}

std::unique_ptr<CNvidiaFanHardware> CNvidiaFanHardware::Start(const FanCards& cards) {
    std::unique_ptr<CNvidiaFanHardware> hardware(new CNvidiaFanHardware(cards));
    CNvApi& api = hardware->m_nvApi;
    NvDisplayHandle display = nullptr;
    const NvStatus initialize = api.Initialize();
    const NvStatus gpus = api.EnumPhysicalGPUs(hardware->m_hPhysicalGpu, &hardware->m_nPhysicalGpuCount);
    const NvStatus displays = api.EnumNvidiaDisplayHandle(0, &display);
    const NvStatus output = api.GetAssociatedDisplayOutputId(display, &hardware->m_nOutputId);
    if (initialize != 0 || gpus != 0 || displays != 0 || output != 0) {
        return nullptr;
    }
    return hardware;
}

std::unique_ptr<CNvidiaFanHardware> CNvidiaFanHardware::Open(const FanCards& cards,
                                                             const int (&gpus)[kMaxFanCards]) {
    std::unique_ptr<CNvidiaFanHardware> hardware(new CNvidiaFanHardware(cards));
    if (hardware->m_nvApi.Initialize() != 0 ||
        hardware->m_nvApi.EnumPhysicalGPUs(hardware->m_hPhysicalGpu, &hardware->m_nPhysicalGpuCount) != 0) {
        return nullptr;
    }
    for (int card = 0; card < kMaxFanCards; ++card) {
        hardware->m_nCardGpu[card] = gpus[card];
    }
    return hardware;
}

NvPhysicalGpuHandle CNvidiaFanHardware::Gpu(int card) const {
    // A card the driver did not enumerate has no handle: nothing is sent for it.
    if (card < 0 || card >= kMaxFanCards) {
        return nullptr;
    }
    const int place = m_nCardGpu[card];
    const NvU32 count = m_nPhysicalGpuCount < 64 ? m_nPhysicalGpuCount : 64;
    return place >= 0 && static_cast<NvU32>(place) < count ? m_hPhysicalGpu[place] : nullptr;
}

int CNvidiaFanHardware::CardAddress(int card) const {
    return card >= 0 && card < kMaxFanCards ? m_nCardGpu[card] : -1;
}

Reconnection CNvidiaFanHardware::Reconnect() {
    const NvU32 gpuCount = m_nPhysicalGpuCount;
    if (m_nvApi.Reinitialize() != 0 ||
        m_nvApi.EnumPhysicalGPUs(m_hPhysicalGpu, &m_nPhysicalGpuCount) != 0) {
        m_nPhysicalGpuCount = 0;
        return Reconnection::Failed;
    }
    m_bSessionLost = false;
    return m_nPhysicalGpuCount == gpuCount ? Reconnection::SameCards : Reconnection::CardsChanged;
}

NvStatus CNvidiaFanHardware::Noted(NvStatus status) {
    if (status == kNvHandleInvalidated) {
        m_bSessionLost = true;
    }
    return status;
}

bool CNvidiaFanHardware::DrivesOuterFans(int card) const {
    const FanCards& cards = Cards();
    return Gpu(card) != nullptr && card < cards.m_nCardCount &&
           static_cast<size_t>(card) < cards.m_pCardMatched.size() &&
           cards.m_pCardMatched[static_cast<size_t>(card)] != 0;
}

std::optional<int> CNvidiaFanHardware::ReadGpuTemperature() {
    NV_GPU_THERMAL_SETTINGS settings{};
    settings.version = NV_GPU_THERMAL_SETTINGS_VER;
    if (Noted(m_nvApi.GetThermalSettings(m_hPhysicalGpu[0], 0, &settings)) != 0) {
        return std::nullopt;
    }
    return static_cast<int>(settings.sensor[0].currentTemp);
}

std::optional<OuterFanReading> CNvidiaFanHardware::ReadCooler(NvPhysicalGpuHandle gpu) {
    NvCoolerStateRecord state{};
    state.version = NvCoolerStateRecordVersion;
    if (Noted(m_nvApi.QueryCoolerState(gpu, 0, &state)) != 0) {
        return std::nullopt;
    }
    const int policy = state.cooler[0].currentPolicy;
    return OuterFanReading{state.cooler[0].currentLevel, policy, policy == kNvPolicyManual};
}

std::optional<OuterFanReading> CNvidiaFanHardware::ReadOuterFans() {
    return ReadCooler(m_hPhysicalGpu[0]);
}

std::optional<OuterFanReading> CNvidiaFanHardware::ReadCardOuterFans(int card) {
    if (!DrivesOuterFans(card)) {
        return std::nullopt;
    }
    return ReadCooler(Gpu(card));
}

bool CNvidiaFanHardware::ApplyCoolerLevels(int level, int policy) {
    NvCoolerLevelsRecord levels{};
    levels.version = NvCoolerLevelsRecordVersion;
    levels.cooler[0].level = level;
    levels.cooler[0].policy = policy;
    bool taken = true;
    for (int card = 0; card < Cards().m_nCardCount; ++card) {
        if (DrivesOuterFans(card)) {
            taken &= Noted(m_nvApi.ApplyCoolerLevels(Gpu(card), kAllCoolers, &levels)) == 0;
        }
    }
    return taken;
}

bool CNvidiaFanHardware::SetOuterFanPercent(int percent) {
    return ApplyCoolerLevels(percent, kNvPolicyManual);
}

bool CNvidiaFanHardware::SetOuterFanDefault() {
    return ApplyCoolerLevels(0, kNvPolicyDriver);
}

std::optional<BYTE> CNvidiaFanHardware::ReadChipOf(NvPhysicalGpuHandle gpu, BYTE reg) {
    BYTE regByte = reg;
    BYTE data = 0;
    NvU32 word = 1;
    NV_I2C_INFO info = ChipTransaction(&regByte, &data);
    if (Noted(m_nvApi.I2CRead(gpu, &info, &word)) != 0) {
        return std::nullopt;
    }
    return data;
}

std::optional<BYTE> CNvidiaFanHardware::ReadChip(BYTE reg) {
    return ReadChipOf(m_hPhysicalGpu[0], reg);
}

std::optional<BYTE> CNvidiaFanHardware::ReadCardChip(int card, BYTE reg) {
    const NvPhysicalGpuHandle gpu = Gpu(card);
    if (gpu == nullptr) {
        return std::nullopt;
    }
    return ReadChipOf(gpu, reg);
}

bool CNvidiaFanHardware::WriteChip(int card, BYTE reg, int value) {
    const NvPhysicalGpuHandle gpu = Gpu(card);
    if (gpu == nullptr) {
        return false;
    }
    // The chip takes a write only after the same register was read on the bus.
    BYTE regByte = reg;
    BYTE data = 0;
    NvU32 word = 1;
    NV_I2C_INFO info = ChipTransaction(&regByte, &data);
    Noted(m_nvApi.I2CRead(gpu, &info, &word));
    data = static_cast<BYTE>(value & 0xFF);
    return Noted(m_nvApi.I2CWrite(gpu, &info, &word)) == 0;
}
