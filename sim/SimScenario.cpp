// The simulated board's scenario file: key = value lines, # comments, per-card and per-adapter keys.
#include "SimScenario.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace sim {
namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

std::optional<int> ParseMilli(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == nullptr || *end != '\0' || std::fabs(value) > 1000000.0) {
        return std::nullopt;
    }
    return static_cast<int>(std::llround(value * 1000.0));
}

// Splits "card.2.reg.0x85" after the prefix into the number and the rest ("reg.0x85").
bool SplitIndexed(const std::string& key, const std::string& prefix, int limit, int& index,
                  std::string& rest) {
    if (key.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    const size_t dot = key.find('.', prefix.size());
    if (dot == std::string::npos) {
        return false;
    }
    const auto number = ParseNumber(key.substr(prefix.size(), dot - prefix.size()));
    if (!number || *number < 0 || *number >= limit) {
        return false;
    }
    index = static_cast<int>(*number);
    rest = key.substr(dot + 1);
    return true;
}

struct AdapterKeys {
    std::optional<int> nIndex, nActive, nVendor, nCard;
};

class CParser {
public:
    Scenario m_scenario;
    std::optional<int> m_nAdapters;
    std::array<AdapterKeys, kMaxAdapters> m_adapterKeys;

    bool Apply(const std::string& key, const std::string& value) {
        const auto number = ParseNumber(value);
        if (key == "cards") {
            return Set(number, 1, kMaxCards, m_scenario.nCards);
        }
        if (key == "live") {
            int live = 0;
            const bool ok = Set(number, 0, 1, live);
            m_scenario.bLive = live != 0;
            return ok;
        }
        if (key == "adapters") {
            int count = 0;
            if (!Set(number, 0, kMaxAdapters, count)) {
                return false;
            }
            m_nAdapters = count;
            return true;
        }
        if (key == "crossfire.supported") {
            return Set(number, INT32_MIN, INT32_MAX, m_scenario.nCrossfireSupported);
        }
        if (key == "crossfire.state") {
            return Set(number, INT32_MIN, INT32_MAX, m_scenario.nCrossfireState);
        }
        if (key == "power.cycle") {
            return Set(number, INT32_MIN, INT32_MAX, m_scenario.nPowerCycle);
        }
        if (key == "power.newhandles") {
            int newHandles = 0;
            const bool set = Set(number, 0, 1, newHandles);
            m_scenario.bNewHandles = newHandles != 0;
            return set;
        }
        if (key == "displays") {
            return Set(number, 0, 1, m_scenario.nDisplays);
        }
        if (key == "fault.absent") {
            for (const std::string& word : Words(value)) {
                m_scenario.absent.push_back(Lower(word));
            }
            return true;
        }
        if (key == "fault.missing") {
            for (const std::string& word : Words(value)) {
                m_scenario.missing.push_back(word);
            }
            return true;
        }
        for (auto [prefix, table] :
             {std::pair{"fault.status.", &m_scenario.status}, std::pair{"fault.crash.", &m_scenario.crash}}) {
            const std::string start = prefix;
            if (key.compare(0, start.size(), start) == 0 && key.size() > start.size()) {
                int parsed = 0;
                if (!Set(number, INT32_MIN, INT32_MAX, parsed) || parsed == 0) {
                    return false;
                }
                (*table)[key.substr(start.size())] = parsed;
                return true;
            }
        }
        int index = 0;
        std::string rest;
        if (SplitIndexed(key, "card.", kMaxCards, index, rest)) {
            return ApplyCard(m_scenario.cards[static_cast<size_t>(index)], rest, value, number);
        }
        if (SplitIndexed(key, "adapter.", kMaxAdapters, index, rest)) {
            return ApplyAdapter(m_adapterKeys[static_cast<size_t>(index)], rest, number);
        }
        return false;
    }

    void Resolve() {
        const int count = m_nAdapters.value_or(m_scenario.nCards);
        for (int k = 0; k < count; ++k) {
            const AdapterKeys& keys = m_adapterKeys[static_cast<size_t>(k)];
            ScenarioAdapter adapter;
            adapter.nIndex = keys.nIndex.value_or(k);
            adapter.nActive = keys.nActive.value_or(1);
            adapter.nVendor = keys.nVendor.value_or(1002);
            adapter.nCard = keys.nCard.value_or(k < m_scenario.nCards ? k : 0);
            m_scenario.adapters.push_back(adapter);
        }
    }

private:
    static bool Set(const std::optional<long long>& number, long long low, long long high, int& target) {
        if (!number || *number < low || *number > high) {
            return false;
        }
        target = static_cast<int>(*number);
        return true;
    }

    static bool ApplyCard(ScenarioCard& card, const std::string& key, const std::string& value,
                          const std::optional<long long>& number) {
        if (key == "temperature") {
            const auto milli = ParseMilli(value);
            if (!milli) {
                return false;
            }
            card.nTemperatureMilli = *milli;
            return true;
        }
        if (key == "fan") {
            return Set(number, 0, 100, card.nFan);
        }
        if (key == "cooler.level") {
            int level = 0;
            if (!Set(number, INT32_MIN, INT32_MAX, level)) {
                return false;
            }
            card.nCoolerLevel = level;
            return true;
        }
        if (key == "cooler.policy") {
            return Set(number, INT32_MIN, INT32_MAX, card.nCoolerPolicy);
        }
        if (key == "load") {
            return Set(number, 0, 100, card.nLoad);
        }
        if (key == "chip") {
            int chip = 0;
            const bool ok = Set(number, 0, 1, chip);
            card.bChip = chip != 0;
            return ok;
        }
        if (key.compare(0, 4, "reg.") == 0) {
            const auto reg = ParseNumber(key.substr(4));
            int byte = 0;
            if (!reg || *reg < 0 || *reg > 255 || !Set(number, 0, 255, byte)) {
                return false;
            }
            card.regs[static_cast<size_t>(*reg)] = static_cast<std::uint8_t>(byte);
            return true;
        }
        return false;
    }

    static bool ApplyAdapter(AdapterKeys& adapter, const std::string& key,
                             const std::optional<long long>& number) {
        int parsed = 0;
        if (!Set(number, INT32_MIN, INT32_MAX, parsed)) {
            return false;
        }
        if (key == "index") {
            adapter.nIndex = parsed;
        } else if (key == "active") {
            adapter.nActive = parsed;
        } else if (key == "vendor") {
            adapter.nVendor = parsed;
        } else if (key == "card" && parsed >= 0 && parsed < kMaxCards) {
            adapter.nCard = parsed;
        } else {
            return false;
        }
        return true;
    }
};

} // namespace

std::optional<long long> ParseNumber(const std::string& text) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && text[pos] == '-') {
        negative = true;
        ++pos;
    }
    int base = 10;
    if (text.size() > pos + 2 && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size() || text.size() - pos > 12) {
        return std::nullopt;
    }
    long long value = 0;
    for (; pos < text.size(); ++pos) {
        const int c = std::tolower(static_cast<unsigned char>(text[pos]));
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return negative ? -value : value;
}

bool Scenario::IsMissing(const std::string& name) const {
    return std::find(missing.begin(), missing.end(), name) != missing.end();
}

bool Scenario::IsAbsent(const std::string& fileName) const {
    return std::find(absent.begin(), absent.end(), Lower(fileName)) != absent.end();
}

Scenario ParseScenario(const std::string& text) {
    CParser parser;
    for (ScenarioCard& card : parser.m_scenario.cards) {
        card.regs[0x02] = 50;
        card.regs[0x60] = 102;
        card.regs[0x85] = 120;
        card.regs[0x86] = 100;
        card.regs[0x87] = 80;
        card.regs[0x88] = 60;
    }
    std::istringstream stream(text);
    int lineNumber = 0;
    for (std::string line; std::getline(stream, line);) {
        ++lineNumber;
        const std::string content = Trim(line.substr(0, line.find('#')));
        if (content.empty()) {
            continue;
        }
        const size_t equals = content.find('=');
        const bool used = equals != std::string::npos &&
                          parser.Apply(Trim(content.substr(0, equals)), Trim(content.substr(equals + 1)));
        if (!used) {
            parser.m_scenario.ignored.push_back("line=" + std::to_string(lineNumber) + " text=" + content);
        }
    }
    parser.Resolve();
    return parser.m_scenario;
}

} // namespace sim
