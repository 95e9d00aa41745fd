// Card detection: picks the AMD and NVIDIA adapters out of the PnP device ids and matches them
// against the supported-card list.
#include "cards/CardDetect.h"

#include <utility>

namespace {

constexpr int kMaxCards = 4;

// Four characters from nPos; a string too short gives what there is.
std::wstring IdAt(const std::wstring& str, std::size_t nPos) {
    return nPos < str.size() ? str.substr(nPos, 4) : std::wstring();
}

bool LineMatches(const DListIds& ids, const CardDetection& det, int k) {
    return ids.m_strVenId == det.m_strVenId[k] && ids.m_strDevId == det.m_strDevId[k] &&
           ids.m_strSubSysId == det.m_strSubSysId[k] && ids.m_strSubVenId == det.m_strSubVenId[k];
}

} // namespace

CardDetection DetectCards(std::span<const std::wstring> strPnpIds, CardList list) {
    CardDetection det;
    for (std::size_t i = 0; i < strPnpIds.size() && i < kMaxCards && !strPnpIds[i].empty(); ++i) {
        const std::wstring& strId = strPnpIds[i];
        const std::wstring strVen = IdAt(strId, 8);
        std::wstring strVendor;
        if (strVen == L"1002")
            strVendor = L"AMD";
        else if (strVen == L"10DE")
            strVendor = L"NVIDIA";
        else
            continue;
        const int k = det.m_nCardCount++;
        det.m_strVenId[k] = strVen;
        det.m_strDevId[k] = IdAt(strId, 17);
        det.m_strSubSysId[k] = IdAt(strId, 29);
        det.m_strSubVenId[k] = IdAt(strId, 33);
        det.m_strVendor = strVendor;
    }
    det.m_pCardMatched.assign(det.m_nCardCount, 0);
    det.m_bDataLost = list.m_bDataLost;
    if (list.m_pRows.empty())
        return det;

    // Every adapter is tried against every line; the last match decides the row.
    for (int k = 0; k < det.m_nCardCount; ++k) {
        for (std::size_t i = 0; i < list.m_pIds.size(); ++i) {
            if (LineMatches(list.m_pIds[i], det, k)) {
                det.m_pCardMatched[k] = 1;
                det.m_nMatchedRow = static_cast<int>(i);
                det.m_bFound = true;
            }
        }
    }
    det.m_pRows = std::move(list.m_pRows);
    return det;
}
