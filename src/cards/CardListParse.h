// Supported-card list text: line splitting, fields, the per-line record and decimal values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One line of the card list as the program keeps it after detection.
struct DListRow {
    std::wstring m_strReserved[4];   // first group: never filled or read
    std::wstring m_strRegDefault[4]; // fields 6..9: defaults of chip registers 0x85..0x88, as text
};

// Ids and note of one line; needed only while the adapters are matched.
struct DListIds {
    std::wstring m_strVenId;    // field 1
    std::wstring m_strDevId;    // field 2
    std::wstring m_strSubSysId; // field 3
    std::wstring m_strSubVenId; // field 4
    std::wstring m_strNote;     // field 5, read and ignored
};

// The list as read: one row and one id record per counted line.
struct CardList {
    std::vector<DListRow> m_pRows;
    std::vector<DListIds> m_pIds;
    bool m_bDataLost = false; // the file could not be opened
};

// Takes the next line off strRest. LF ends a line and is not part of it; one CR right before the LF
// belongs to the break, any other CR is text. Returns false when nothing is left. A final line without
// LF is returned when it is not empty.
bool NextLine(std::string_view& strRest, std::string_view& strLine);

// Number of lines NextLine yields: every LF ends one (blank lines count), plus a non-empty tail.
std::size_t CountCardListLines(std::string_view strBytes);

// Splits strBytes into nLines rows and id records. Lines beyond nLines are ignored; when the text has
// fewer lines, the remaining records stay empty.
CardList ParseCardListLines(std::string_view strBytes, std::size_t nLines);

// Returns the text before the first ';' of strRest and removes it with the ';' (no ';': returns ""
// and keeps strRest). Then trims white space from both ends of strRest; the result is not trimmed.
std::wstring NextToken(std::wstring& strRest);

// Each byte becomes the character of the same code.
std::wstring WidenBytes(std::string_view strBytes);

// Decimal value of str: leading white space, an optional sign, then digits up to the first other
// character; no digits give 0. A value beyond the int range saturates to INT_MIN or INT_MAX.
int ParseDecimal(std::wstring_view str);
