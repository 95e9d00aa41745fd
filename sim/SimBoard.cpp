// The simulated board: scenario refresh, what the program wrote, the live model and call faults.
#include "SimBoard.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace sim {
namespace {

std::string ReadScenarioText() {
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", path, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) {
        return {};
    }
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0 && text.size() < 1000000) {
        text.append(buffer, read);
    }
    ::CloseHandle(file);
    return text;
}

// Read through an address the compiler cannot see is null, so the fault is a real access violation.
int* volatile g_pNowhere = nullptr;

std::uint8_t ToByte(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

CBoard& CBoard::Instance() {
    static CBoard board;
    return board;
}

void CBoard::Refresh() {
    const std::string text = ReadScenarioText();
    if (!m_bLoaded || text != m_strText) {
        Load(text);
    }
    if (m_scenario.bLive) {
        const unsigned long long now = ::GetTickCount64();
        // Whole seconds only, and at most ten minutes of catching up.
        for (int steps = 0; now - m_nLastStep >= 1000 && steps < 600; ++steps) {
            Step();
            m_nLastStep += 1000;
        }
        if (now - m_nLastStep >= 1000) {
            m_nLastStep = now;
        }
    }
}

void CBoard::Load(const std::string& text) {
    const bool reload = m_bLoaded;
    const int previousCycle = m_scenario.nPowerCycle;
    m_bLoaded = true;
    m_strText = text;
    m_scenario = ParseScenario(text);
    if (reload && m_scenario.nPowerCycle != previousCycle) {
        PowerCycle();
    }
    for (const std::string& ignored : m_scenario.ignored) {
        AppendJournalLine("scenario-ignored " + ignored);
    }
    for (int card = 0; card < kMaxCards; ++card) {
        const ScenarioCard& from = m_scenario.cards[static_cast<size_t>(card)];
        CardRuntime& runtime = m_cards[static_cast<size_t>(card)];
        runtime.dTemperature = from.nTemperatureMilli / 1000.0;
        runtime.dFan = from.nFan;
        runtime.dPwmTemperature = from.regs[0x02];
        runtime.dDuty = from.regs[0x60];
    }
    m_nLastStep = ::GetTickCount64();
}

// As after sleep or a driver restart: the fans are the driver's again and the chips hold their
// power-on registers (the scenario's start values).
void CBoard::PowerCycle() {
    for (CardRuntime& card : m_cards) {
        card.written.fill(false);
        card.nManualFan.reset();
        card.bDefaultFanSet = false;
    }
    if (m_scenario.bNewHandles) {
        ++m_nHandleGeneration;
    }
    AppendJournalLine("power-cycle cycle=" + std::to_string(m_scenario.nPowerCycle));
}

// One second of the live model.
void CBoard::Step() {
    for (int card = 0; card < m_scenario.nCards; ++card) {
        CardRuntime& state = m_cards[static_cast<size_t>(card)];
        const ScenarioCard& from = m_scenario.cards[static_cast<size_t>(card)];
        const double fanTarget =
            state.nManualFan ? *state.nManualFan
                             : std::clamp(30.0 + std::max(0.0, state.dTemperature - 50.0) * 2.0, 30.0, 100.0);
        state.dFan += (fanTarget - state.dFan) * 0.5;
        const double temperatureTarget = 30.0 + 0.6 * from.nLoad - 0.25 * (state.dFan - 30.0);
        state.dTemperature += (temperatureTarget - state.dTemperature) / 8.0;
        const double pwmTarget = state.dTemperature + 10.0 - state.dDuty / 16.0;
        state.dPwmTemperature += (pwmTarget - state.dPwmTemperature) / 8.0;
        state.dDuty += (AutomaticDuty(card) - state.dDuty) * 0.5;
    }
}

// The duty the chip heads for: the fixed duty when 0x85 and 0x86 hold one value, else its curve.
double CBoard::AutomaticDuty(int card) const {
    const int r85 = ReadRegister(card, 0x85);
    if (r85 == ReadRegister(card, 0x86)) {
        return r85;
    }
    const double pwm = m_cards[static_cast<size_t>(card)].dPwmTemperature;
    const int reg = pwm < 50 ? 0x88 : pwm < 60 ? 0x87 : pwm < 70 ? 0x86 : 0x85;
    return ReadRegister(card, reg);
}

const ScenarioAdapter* CBoard::FindAdapter(int adapterIndex) const {
    for (const ScenarioAdapter& adapter : m_scenario.adapters) {
        if (adapter.nIndex == adapterIndex) {
            return &adapter;
        }
    }
    return nullptr;
}

int CBoard::CardOfAdapter(int adapterIndex) const {
    const ScenarioAdapter* adapter = FindAdapter(adapterIndex);
    if (adapter == nullptr || adapter->nCard >= m_scenario.nCards) {
        return -1;
    }
    return adapter->nCard;
}

int CBoard::TemperatureMilli(int card) const {
    if (m_scenario.bLive) {
        return static_cast<int>(std::lround(m_cards[static_cast<size_t>(card)].dTemperature * 1000.0));
    }
    return m_scenario.cards[static_cast<size_t>(card)].nTemperatureMilli;
}

int CBoard::FanPercent(int card) const {
    if (m_scenario.bLive) {
        return static_cast<int>(std::lround(m_cards[static_cast<size_t>(card)].dFan));
    }
    return m_scenario.cards[static_cast<size_t>(card)].nFan;
}

int CBoard::CoolerLevel(int card) const {
    if (m_scenario.bLive) {
        return FanPercent(card);
    }
    // A manual level the program set is what the driver reports back.
    const CardRuntime& state = m_cards[static_cast<size_t>(card)];
    return state.nManualFan ? *state.nManualFan : m_scenario.CoolerLevel(card);
}

int CBoard::CoolerPolicy(int card) const {
    const CardRuntime& state = m_cards[static_cast<size_t>(card)];
    if (state.nManualFan) {
        return 1;
    }
    // Given back by the program, a cooler the scenario started manual is the driver's again.
    const int policy = m_scenario.cards[static_cast<size_t>(card)].nCoolerPolicy;
    return state.bDefaultFanSet && policy == 1 ? 16 : policy;
}

std::uint8_t CBoard::ReadRegister(int card, int reg) const {
    const CardRuntime& state = m_cards[static_cast<size_t>(card)];
    const auto index = static_cast<size_t>(reg & 0xFF);
    if (reg == 0x02 || reg == 0x60) {
        if (m_scenario.bLive) {
            return ToByte(reg == 0x02 ? state.dPwmTemperature : state.dDuty);
        }
        return m_scenario.cards[static_cast<size_t>(card)].regs[index];
    }
    return state.written[index] ? state.regs[index] : m_scenario.cards[static_cast<size_t>(card)].regs[index];
}

void CBoard::WriteRegister(int card, int reg, std::uint8_t value) {
    CardRuntime& state = m_cards[static_cast<size_t>(card)];
    state.written[static_cast<size_t>(reg & 0xFF)] = true;
    state.regs[static_cast<size_t>(reg & 0xFF)] = value;
}

void CBoard::SetManualFan(int card, int percent) {
    m_cards[static_cast<size_t>(card)].nManualFan = std::clamp(percent, 0, 100);
    m_cards[static_cast<size_t>(card)].bDefaultFanSet = false;
}

void CBoard::SetDefaultFan(int card) {
    m_cards[static_cast<size_t>(card)].nManualFan.reset();
    m_cards[static_cast<size_t>(card)].bDefaultFanSet = true;
}

bool CBoard::CountCallAndCheckCrash(const std::string& name) {
    const int number = ++m_calls[name];
    const auto crash = m_scenario.crash.find(name);
    return crash != m_scenario.crash.end() && crash->second == number;
}

CCall::CCall(const char* name)
    : m_board(CBoard::Instance()), m_lock(m_board.Mutex()), m_strName(name), m_line(name) {
    m_board.Refresh();
    m_bCrash = m_board.CountCallAndCheckCrash(m_strName);
}

int CCall::FaultStatus() const {
    const auto& status = m_board.Current().status;
    const auto found = status.find(m_strName);
    return found == status.end() ? 0 : found->second;
}

int CCall::Finish(int status) {
    if (status != 0) {
        m_line.Arg("status", status);
    }
    AppendJournalLine(m_line.Text());
    m_lock.unlock();
    if (m_bCrash) {
        *g_pNowhere = 0;
    }
    return status;
}

} // namespace sim
