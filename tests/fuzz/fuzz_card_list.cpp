// Fuzz target: the supported-card list parser over arbitrary bytes.
#include "cards/CardListParse.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Reference for ParseDecimal: the C library's conversion of the same bytes, clamped to int.
int ReferenceDecimal(const std::wstring& str) {
    std::string strNarrow;
    for (wchar_t ch : str)
        strNarrow.push_back(static_cast<char>(ch));
    const long long nValue = std::strtoll(strNarrow.c_str(), nullptr, 10);
    return nValue > INT_MAX ? INT_MAX : nValue < INT_MIN ? INT_MIN : static_cast<int>(nValue);
}

void Check(bool bOk) {
    if (!bOk)
        std::abort();
}

void CheckField(const std::wstring& str) {
    Check(str.find(L';') == std::wstring::npos);
    for (wchar_t ch : str)
        Check(ch >= 0 && ch <= 0xFF); // every character is one byte widened
    Check(ParseDecimal(str) == ReferenceDecimal(str));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    const std::string_view strBytes(reinterpret_cast<const char*>(pData), nSize);
    const std::size_t nLines = CountCardListLines(strBytes);
    Check(nLines <= nSize);

    const CardList list = ParseCardListLines(strBytes, nLines);
    Check(list.m_pRows.size() == nLines && list.m_pIds.size() == nLines && !list.m_bDataLost);
    for (std::size_t i = 0; i < nLines; ++i) {
        const DListIds& ids = list.m_pIds[i];
        for (const std::wstring* pField :
             {&ids.m_strVenId, &ids.m_strDevId, &ids.m_strSubSysId, &ids.m_strSubVenId, &ids.m_strNote})
            CheckField(*pField);
        for (const std::wstring& str : list.m_pRows[i].m_strRegDefault)
            CheckField(str);
        for (const std::wstring& str : list.m_pRows[i].m_strReserved)
            Check(str.empty());
    }

    // A shorter count reads the same first lines; a longer one pads with empty records.
    const CardList longer = ParseCardListLines(strBytes, nLines + 1);
    Check(longer.m_pRows.size() == nLines + 1 && longer.m_pIds.back().m_strVenId.empty() &&
          longer.m_pRows.back().m_strRegDefault[0].empty());
    if (nLines > 0) {
        const CardList shorter = ParseCardListLines(strBytes, nLines - 1);
        for (std::size_t i = 0; i + 1 < nLines; ++i)
            Check(shorter.m_pIds[i].m_strVenId == list.m_pIds[i].m_strVenId &&
                  shorter.m_pRows[i].m_strRegDefault[3] == list.m_pRows[i].m_strRegDefault[3]);
    }
    return 0;
}
