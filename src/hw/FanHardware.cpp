// The register sequences every vendor shares, the hand-back of the fans, and the guardian's session.
#include "hw/FanHardware.h"

#include "hw/AmdFanHardware.h"
#include "hw/NvidiaFanHardware.h"

CFanHardware::CFanHardware(GpuVendor vendor, const FanCards& cards) : m_vendor(vendor), m_cards(cards) {
    if (m_cards.m_nCardCount > kMaxFanCards) {
        m_cards.m_nCardCount = kMaxFanCards;
    }
}

void CFanHardware::WriteRegisterDefaults() {
    for (int card = 0; card < m_cards.m_nCardCount; ++card) {
        for (int k = 0; k < 4; ++k) {
            WriteChip(card, static_cast<BYTE>(kChipRegFirstControl + k), m_cards.m_nRegisterDefaults[k]);
        }
    }
}

void CFanHardware::WriteFixedDuty(int duty) {
    for (int card = 0; card < m_cards.m_nCardCount; ++card) {
        WriteChip(card, kChipRegFirstControl, duty);
        WriteChip(card, kChipRegFirstControl + 1, duty);
    }
}

void CFanHardware::HandBack() {
    SetOuterFanDefault();
    WriteRegisterDefaults();
}

std::unique_ptr<CFanHardware> OpenFanHardware(GpuVendor vendor, const FanCards& cards,
                                              const int (&addresses)[kMaxFanCards]) {
    if (vendor == GpuVendor::Amd) {
        return CAmdFanHardware::Open(cards, addresses);
    }
    return CNvidiaFanHardware::Open(cards, addresses);
}
