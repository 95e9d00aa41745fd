// The simulated board's scenario: the parsed form of the key = value file the tests write.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

constexpr int kMaxCards = 4;
constexpr int kMaxAdapters = 16;

struct ScenarioCard {
    int nTemperatureMilli = 45000; // thousandths of a degree Celsius
    int nFan = 40;                 // outer fans, percent
    std::optional<int> nCoolerLevel;
    int nCoolerPolicy = 16;
    int nLoad = 30;
    bool bChip = true;
    std::array<std::uint8_t, 256> regs{};
};

struct ScenarioAdapter {
    int nIndex = 0;
    int nActive = 1;
    int nVendor = 1002;
    int nCard = 0;
};

struct Scenario {
    int nCards = 1;
    bool bLive = false;
    std::array<ScenarioCard, kMaxCards> cards;
    std::vector<ScenarioAdapter> adapters;
    int nCrossfireSupported = 0;
    int nCrossfireState = 0;
    int nDisplays = 1;
    // A new value is a power cycle: the board forgets what the program wrote.
    int nPowerCycle = 0;
    // A power cycle also gives the GPUs new driver handles, as a display-driver restart does.
    bool bNewHandles = false;
    std::vector<std::string> absent;  // library file names, lower case
    std::vector<std::string> missing; // export names, operation names or interface ids as written
    std::map<std::string, int> status;
    std::map<std::string, int> crash;
    std::vector<std::string> ignored; // journal text of the lines that could not be used

    int CoolerLevel(int card) const { return cards[card].nCoolerLevel.value_or(cards[card].nFan); }
    bool IsMissing(const std::string& name) const;
    bool IsAbsent(const std::string& fileName) const;
};

// Parses the scenario text; lines it cannot use are listed in `ignored`. Empty text: the default board.
Scenario ParseScenario(const std::string& text);

// Number in decimal or 0x hex with an optional leading '-'; the whole text must be the number.
std::optional<long long> ParseNumber(const std::string& text);

} // namespace sim
