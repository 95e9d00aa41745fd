// The hand-over record between Ventiq and its guardian: encoding and the strict decoder.
#include "guard/HandOver.h"

#include <cstdint>

namespace {
constexpr std::array<unsigned char, 4> kMagic = {'V', 'Q', 'H', 'O'};
constexpr std::uint32_t kVersion = 1;
// The NVIDIA driver enumerates at most this many physical GPUs.
constexpr int kNvMaxPhysicalGpus = 64;

class CWriter {
public:
    explicit CWriter(HandOverBytes& bytes) : m_bytes(bytes) {}
    void Byte(unsigned char value) { m_bytes[m_nAt++] = value; }
    void Word(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            Byte(static_cast<unsigned char>(value >> shift));
        }
    }

private:
    HandOverBytes& m_bytes;
    std::size_t m_nAt = 0;
};

class CReader {
public:
    explicit CReader(const unsigned char* bytes) : m_pBytes(bytes) {}
    unsigned char Byte() { return m_pBytes[m_nAt++]; }
    std::uint32_t Word() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= static_cast<std::uint32_t>(Byte()) << shift;
        }
        return value;
    }
    int Int() { return static_cast<int>(Word()); }

private:
    const unsigned char* m_pBytes;
    std::size_t m_nAt = 0;
};

bool IsValidAddress(GpuVendor vendor, int address) {
    // Any AMD adapter index may be handed over as the program chose it (-1 when no adapter qualified).
    return vendor == GpuVendor::Amd || (address >= 0 && address < kNvMaxPhysicalGpus);
}
} // namespace

HandOver HandOverOf(const CFanHardware& hardware) {
    HandOver handOver;
    handOver.m_vendor = hardware.Vendor();
    handOver.m_cards = hardware.Cards();
    for (int card = 0; card < handOver.m_cards.m_nCardCount && card < kMaxFanCards; ++card) {
        handOver.m_nAddresses[card] = hardware.CardAddress(card);
    }
    return handOver;
}

HandOverBytes EncodeHandOver(const HandOver& handOver) {
    HandOverBytes bytes{};
    CWriter out(bytes);
    for (unsigned char c : kMagic) {
        out.Byte(c);
    }
    out.Word(kVersion);
    out.Word(handOver.m_vendor == GpuVendor::Nvidia ? 1 : 0);
    const FanCards& cards = handOver.m_cards;
    out.Word(static_cast<std::uint32_t>(cards.m_nCardCount));
    for (int card = 0; card < kMaxFanCards; ++card) {
        out.Word(static_cast<std::uint32_t>(card < cards.m_nCardCount ? handOver.m_nAddresses[card] : 0));
    }
    for (int card = 0; card < kMaxFanCards; ++card) {
        const bool matched = card < cards.m_nCardCount &&
                             static_cast<std::size_t>(card) < cards.m_pCardMatched.size() &&
                             cards.m_pCardMatched[static_cast<std::size_t>(card)] == 1;
        out.Byte(matched ? 1 : 0);
    }
    for (int value : cards.m_nRegisterDefaults) {
        out.Word(static_cast<std::uint32_t>(value));
    }
    return bytes;
}

std::optional<HandOver> DecodeHandOver(const unsigned char* bytes, std::size_t size) {
    if (bytes == nullptr || size != kHandOverSize) {
        return std::nullopt;
    }
    CReader in(bytes);
    for (unsigned char c : kMagic) {
        if (in.Byte() != c) {
            return std::nullopt;
        }
    }
    if (in.Word() != kVersion) {
        return std::nullopt;
    }
    HandOver handOver;
    const std::uint32_t vendor = in.Word();
    if (vendor > 1) {
        return std::nullopt;
    }
    handOver.m_vendor = vendor == 1 ? GpuVendor::Nvidia : GpuVendor::Amd;
    const std::uint32_t count = in.Word();
    if (count < 1 || count > static_cast<std::uint32_t>(kMaxFanCards)) {
        return std::nullopt;
    }
    const int cardCount = static_cast<int>(count);
    handOver.m_cards.m_nCardCount = cardCount;
    for (int card = 0; card < kMaxFanCards; ++card) {
        const int address = in.Int();
        const bool used = card < cardCount;
        if (used ? !IsValidAddress(handOver.m_vendor, address) : address != 0) {
            return std::nullopt;
        }
        handOver.m_nAddresses[card] = address;
    }
    for (int card = 0; card < kMaxFanCards; ++card) {
        const unsigned char matched = in.Byte();
        if (matched > 1 || (card >= cardCount && matched != 0)) {
            return std::nullopt;
        }
        if (card < cardCount) {
            handOver.m_cards.m_pCardMatched.push_back(matched);
        }
    }
    // Any value: the chip gets its low 8 bits, as on every other way the defaults are written.
    for (int& value : handOver.m_cards.m_nRegisterDefaults) {
        value = in.Int();
    }
    return handOver;
}

std::wstring GuardianArguments(const GuardianHandles& handles) {
    std::wstring text;
    for (HANDLE handle : {handles.m_hPipe, handles.m_hVentiq, handles.m_hArmed}) {
        text += (text.empty() ? L"" : L" ") + std::to_wstring(reinterpret_cast<std::uintptr_t>(handle));
    }
    return text;
}

std::optional<GuardianHandles> ParseGuardianArguments(const wchar_t* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    std::uintptr_t values[3] = {};
    const wchar_t* at = text;
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && *at++ != L' ') {
            return std::nullopt;
        }
        if (*at < L'0' || *at > L'9') {
            return std::nullopt;
        }
        for (; *at >= L'0' && *at <= L'9'; ++at) {
            const std::uintptr_t digit = static_cast<std::uintptr_t>(*at - L'0');
            if (values[i] > (UINTPTR_MAX - digit) / 10) {
                return std::nullopt;
            }
            values[i] = values[i] * 10 + digit;
        }
        if (values[i] == 0) {
            return std::nullopt;
        }
    }
    if (*at != L'\0') {
        return std::nullopt;
    }
    return GuardianHandles{reinterpret_cast<HANDLE>(values[0]), reinterpret_cast<HANDLE>(values[1]),
                           reinterpret_cast<HANDLE>(values[2])};
}
