// CNvidiaFanHardware: the fans of NVIDIA cards through the driver API (nvapi64.dll / nvapi.dll): the
// thermal settings, the cooler levels of every matched GPU and the I2C calls for the fan controller chip.
#pragma once
#include "hw/FanHardware.h"
#include "hw/NvApi.h"

class CNvidiaFanHardware final : public CFanHardware {
public:
    // Initialises the driver API and enumerates the GPUs and the first display; null when any of the
    // four calls fails (all four are made: the display only proves that the driver works).
    static std::unique_ptr<CNvidiaFanHardware> Start(const FanCards& cards);
    // A session for GPUs another process enumerated, at their places in the driver's enumeration.
    static std::unique_ptr<CNvidiaFanHardware> Open(const FanCards& cards, const int (&gpus)[kMaxFanCards]);
    // The driver's unload, when this session loaded the library.
    ~CNvidiaFanHardware() override;

    std::optional<int> ReadGpuTemperature() override;
    std::optional<OuterFanReading> ReadOuterFans() override;
    bool SetOuterFanPercent(int percent) override;
    bool SetOuterFanDefault() override;
    std::optional<BYTE> ReadChip(BYTE reg) override;
    bool WriteChip(int card, BYTE reg, int value) override;
    int CardAddress(int card) const override;
    std::optional<OuterFanReading> ReadCardOuterFans(int card) override;
    std::optional<BYTE> ReadCardChip(int card, BYTE reg) override;
    bool DrivesOuterFans(int card) const override;
    // The driver initialised again and the GPUs enumerated anew; the cards stay at their places.
    Reconnection Reconnect() override;
    bool SessionLost() const override { return m_bSessionLost; }

    NvU32 GpuCount() const { return m_nPhysicalGpuCount; }
    NvU32 OutputId() const { return m_nOutputId; }
    NvPhysicalGpuHandle Gpu(int card) const;

private:
    explicit CNvidiaFanHardware(const FanCards& cards);
    bool ApplyCoolerLevels(int level, int policy);
    std::optional<OuterFanReading> ReadCooler(NvPhysicalGpuHandle gpu);
    std::optional<BYTE> ReadChipOf(NvPhysicalGpuHandle gpu, BYTE reg);
    // Notes a status that says the handles went stale, and passes it on.
    NvStatus Noted(NvStatus status);

    CNvApi m_nvApi;
    NvPhysicalGpuHandle m_hPhysicalGpu[64] = {};
    NvU32 m_nPhysicalGpuCount = 0;
    NvU32 m_nOutputId = 0;
    // Card i's place in the driver's GPU enumeration.
    int m_nCardGpu[kMaxFanCards] = {0, 1, 2, 3};
    bool m_bSessionLost = false;
};
