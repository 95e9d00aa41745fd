// CAmdFanHardware: the fans of AMD cards through the AMD display library (atiadlxx.dll): Overdrive
// for the GPU temperature and the outer fans, its I2C call for the fan controller chip.
#pragma once
#include "hw/FanHardware.h"

class CAmdFanHardware final : public CFanHardware {
public:
    // Loads the library from the system directory (atiadlxx.dll, else atiadlxy.dll), opens a session
    // and picks the adapter. Null when the library is missing, lacks a start-up entry point or refuses
    // to start; it is let go then, so nothing calls into it later.
    static std::unique_ptr<CAmdFanHardware> Start(const FanCards& cards);
    // A session for adapters another process picked.
    static std::unique_ptr<CAmdFanHardware> Open(const FanCards& cards, const int (&adapters)[kMaxFanCards]);
    ~CAmdFanHardware() override;

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
    bool ReportsFanMode() const override { return m_bReportsMode; }
    // A new session; a session of this process's own chooses its adapter again (the driver may have
    // renumbered them), one for another process's adapters keeps them.
    Reconnection Reconnect() override;

    // Whether the driver reports CrossFire as supported and switched on; false when it cannot tell.
    bool IsCrossfireOn();
    // Ends the library's session (the library itself stays loaded).
    void EndSession();

    HMODULE Library() const { return m_hADL; }
    int AdapterCount() const { return m_nAdapterCount; }
    // The chosen adapter: the first active AMD record; -1 when there is none.
    int AdapterIndex() const { return m_nAdapterIndex; }

private:
    CAmdFanHardware(const FanCards& cards, HMODULE adl, bool chooseAdapter);
    bool CreateSession();
    void ChooseAdapter();
    std::optional<BYTE> ReadChipAt(int adapterIndex, BYTE reg);
    std::optional<OuterFanReading> ReadFansAt(int adapterIndex);

    HMODULE m_hADL;
    // The session picks its adapter itself (Ventiq's own), rather than using another process's.
    bool m_bChoosesAdapter;
    // A reading has shown the user-defined-speed flag: this driver reports the mode.
    bool m_bReportsMode = false;
    int m_nAdapterCount = 0;
    int m_nAdapterIndex = -1;
    // Card i's adapter for the fan settings and chip writes: i times the chosen adapter's index. The
    // first card's readings come from the chosen adapter itself.
    int m_nCardAdapter[kMaxFanCards] = {};
};
