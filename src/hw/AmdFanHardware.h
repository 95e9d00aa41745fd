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
    void SetOuterFanPercent(int percent) override;
    void SetOuterFanDefault() override;
    std::optional<BYTE> ReadChip(BYTE reg) override;
    void WriteChip(int card, BYTE reg, int value) override;
    int CardAddress(int card) const override;

    // Whether the driver reports CrossFire as supported and switched on; false when it cannot tell.
    bool IsCrossfireOn();
    // After the display device restarted: a new session, and the adapters found again.
    void FindAdaptersAgain();
    // Ends the library's session (the library itself stays loaded).
    void EndSession();

    HMODULE Library() const { return m_hADL; }
    int AdapterCount() const { return m_nAdapterCount; }
    // The chosen adapter: the first active AMD record; -1 when there is none.
    int AdapterIndex() const { return m_nAdapterIndex; }

private:
    CAmdFanHardware(const FanCards& cards, HMODULE adl);
    bool CreateSession();
    void ChooseAdapter();

    HMODULE m_hADL;
    int m_nAdapterCount = 0;
    int m_nAdapterIndex = -1;
    // Card i's adapter for the fan settings and chip writes: i times the chosen adapter's index. The
    // first card's readings come from the chosen adapter itself.
    int m_nCardAdapter[kMaxFanCards] = {};
};
