// CFanHardware: the fans of the supported cards, whichever vendor's driver reaches them. The window,
// the crash guard and the guardian process all drive the hardware through this one interface.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

enum class GpuVendor { Amd, Nvidia };

// The most cards the program drives: the card list and detection know four.
constexpr int kMaxFanCards = 4;

// What the hardware addresses: the detected cards and the chip's automatic curve of their list row.
struct FanCards {
    int m_nCardCount = 0;
    // Per card: 1 when its ids matched a row of the card list. The NVIDIA outer fans of a card that did
    // not match are left alone.
    std::vector<BYTE> m_pCardMatched;
    // Registers 0x85..0x88: the chip's own curve, written whenever the middle fan goes automatic.
    int m_nRegisterDefaults[4] = {};
};

// The first card's outer fans as the driver reports them.
struct OuterFanReading {
    int m_nPercent = 0;
    // The NVIDIA cooler policy (1 manual, 8 or 16 automatic); 0 on AMD, whose driver has none to tell.
    int m_nPolicy = 0;
};

class CFanHardware {
public:
    CFanHardware(GpuVendor vendor, const FanCards& cards);
    virtual ~CFanHardware() = default;
    CFanHardware(const CFanHardware&) = delete;
    CFanHardware& operator=(const CFanHardware&) = delete;

    GpuVendor Vendor() const { return m_vendor; }
    const FanCards& Cards() const { return m_cards; }

    // The first card's GPU temperature in whole degrees; nothing when the driver does not answer.
    virtual std::optional<int> ReadGpuTemperature() = 0;
    // The first card's outer fans; nothing when the driver does not answer.
    virtual std::optional<OuterFanReading> ReadOuterFans() = 0;
    // Every card's outer fans at a fixed percentage.
    virtual void SetOuterFanPercent(int percent) = 0;
    // Every card's outer fans back under the driver's own control.
    virtual void SetOuterFanDefault() = 0;
    // One register of the first card's fan controller chip; nothing when the transaction fails.
    virtual std::optional<BYTE> ReadChip(BYTE reg) = 0;
    // One register of card `card`'s chip; only the low 8 bits of `value` reach it.
    virtual void WriteChip(int card, BYTE reg, int value) = 0;
    // The driver's address of each card, as another process opening its own session needs it: the
    // AMD adapter index, or the NVIDIA physical GPU's place in the driver's enumeration.
    virtual int CardAddress(int card) const = 0;

    // Registers 0x85..0x88 of every card get the list row's defaults: the chip's automatic curve.
    void WriteRegisterDefaults();
    // Registers 0x85 and 0x86 of every card get one duty: a fixed middle-fan speed.
    void WriteFixedDuty(int duty);
    // Every fan back to its default control: the outer fans to the driver, the chip to its curve. The
    // same calls on every way out of the program, after a crash and from the guardian.
    void HandBack();

private:
    GpuVendor m_vendor;
    FanCards m_cards;
};

// Registers of the fan controller chip the program uses.
constexpr BYTE kChipRegPwmTemperature = 0x02;
constexpr BYTE kChipRegDuty = 0x60;
constexpr BYTE kChipRegFirstControl = 0x85; // 0x85..0x88

// A session of this process's own with the vendor's driver library (loaded from the system directory
// only) for cards another process found at the given addresses (CFanHardware::CardAddress): what the
// guardian opens at its start, so that handing the fans back later is a handful of calls. Null when
// the library does not come up.
std::unique_ptr<CFanHardware> OpenFanHardware(GpuVendor vendor, const FanCards& cards,
                                              const int (&addresses)[kMaxFanCards]);
