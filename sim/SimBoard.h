// The simulated board: cards, ADL adapters, the fan controller chips, faults and the live model.
#pragma once
#include "SimJournal.h"
#include "SimScenario.h"

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace sim {

// What a board holds at run time beyond the scenario: what the program wrote and the live values.
struct CardRuntime {
    std::array<bool, 256> written{};
    std::array<std::uint8_t, 256> regs{};
    std::optional<int> nManualFan;     // set by a manual speed; empty: the driver's own control
    bool bDefaultFanSet = false;       // the program gave the fans back to the driver's control
    double dTemperature = 0, dFan = 0; // live model
    double dPwmTemperature = 0, dDuty = 0;
};

class CBoard {
public:
    static CBoard& Instance();

    std::mutex& Mutex() { return m_mutex; }
    // Re-reads the scenario when the file changed and advances the live model; call with the mutex held.
    void Refresh();
    const Scenario& Current() const { return m_scenario; }

    // Card addressed by an ADL adapter index, or -1.
    int CardOfAdapter(int adapterIndex) const;
    const ScenarioAdapter* FindAdapter(int adapterIndex) const;

    int TemperatureMilli(int card) const;
    int FanPercent(int card) const;
    int CoolerLevel(int card) const;
    int CoolerPolicy(int card) const;
    // Whether the program set a fixed speed the driver still keeps.
    bool IsManualFan(int card) const { return m_cards[static_cast<size_t>(card)].nManualFan.has_value(); }
    // Driver handles of the GPUs carry this generation; a power cycle with new handles starts the next.
    int HandleGeneration() const { return m_nHandleGeneration; }
    bool HasChip(int card) const { return m_scenario.cards[static_cast<size_t>(card)].bChip; }
    std::uint8_t ReadRegister(int card, int reg) const;
    void WriteRegister(int card, int reg, std::uint8_t value);
    void SetManualFan(int card, int percent);
    void SetDefaultFan(int card);

    // Counts a call of `name`; true when this call is the one fault.crash.<name> picks.
    bool CountCallAndCheckCrash(const std::string& name);

private:
    void Load(const std::string& text);
    void PowerCycle();
    void Step();
    double AutomaticDuty(int card) const;

    std::mutex m_mutex;
    bool m_bLoaded = false;
    std::string m_strText;
    Scenario m_scenario;
    std::array<CardRuntime, kMaxCards> m_cards;
    std::map<std::string, int> m_calls;
    unsigned long long m_nLastStep = 0;
    int m_nHandleGeneration = 0;
};

// One call into the board: holds the board's lock from construction to Finish, counts the call and
// builds its journal line.
class CCall {
public:
    explicit CCall(const char* name);
    CCall(const CCall&) = delete;
    CCall& operator=(const CCall&) = delete;

    CBoard& Board() { return m_board; }
    CJournalLine& Line() { return m_line; }
    // fault.status of this call, 0 when none.
    int FaultStatus() const;
    // Journals the line (with status=N when non-zero), releases the lock, raises the access violation
    // when fault.crash picked this call, and returns status.
    int Finish(int status);

private:
    CBoard& m_board;
    std::unique_lock<std::mutex> m_lock;
    std::string m_strName;
    CJournalLine m_line;
    bool m_bCrash = false;
};

} // namespace sim
