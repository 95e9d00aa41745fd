// Card detection: picks the AMD and NVIDIA adapters out of the PnP device ids and matches them
// against the supported-card list.
#pragma once

#include "cards/CardListParse.h"

#include <span>
#include <string>
#include <vector>

// Detection results; the main window copies each field into its member of the same name.
struct CardDetection {
    int m_nCardCount = 0; // detected AMD or NVIDIA adapters, 0..4
    std::wstring m_strVenId[4];
    std::wstring m_strDevId[4];
    std::wstring m_strSubSysId[4];
    std::wstring m_strSubVenId[4];
    std::wstring m_strVendor;                  // "AMD", "NVIDIA" or "": vendor of the last one seen
    std::vector<unsigned char> m_pCardMatched; // one byte per detected adapter, 1 when it matched
    std::vector<DListRow> m_pRows;             // empty when the list has no lines
    int m_nMatchedRow = 0;                     // last matching line of the last matching adapter
    bool m_bDataLost = false;                  // the list file could not be opened
    bool m_bFound = false;                     // at least one adapter matched a line
};

// strPnpIds holds the PNPDeviceID of each display adapter in enumeration order; the first empty
// string ends it and only the first four count. The ids are cut at fixed places (vendor at 8, device
// at 17, subsystem at 29 and 33) without looking at the text around them.
CardDetection DetectCards(std::span<const std::wstring> strPnpIds, CardList list);
