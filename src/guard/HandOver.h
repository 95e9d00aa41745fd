// The hand-over record: what Ventiq tells its guardian process at start, so that the guardian can
// hand the fans back on its own once Ventiq has ended. Both sides of the pipe use these functions.
#pragma once
#include "hw/FanHardware.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

// Everything the guardian needs to open its own driver session and hand the fans back.
struct HandOver {
    GpuVendor m_vendor = GpuVendor::Amd;
    FanCards m_cards;
    // CFanHardware::CardAddress of each detected card; 0 beyond the card count.
    int m_nAddresses[kMaxFanCards] = {};
};

// Version 1 on the wire, laid out byte by byte (little-endian, no padding): magic "VQHO", version,
// vendor (0 AMD, 1 NVIDIA), card count, the address of each card slot, the matched flag of each
// slot, the four register defaults.
constexpr std::size_t kHandOverSize = 4 + 4 + 4 + 4 + kMaxFanCards * 4 + kMaxFanCards + 4 * 4;
using HandOverBytes = std::array<unsigned char, kHandOverSize>;

// What Ventiq writes after the record once every fan is back in default control for good: the
// guardian then ends without touching anything.
constexpr std::array<unsigned char, 4> kFansHandedBack = {'B', 'A', 'C', 'K'};

// The record of a running hardware back end.
HandOver HandOverOf(const CFanHardware& hardware);

HandOverBytes EncodeHandOver(const HandOver& handOver);

// Nothing unless `bytes` is exactly one record of this version that makes sense: a known vendor, one
// to four cards, matched flags 0 or 1, NVIDIA addresses inside the driver's GPU list, and unused card
// slots empty. The guardian never writes a register from anything else.
std::optional<HandOver> DecodeHandOver(const unsigned char* bytes, std::size_t size);

// The handles the guardian inherits: the pipe's read end, Ventiq's process (to wait for its end), and
// the event it sets once it holds its own driver session.
struct GuardianHandles {
    HANDLE m_hPipe = nullptr;
    HANDLE m_hVentiq = nullptr;
    HANDLE m_hArmed = nullptr;
};

// The guardian's command line after its program name: the three handle values.
std::wstring GuardianArguments(const GuardianHandles& handles);
// Nothing unless the text is exactly three such non-zero decimal handle values.
std::optional<GuardianHandles> ParseGuardianArguments(const wchar_t* text);

// What comes first on the command line of VentiqGuard.exe started as the launcher: it only starts the
// guardian proper with the same handles and ends at once, so the guardian is nobody's descendant.
inline const wchar_t kLauncherSwitch[] = L"/launch ";
