// Tests of card detection over tables of device ids, and of the system probe on this machine.
#include "cards/CardDetect.h"
#include "cards/SystemInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A device instance id as Windows reports it: PCI\VEN_vvvv&DEV_dddd&SUBSYS_ssssnnnn&REV_rr\...
std::wstring PnpId(const std::wstring& strVen, const std::wstring& strDev, const std::wstring& strSubSys) {
    return L"PCI\\VEN_" + strVen + L"&DEV_" + strDev + L"&SUBSYS_" + strSubSys + L"&REV_C1\\4&2A5B8C1&0&0019";
}

const std::wstring kAmd = PnpId(L"1002", L"67DF", L"E3661DA2");
const std::wstring kAmdOther = PnpId(L"1002", L"687F", L"0B361002");
const std::wstring kNvidia = PnpId(L"10DE", L"1C03", L"32871462");
const std::wstring kIntel = PnpId(L"8086", L"3E92", L"86941043");

const char kList[] = "1002;67DF;E366;1DA2;RX 580;120;120;80;60;\n" // 0
                     "10DE;1C03;3287;1462;GTX 1060;90;90;70;50;\n" // 1
                     "10de;1c03;3287;1462;lower case;1;1;1;1;\n"   // 2
                     "1002;;;;short id;2;2;2;2;\n";                // 3

CardList List(std::string_view strBytes = kList) {
    return ParseCardListLines(strBytes, CountCardListLines(strBytes));
}

} // namespace

TEST(CardDetect, FindsSupportedAdaptersAndTheirLine) {
    const struct {
        const char* szName;
        std::vector<std::wstring> ids;
        int nCount;
        std::wstring strVendor;
        std::vector<unsigned char> matched;
        int nRow;
        bool bFound;
    } cases[] = {
        {"one AMD board", {kAmd}, 1, L"AMD", {1}, 0, true},
        {"one NVIDIA board", {kNvidia}, 1, L"NVIDIA", {1}, 1, true},
        {"unlisted AMD after listed NVIDIA", {kNvidia, kAmdOther}, 2, L"AMD", {1, 0}, 1, true},
        {"listed AMD after listed NVIDIA", {kNvidia, kAmd}, 2, L"AMD", {1, 1}, 0, true},
        {"other vendors skipped", {kIntel, kAmd, kIntel}, 1, L"AMD", {1}, 0, true},
        {"two identical boards", {kAmd, kAmd}, 2, L"AMD", {1, 1}, 0, true},
        {"empty string stops", {kAmd, L"", kNvidia}, 1, L"AMD", {1}, 0, true},
        {"first string empty", {L"", kAmd}, 0, L"", {}, 0, false},
        {"only the first four count", {kIntel, kIntel, kIntel, kIntel, kAmd}, 0, L"", {}, 0, false},
        {"four kept", {kNvidia, kAmdOther, kAmdOther, kAmd, kAmd}, 4, L"AMD", {1, 0, 0, 1}, 0, true},
        {"unlisted board", {kAmdOther}, 1, L"AMD", {0}, 0, false},
        {"no adapters", {}, 0, L"", {}, 0, false},
        // Pieces come from fixed places; a short id gives short or empty pieces.
        {"vendor only", {L"PCI\\VEN_1002"}, 1, L"AMD", {1}, 3, true},
        {"vendor cut short", {L"PCI\\VEN_100"}, 0, L"", {}, 0, false},
        {"device cut short", {L"PCI\\VEN_1002&DEV_67"}, 1, L"AMD", {0}, 0, false},
        {"lower-case vendor in the id", {PnpId(L"10de", L"1C03", L"32871462")}, 0, L"", {}, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        const CardDetection det = DetectCards(c.ids, List());
        EXPECT_EQ(det.m_nCardCount, c.nCount);
        EXPECT_EQ(det.m_strVendor, c.strVendor);
        EXPECT_EQ(det.m_pCardMatched, c.matched);
        EXPECT_EQ(det.m_nMatchedRow, c.nRow);
        EXPECT_EQ(det.m_bFound, c.bFound);
        EXPECT_FALSE(det.m_bDataLost);
        EXPECT_EQ(det.m_pRows.size(), 4u);
    }
}

TEST(CardDetect, CutsIdsAtFixedPlaces) {
    const std::wstring ids[] = {kNvidia, L"PCI\\VEN_1002&DEV_67DF&SUBSYS_E366",
                                L"PCI\\VEN_1002&DEV_67DF&SUBSYS_E3661D"};
    const CardDetection det = DetectCards(ids, List());
    ASSERT_EQ(det.m_nCardCount, 3);
    const std::wstring expected[3][4] = {{L"10DE", L"1C03", L"3287", L"1462"},
                                         {L"1002", L"67DF", L"E366", L""},
                                         {L"1002", L"67DF", L"E366", L"1D"}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(det.m_strVenId[k], expected[k][0]);
        EXPECT_EQ(det.m_strDevId[k], expected[k][1]);
        EXPECT_EQ(det.m_strSubSysId[k], expected[k][2]);
        EXPECT_EQ(det.m_strSubVenId[k], expected[k][3]);
    }
    EXPECT_TRUE(det.m_strVenId[3].empty());
}

TEST(CardDetect, LastMatchingLineOfLastMatchingAdapterWins) {
    const std::string strList = "10DE;1C03;3287;1462;a;1;1;1;1;\n"
                                "1002;67DF;E366;1DA2;b;2;2;2;2;\n"
                                "10DE;1C03;3287;1462;c;3;3;3;3;\n"
                                "1002;687F;0B36;1002;d;4;4;4;4;\n";
    EXPECT_EQ(DetectCards(std::vector{kNvidia}, List(strList)).m_nMatchedRow, 2);
    EXPECT_EQ(DetectCards(std::vector{kNvidia, kAmd}, List(strList)).m_nMatchedRow, 1);
    EXPECT_EQ(DetectCards(std::vector{kAmd, kNvidia}, List(strList)).m_nMatchedRow, 2);
    const CardDetection det = DetectCards(std::vector{kAmd, kNvidia}, List(strList));
    EXPECT_EQ(det.m_pRows[det.m_nMatchedRow].m_strRegDefault[0], L"3");
}

TEST(CardDetect, ListWithoutLinesOrLostKeepsTheAdapters) {
    CardList lost;
    lost.m_bDataLost = true;
    for (const CardList& list : {List(""), lost}) {
        const CardDetection det = DetectCards(std::vector{kAmd, kNvidia}, list);
        EXPECT_FALSE(det.m_bFound);
        EXPECT_EQ(det.m_bDataLost, list.m_bDataLost);
        EXPECT_EQ(det.m_nCardCount, 2);
        EXPECT_EQ(det.m_strVendor, L"NVIDIA");
        EXPECT_EQ(det.m_pCardMatched, (std::vector<unsigned char>{0, 0}));
        EXPECT_TRUE(det.m_pRows.empty());
        EXPECT_EQ(det.m_nMatchedRow, 0);
    }
}

// \357\273\277 is the UTF-8 byte-order mark.
TEST(CardDetect, SpaceOrMarkInTheListNeverMatches) {
    for (const char* szList :
         {"1002 ;67DF;E366;1DA2;x;1;2;3;4;\n", "\357\273\2771002;67DF;E366;1DA2;x;1;2;3;4;\n",
          " 1002;67DF;E366;1DA2;x;1;2;3;4;\n"}) {
        EXPECT_FALSE(DetectCards(std::vector{kAmd}, List(szList)).m_bFound) << szList;
    }
    EXPECT_TRUE(DetectCards(std::vector{kAmd}, List("1002; 67DF;\tE366;  1DA2;x;1;2;3;4;\n")).m_bFound);
}

TEST(SystemInfo, ProbeAnswersConsistently) {
    CSystemInfo info;
    std::wstring strIds[4];
    info.GetVideoControllerIds(strIds);
    ASSERT_GE(info.GetResultCount(), 0);
    ASSERT_LE(info.GetResultCount(), 4);
    for (int i = info.GetResultCount(); i < 4; ++i)
        EXPECT_TRUE(strIds[i].empty());

    const std::wstring strBrand = info.GetCpuBrand();
    EXPECT_FALSE(strBrand.empty());
    EXPECT_LE(strBrand.size(), 48u);
    EXPECT_EQ(strBrand.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(info.GetCpuBrand(), strBrand);
}
