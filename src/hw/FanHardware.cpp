// The register sequences every vendor shares, the checked hand-back of the fans, and the guardian's
// session.
#include "hw/FanHardware.h"

#include "hw/AmdFanHardware.h"
#include "hw/NvidiaFanHardware.h"

#include <cstdlib>

namespace {
// A fan speed the driver reports this close to the one set counts as set: drivers round, and fans
// ramp to a new speed over a second or two.
constexpr int kSpeedTolerance = 5;
// Pause between hand-back attempts while the driver refuses.
constexpr DWORD kHandBackRetryMs = 250;
} // namespace

CFanHardware::CFanHardware(GpuVendor vendor, const FanCards& cards) : m_vendor(vendor), m_cards(cards) {
    if (m_cards.m_nCardCount > kMaxFanCards) {
        m_cards.m_nCardCount = kMaxFanCards;
    }
}

bool CFanHardware::WriteRegisterDefaults() {
    // Every write is made even after one fails, so as much as possible is handed back.
    bool written = true;
    for (int card = 0; card < m_cards.m_nCardCount; ++card) {
        for (int k = 0; k < 4; ++k) {
            written &= WriteChip(card, static_cast<BYTE>(kChipRegFirstControl + k), m_cards.m_nRegisterDefaults[k]);
        }
    }
    return written;
}

bool CFanHardware::WriteFixedDuty(int duty) {
    bool written = true;
    for (int card = 0; card < m_cards.m_nCardCount; ++card) {
        written &= WriteChip(card, kChipRegFirstControl, duty);
        written &= WriteChip(card, kChipRegFirstControl + 1, duty);
    }
    return written;
}

bool CFanHardware::OuterFansAtDefault() {
    for (int card = 0; card < m_cards.m_nCardCount; ++card) {
        if (!DrivesOuterFans(card)) {
            continue;
        }
        const std::optional<OuterFanReading> reading = ReadCardOuterFans(card);
        if (!reading || reading->m_bFixed) {
            return false;
        }
    }
    return true;
}

bool CFanHardware::OuterFansAt(int percent) {
    for (int card = 0; card < m_cards.m_nCardCount; ++card) {
        if (!DrivesOuterFans(card)) {
            continue;
        }
        const std::optional<OuterFanReading> reading = ReadCardOuterFans(card);
        if (!reading) {
            return false;
        }
        // NVIDIA reports its policy and the level set; an AMD driver its mode (the fans still ramp to
        // the speed) where it reports one, else the speed tells.
        const bool set = m_vendor == GpuVendor::Nvidia ? reading->m_bFixed && reading->m_nPercent == percent
                         : ReportsFanMode()            ? reading->m_bFixed
                                             : std::abs(reading->m_nPercent - percent) <= kSpeedTolerance;
        if (!set) {
            return false;
        }
    }
    return true;
}

bool CFanHardware::ChipHolds(int card, BYTE firstReg, const int* values, int count) {
    for (int k = 0; k < count; ++k) {
        const std::optional<BYTE> value = ReadCardChip(card, static_cast<BYTE>(firstReg + k));
        if (!value || *value != static_cast<BYTE>(values[k] & 0xFF)) {
            return false;
        }
    }
    return true;
}

bool CFanHardware::ChipAtDefaults() {
    for (int card = 0; card < m_cards.m_nCardCount; ++card) {
        if (!ChipHolds(card, kChipRegFirstControl, m_cards.m_nRegisterDefaults, 4)) {
            return false;
        }
    }
    return true;
}

bool CFanHardware::ChipAtDuty(int duty) {
    const int duties[2] = {duty, duty};
    for (int card = 0; card < m_cards.m_nCardCount; ++card) {
        if (!ChipHolds(card, kChipRegFirstControl, duties, 2)) {
            return false;
        }
    }
    return true;
}

bool CFanHardware::HandBack(FanSets check) {
    // Both sets are always written back; only those that were taken must be found at their defaults.
    const bool outer = SetOuterFanDefault();
    const bool middle = WriteRegisterDefaults();
    return (!check.m_bOuter || (outer && OuterFansAtDefault())) &&
           (!check.m_bMiddle || (middle && ChipAtDefaults()));
}

bool HandBackWithin(CFanHardware& hardware, FanSets check, DWORD budgetMs) {
    const ULONGLONG deadline = ::GetTickCount64() + budgetMs;
    while (!hardware.HandBack(check)) {
        if (::GetTickCount64() + kHandBackRetryMs >= deadline) {
            return false;
        }
        ::Sleep(kHandBackRetryMs);
        hardware.Reconnect();
    }
    return true;
}

std::unique_ptr<CFanHardware> OpenFanHardware(GpuVendor vendor, const FanCards& cards,
                                              const int (&addresses)[kMaxFanCards]) {
    if (vendor == GpuVendor::Amd) {
        return CAmdFanHardware::Open(cards, addresses);
    }
    return CNvidiaFanHardware::Open(cards, addresses);
}
