// The simulated board's journal: one line per call, appended and flushed at once.
#pragma once
#include <cstdint>
#include <string>

namespace sim {

// Appends text plus LF to the file named by VENTIQ_SIM_JOURNAL; nothing when the variable is unset.
void AppendJournalLine(const std::string& text);

// One journal line under construction: the call name, then key=value arguments in call order.
class CJournalLine {
public:
    explicit CJournalLine(const char* name) : m_strText(name) {}
    CJournalLine& Arg(const char* key, long long value);
    CJournalLine& Arg(const char* key, const std::string& value);
    // Upper-case hex with at least `digits` digits: Hex("address", 0x5C, 2) gives address=0x5C.
    CJournalLine& Hex(const char* key, std::uint32_t value, int digits);
    const std::string& Text() const { return m_strText; }

private:
    std::string m_strText;
};

// UTF-8 form of a wide string, for paths in the journal.
std::string Utf8(const std::wstring& text);

} // namespace sim
