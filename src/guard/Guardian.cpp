// The guardian's run: record, own driver session, one blocking wait, and the hand-back if needed.
#include "guard/Guardian.h"

#include <cstring>
#include <memory>

std::optional<HandOver> ReadHandOver(HANDLE pipe) {
    HandOverBytes bytes{};
    std::size_t have = 0;
    while (have < bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(pipe, bytes.data() + have, static_cast<DWORD>(bytes.size() - have), &read, nullptr) ||
            read == 0) {
            return std::nullopt;
        }
        have += read;
    }
    return DecodeHandOver(bytes.data(), bytes.size());
}

bool EndedWithoutHandingBack(HANDLE pipe, HANDLE ventiq) {
    ::WaitForSingleObject(ventiq, INFINITE);
    // A peek never blocks, even if some other process still held the pipe's write end.
    unsigned char word[kFansHandedBack.size()] = {};
    DWORD read = 0;
    if (!::PeekNamedPipe(pipe, word, sizeof word, &read, nullptr, nullptr)) {
        return true;
    }
    return read != sizeof word || std::memcmp(word, kFansHandedBack.data(), sizeof word) != 0;
}

namespace {
// A handle that can be waited on and is not already broken.
bool IsWaitable(HANDLE handle) {
    const DWORD state = ::WaitForSingleObject(handle, 0);
    return state == WAIT_OBJECT_0 || state == WAIT_TIMEOUT;
}
} // namespace

GuardianExit RunGuardian(const GuardianHandles& handles) {
    if (!IsWaitable(handles.m_hVentiq) || !IsWaitable(handles.m_hArmed)) {
        return kGuardianRefused;
    }
    const std::optional<HandOver> handOver = ReadHandOver(handles.m_hPipe);
    if (!handOver) {
        return kGuardianRefused;
    }
    // The session is opened now, so that the hand-back at the moment of need is a handful of calls.
    const std::unique_ptr<CFanHardware> hardware =
        OpenFanHardware(handOver->m_vendor, handOver->m_cards, handOver->m_nAddresses);
    if (hardware == nullptr) {
        return kGuardianNoDriver;
    }
    // Ventiq retires the guardian before this one only after this.
    ::SetEvent(handles.m_hArmed);
    if (!EndedWithoutHandingBack(handles.m_hPipe, handles.m_hVentiq)) {
        return kGuardianQuiet;
    }
    // The session may have gone stale since (a driver restart): a refused call renews it and tries again.
    return HandBackWithin(*hardware, FanSets{}, kGuardianHandBackBudgetMs) ? kGuardianHandedBack
                                                                            : kGuardianNotConfirmed;
}
