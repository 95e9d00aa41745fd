// The guardian's channel: the hand-over record (what decodes and what is refused), the command line,
// the wait's verdict from what Ventiq left in the pipe, and the restart rate.
#include "app/GuardianLink.h"
#include "guard/Guardian.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HandOver MakeHandOver(GpuVendor vendor, std::vector<int> addresses, std::vector<BYTE> matched,
                      std::array<int, 4> defaults = {120, 100, 80, 60}) {
    HandOver handOver;
    handOver.m_vendor = vendor;
    handOver.m_cards.m_nCardCount = static_cast<int>(addresses.size());
    handOver.m_cards.m_pCardMatched = matched;
    for (size_t i = 0; i < addresses.size(); ++i) {
        handOver.m_nAddresses[i] = addresses[i];
    }
    for (int k = 0; k < 4; ++k) {
        handOver.m_cards.m_nRegisterDefaults[k] = defaults[static_cast<size_t>(k)];
    }
    return handOver;
}

std::optional<HandOver> Decode(const HandOverBytes& bytes) {
    return DecodeHandOver(bytes.data(), bytes.size());
}

TEST(HandOver, GoodRecordsComeBackAsTheyWent) {
    const HandOver cases[] = {
        MakeHandOver(GpuVendor::Amd, {0}, {1}),
        // No adapter qualified: the addresses are multiples of -1, as the program chose them.
        MakeHandOver(GpuVendor::Amd, {0, -1, -2, -3}, {1, 1, 0, 1}),
        // Defaults travel as read from the list; the chip gets their low 8 bits later.
        MakeHandOver(GpuVendor::Nvidia, {0, 63}, {0, 1}, {300, -5, 0, 255}),
    };
    for (const HandOver& sent : cases) {
        const std::optional<HandOver> got = Decode(EncodeHandOver(sent));
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(got->m_vendor, sent.m_vendor);
        EXPECT_EQ(got->m_cards.m_nCardCount, sent.m_cards.m_nCardCount);
        EXPECT_EQ(got->m_cards.m_pCardMatched, sent.m_cards.m_pCardMatched);
        for (int i = 0; i < kMaxFanCards; ++i) {
            EXPECT_EQ(got->m_nAddresses[i], sent.m_nAddresses[i]);
            EXPECT_EQ(got->m_cards.m_nRegisterDefaults[i], sent.m_cards.m_nRegisterDefaults[i]);
        }
    }
}

TEST(HandOver, MalformedRecordsAreRefused) {
    const HandOverBytes good = EncodeHandOver(MakeHandOver(GpuVendor::Nvidia, {0, 5}, {1, 0}));
    ASSERT_TRUE(Decode(good).has_value());
    // Offsets: magic 0, version 4, vendor 8, count 12, addresses 16 (4 each), matched 32, defaults 36.
    const struct {
        const char* what;
        size_t offset;
        unsigned char value;
    } cases[] = {
        {"magic", 0, 'X'},
        {"version 2", 4, 2},
        {"version 0", 4, 0},
        {"vendor 2", 8, 2},
        {"no card", 12, 0},
        {"five cards", 12, 5},
        {"card count beyond a byte", 13, 1},
        {"NVIDIA GPU 64", 20, 64},
        {"NVIDIA GPU -1", 23, 0xFF},
        {"address in an unused slot", 24, 1},
        {"matched flag 2", 32, 2},
        {"matched flag in an unused slot", 34, 1},
    };
    for (const auto& c : cases) {
        HandOverBytes bad = good;
        bad[c.offset] = c.value;
        EXPECT_FALSE(Decode(bad).has_value()) << c.what;
    }
    for (size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(DecodeHandOver(good.data(), size).has_value()) << "truncated to " << size;
    }
    std::vector<unsigned char> longer(good.begin(), good.end());
    longer.push_back(0);
    EXPECT_FALSE(DecodeHandOver(longer.data(), longer.size()).has_value()) << "one byte too many";
}

TEST(HandOver, OnlyTheMatchedFlagOneCountsAsMatched) {
    // The NVIDIA rule leaves a card's outer fans alone unless its flag is exactly 1.
    const std::optional<HandOver> got =
        Decode(EncodeHandOver(MakeHandOver(GpuVendor::Nvidia, {0, 1, 2}, {1, 2, 0})));
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->m_cards.m_pCardMatched, (std::vector<BYTE>{1, 0, 0}));
}

TEST(GuardianArguments, ThreeHandleValuesAndNothingElse) {
    const GuardianHandles handles{reinterpret_cast<HANDLE>(12), reinterpret_cast<HANDLE>(340),
                                  reinterpret_cast<HANDLE>(5)};
    EXPECT_EQ(GuardianArguments(handles), L"12 340 5");
    const struct {
        const wchar_t* text;
        bool valid;
    } cases[] = {
        {L"12 340 5", true},
        {L"", false},
        {L"12 340", false},
        {L"12 340 5 ", false},
        {L" 12 340 5", false},
        {L"12  340 5", false},
        {L"0 340 5", false},
        {L"12 0 5", false},
        {L"12 340 0", false},
        {L"x 340 5", false},
        {L"12 34x 5", false},
        {L"-12 340 5", false},
        {L"12 340 5 7", false},
        {L"99999999999999999999999 1 1", false},
    };
    for (const auto& c : cases) {
        const std::optional<GuardianHandles> parsed = ParseGuardianArguments(c.text);
        EXPECT_EQ(parsed.has_value(), c.valid) << testing::PrintToString(std::wstring(c.text));
        if (c.valid && parsed) {
            EXPECT_EQ(parsed->m_hPipe, handles.m_hPipe);
            EXPECT_EQ(parsed->m_hVentiq, handles.m_hVentiq);
            EXPECT_EQ(parsed->m_hArmed, handles.m_hArmed);
        }
    }
}

// A pipe with `written` in it and an event standing in for Ventiq's ended process.
bool VerdictAfter(const std::string& written, bool writerStillOpen) {
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    EXPECT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    DWORD count = 0;
    ::WriteFile(writeEnd, written.data(), static_cast<DWORD>(written.size()), &count, nullptr);
    if (!writerStillOpen) {
        ::CloseHandle(writeEnd);
    }
    HANDLE ended = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
    const bool verdict = EndedWithoutHandingBack(readEnd, ended);
    ::CloseHandle(ended);
    ::CloseHandle(readEnd);
    if (writerStillOpen) {
        ::CloseHandle(writeEnd);
    }
    return verdict;
}

TEST(GuardianWait, HandsBackUnlessVentiqSaidTheFansWereBack) {
    const struct {
        const char* written;
        bool writerStillOpen;
        bool handBack;
    } cases[] = {
        {"BACK", false, false},
        {"BACKBACK", false, false},
        {"", false, true},
        {"BA", false, true},
        {"BACX", false, true},
        // Another process holding the write end must not keep the guardian waiting.
        {"", true, true},
        {"BACK", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VerdictAfter(c.written, c.writerStillOpen), c.handBack) << '"' << c.written << '"';
    }
}

TEST(GuardianLink, RetriesAGuardianThatDidNotArmAtMostOnceAMinute) {
    EXPECT_TRUE(MayRetryGuardian(5000, std::nullopt)) << "the first retry at once";
    EXPECT_FALSE(MayRetryGuardian(100000 + kGuardianRetryIntervalMs - 1, 100000));
    EXPECT_TRUE(MayRetryGuardian(100000 + kGuardianRetryIntervalMs, 100000));
}

} // namespace
