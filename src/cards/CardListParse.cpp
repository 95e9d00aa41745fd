// Supported-card list text: line splitting, fields, the per-line record and decimal values.
#include "cards/CardListParse.h"

#include <climits>

namespace {

// The C locale's white space; fixed here so that bytes 0x85 and 0xA0 never count as space.
bool IsListSpace(wchar_t ch) {
    return ch == L' ' || ch == L'\t' || ch == L'\n' || ch == L'\v' || ch == L'\f' || ch == L'\r';
}

void TrimListSpace(std::wstring& str) {
    std::size_t nEnd = str.size();
    while (nEnd > 0 && IsListSpace(str[nEnd - 1]))
        --nEnd;
    std::size_t nBegin = 0;
    while (nBegin < nEnd && IsListSpace(str[nBegin]))
        ++nBegin;
    str = str.substr(nBegin, nEnd - nBegin);
}

} // namespace

bool NextLine(std::string_view& strRest, std::string_view& strLine) {
    if (strRest.empty())
        return false;
    const std::size_t nLf = strRest.find('\n');
    if (nLf == std::string_view::npos) {
        strLine = strRest;
        strRest = {};
        return true;
    }
    strLine = strRest.substr(0, nLf);
    if (!strLine.empty() && strLine.back() == '\r')
        strLine.remove_suffix(1);
    strRest.remove_prefix(nLf + 1);
    return true;
}

std::size_t CountCardListLines(std::string_view strBytes) {
    std::size_t nLines = 0;
    std::string_view strLine;
    while (NextLine(strBytes, strLine))
        ++nLines;
    return nLines;
}

CardList ParseCardListLines(std::string_view strBytes, std::size_t nLines) {
    CardList list;
    list.m_pRows.resize(nLines);
    list.m_pIds.resize(nLines);
    std::string_view strLine;
    for (std::size_t i = 0; i < nLines && NextLine(strBytes, strLine); ++i) {
        std::wstring strRest = WidenBytes(strLine);
        DListIds& ids = list.m_pIds[i];
        ids.m_strVenId = NextToken(strRest);
        ids.m_strDevId = NextToken(strRest);
        ids.m_strSubSysId = NextToken(strRest);
        ids.m_strSubVenId = NextToken(strRest);
        ids.m_strNote = NextToken(strRest);
        for (std::wstring& strDefault : list.m_pRows[i].m_strRegDefault)
            strDefault = NextToken(strRest);
    }
    return list;
}

std::wstring NextToken(std::wstring& strRest) {
    std::wstring strToken;
    const std::size_t nSemi = strRest.find(L';');
    if (nSemi != std::wstring::npos) {
        strToken = strRest.substr(0, nSemi);
        strRest.erase(0, nSemi + 1);
    }
    TrimListSpace(strRest);
    return strToken;
}

std::wstring WidenBytes(std::string_view strBytes) {
    std::wstring str;
    str.reserve(strBytes.size());
    for (char ch : strBytes)
        str.push_back(static_cast<wchar_t>(static_cast<unsigned char>(ch)));
    return str;
}

int ParseDecimal(std::wstring_view str) {
    std::size_t i = 0;
    while (i < str.size() && IsListSpace(str[i]))
        ++i;
    bool bNegative = false;
    if (i < str.size() && (str[i] == L'+' || str[i] == L'-')) {
        bNegative = str[i] == L'-';
        ++i;
    }
    // Accumulate the magnitude in a wider type and stop growing it once it is past every int, so
    // a line of digits of any length cannot overflow.
    const long long nLimit = bNegative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long nMagnitude = 0;
    for (; i < str.size() && str[i] >= L'0' && str[i] <= L'9'; ++i) {
        if (nMagnitude <= nLimit)
            nMagnitude = nMagnitude * 10 + (str[i] - L'0');
    }
    if (nMagnitude > nLimit)
        nMagnitude = nLimit;
    return static_cast<int>(bNegative ? -nMagnitude : nMagnitude);
}
