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

// One card's outer fans as the driver reports them.
struct OuterFanReading {
    int m_nPercent = 0;
    // The NVIDIA cooler policy (1 manual, 8 or 16 automatic); 0 on AMD, whose driver has none to tell.
    int m_nPolicy = 0;
    // The driver says they run at a speed the program fixed: NVIDIA's manual policy, or AMD's
    // user-defined speed where the driver reports it.
    bool m_bFixed = false;
};

// What a renewed driver session found.
enum class Reconnection { Failed, SameCards, CardsChanged };

// Which fan sets a hand-back must find at their defaults afterwards.
struct FanSets {
    bool m_bOuter = true;
    bool m_bMiddle = true;
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
    // Every card's outer fans at a fixed percentage; false when the driver refused any card.
    virtual bool SetOuterFanPercent(int percent) = 0;
    // Every card's outer fans back under the driver's own control; false when the driver refused any.
    virtual bool SetOuterFanDefault() = 0;
    // One register of the first card's fan controller chip; nothing when the transaction fails.
    virtual std::optional<BYTE> ReadChip(BYTE reg) = 0;
    // One register of card `card`'s chip; only the low 8 bits of `value` reach it. False when the
    // transaction fails.
    virtual bool WriteChip(int card, BYTE reg, int value) = 0;
    // The driver's address of each card, as another process opening its own session needs it: the
    // AMD adapter index, or the NVIDIA physical GPU's place in the driver's enumeration.
    virtual int CardAddress(int card) const = 0;

    // What card `card` holds, read where its settings are written: the check after a write.
    virtual std::optional<OuterFanReading> ReadCardOuterFans(int card) = 0;
    virtual std::optional<BYTE> ReadCardChip(int card, BYTE reg) = 0;
    // Whether the program sets card `card`'s outer fans (NVIDIA: only matched cards the driver listed).
    virtual bool DrivesOuterFans(int card) const = 0;
    // Whether the driver tells a fixed speed from its own control in its readings (m_bFixed). NVIDIA's
    // policy always does; an AMD driver is known to once a reading has shown its user-defined flag.
    virtual bool ReportsFanMode() const { return true; }

    // Ends the library session and opens it again, after a driver restart or when the driver stopped
    // answering: the cards are found again as at start-up, or at the addresses another process gave.
    virtual Reconnection Reconnect() = 0;
    // The driver said the session's handles went stale (NVIDIA, after a driver restart): until a
    // reconnect, nothing this session sends reaches the cards.
    virtual bool SessionLost() const { return false; }

    // Registers 0x85..0x88 of every card get the list row's defaults: the chip's automatic curve.
    bool WriteRegisterDefaults();
    // Registers 0x85 and 0x86 of every card get one duty: a fixed middle-fan speed.
    bool WriteFixedDuty(int duty);

    // Read-backs: whether every driven card says its outer fans are the driver's, or run at
    // `percent` (a driver that reports no mode: the speed within a few percent); whether every card's
    // chip holds its defaults, or the fixed duty.
    bool OuterFansAtDefault();
    bool OuterFansAt(int percent);
    bool ChipAtDefaults();
    bool ChipAtDuty(int duty);

    // Every fan back to its default control, the outer fans to the driver and the chip to its curve,
    // then read back: true only when every call was taken and the sets in `check` read as their
    // defaults. The same calls on every way out of the program, after a crash and from the guardian.
    bool HandBack(FanSets check = {});

private:
    bool ChipHolds(int card, BYTE firstReg, const int* values, int count);

    GpuVendor m_vendor;
    FanCards m_cards;
};

// Hands the fans back, and while that is not confirmed tries again for up to `budgetMs`, renewing the
// driver session between tries: a driver that is restarting or a busy I2C bus refuses calls for a
// while. True once a hand-back was confirmed.
bool HandBackWithin(CFanHardware& hardware, FanSets check, DWORD budgetMs);

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
