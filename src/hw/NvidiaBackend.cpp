// NVIDIA driver API start-up, the temperature and cooler readouts and the cooler levels of every card.
#include "app/VentiqDlg.h"

namespace {
// Cooler selector of the levels call: every cooler of the GPU.
constexpr NvU32 kAllCoolers = 7;
} // namespace

bool CVentiqDlg::StartNvidiaBackend() {
    m_nOutputId = 0;
    // All four calls are made whatever the earlier ones answered; the display only proves the driver works.
    const NvStatus initialize = m_nvApi.Initialize();
    const NvStatus gpus = m_nvApi.EnumPhysicalGPUs(m_hPhysicalGpu, &m_nPhysicalGpuCount);
    const NvStatus display = m_nvApi.EnumNvidiaDisplayHandle(0, &m_hNvDisplay[0]);
    const NvStatus output = m_nvApi.GetAssociatedDisplayOutputId(m_hNvDisplay[0], &m_nOutputId);
    return initialize == 0 && gpus == 0 && display == 0 && output == 0;
}

std::wstring CVentiqDlg::GetNvGpuTemperatureText() {
    NV_GPU_THERMAL_SETTINGS settings{};
    settings.version = NV_GPU_THERMAL_SETTINGS_VER;
    m_nLastNvStatus = m_nvApi.GetThermalSettings(m_hPhysicalGpu[0], 0, &settings);
    if (m_nLastNvStatus != 0) {
        return {};
    }
    return std::to_wstring(settings.sensor[0].currentTemp);
}

std::wstring CVentiqDlg::GetNvCoolerText() {
    NvCoolerStateRecord state{};
    state.version = NvCoolerStateRecordVersion;
    m_nLastNvStatus = m_nvApi.QueryCoolerState(m_hPhysicalGpu[0], 0, &state);
    if (m_nLastNvStatus != 0) {
        return {};
    }
    const int level = state.cooler[0].currentLevel;
    if (m_bAuto1) {
        UpdateDisabledSlider(m_sliderOuter, m_editOuter, level, std::to_wstring(level));
    }
    return std::to_wstring(level) + L"%";
}

void CVentiqDlg::ApplyNvCoolerLevels(int level, int policy) {
    NvCoolerLevelsRecord levels{};
    levels.version = NvCoolerLevelsRecordVersion;
    levels.cooler[0].level = level;
    levels.cooler[0].policy = policy;
    for (int card = 0; card < m_nCardCount && card < 64; ++card) {
        if (static_cast<size_t>(card) < m_pCardMatched.size() &&
            m_pCardMatched[static_cast<size_t>(card)] != 0) {
            m_nLastNvStatus = m_nvApi.ApplyCoolerLevels(m_hPhysicalGpu[card], kAllCoolers, &levels);
        }
    }
}
