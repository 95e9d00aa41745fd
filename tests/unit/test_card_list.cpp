// Tests of the supported-card list: line and field rules, decimal values and the list file.
#include "cards/CardListFile.h"
#include "cards/CardListParse.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(std::string_view strBytes) {
    std::vector<std::string> lines;
    std::string_view strLine;
    while (NextLine(strBytes, strLine))
        lines.emplace_back(strLine);
    return lines;
}

CardList Parse(std::string_view strBytes) {
    return ParseCardListLines(strBytes, CountCardListLines(strBytes));
}

void ExpectRow(const CardList& list, std::size_t i, const std::vector<std::wstring>& fields) {
    ASSERT_LT(i, list.m_pRows.size());
    const DListIds& ids = list.m_pIds[i];
    const DListRow& row = list.m_pRows[i];
    const std::vector<std::wstring> actual = {
        ids.m_strVenId,         ids.m_strDevId,         ids.m_strSubSysId,
        ids.m_strSubVenId,      ids.m_strNote,          row.m_strRegDefault[0],
        row.m_strRegDefault[1], row.m_strRegDefault[2], row.m_strRegDefault[3]};
    EXPECT_EQ(actual, fields) << "row " << i;
    for (const std::wstring& str : row.m_strReserved)
        EXPECT_TRUE(str.empty());
}

const std::vector<std::wstring> kEmptyRow(9);

} // namespace

TEST(CardListLines, SplitsOnLfWithCrBelongingToTheBreak) {
    const struct {
        std::string strIn;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"\n", {""}},
        {"\n\n", {"", ""}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"a\rb\n", {"a\rb"}}, // a lone CR is text
        {"a\r\r\n", {"a\r"}}, // only the CR next to the LF is dropped
        {"a\r", {"a\r"}},     // no LF follows: the CR stays
        {"\r\n\r\n", {"", ""}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Lines(c.strIn), c.lines) << "input size " << c.strIn.size();
        EXPECT_EQ(CountCardListLines(c.strIn), c.lines.size());
    }
}

TEST(CardListToken, TakesTextBeforeSemicolonThenTrimsTheRest) {
    const struct {
        std::wstring strIn, strToken, strRest;
    } cases[] = {
        {L"10DE;1234;", L"10DE", L"1234;"},
        {L"10DE ;1234;", L"10DE ", L"1234;"},  // space before ';' stays in the field
        {L"10DE; \t1234;", L"10DE", L"1234;"}, // space after ';' is dropped
        {L"  10DE;x", L"  10DE", L"x"},        // leading space of the line stays
        {L";x", L"", L"x"},
        {L"40", L"", L"40"},      // no ';': empty field, text kept
        {L"  40 \r", L"", L"40"}, // ...but trimmed
        {L"a;  ", L"a", L""},
        {L"a;\v\f\n1;", L"a", L"1;"},
        {L"", L"", L""},
        {L"a\u00A0;\u00A0b", L"a\u00A0", L"\u00A0b"}, // byte 0xA0 is not white space
    };
    for (const auto& c : cases) {
        std::wstring strRest = c.strIn;
        EXPECT_EQ(NextToken(strRest), c.strToken) << c.strIn;
        EXPECT_EQ(strRest, c.strRest) << c.strIn;
    }
}

TEST(CardListDecimal, ConvertsLikeTheRegisterDefaults) {
    const struct {
        std::wstring strIn;
        int nValue;
    } cases[] = {
        {L"120", 120},
        {L"", 0},
        {L"abc", 0},
        {L"  \t42", 42},
        {L"\v\f\r\n9", 9},
        {L"+7", 7},
        {L"-5", -5},
        {L"12abc", 12},
        {L"1 2", 1},
        {L"- 5", 0},
        {L"+-5", 0},
        {L"0x1F", 0},
        {L"300", 300}, // callers keep the low 8 bits
        {L"2147483647", INT_MAX},
        {L"2147483648", INT_MAX},
        {L"-2147483648", INT_MIN},
        {L"-2147483649", INT_MIN},
        {L"99999999999999999999999999999999", INT_MAX},
        {L"-99999999999999999999999999999999", INT_MIN},
        {L"000000000000000000000000000000017", 17},
        {L"\u00A05", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDecimal(c.strIn), c.nValue) << c.strIn;
}

TEST(CardListParse, KeepsIdsAndRegisterDefaultsOfEachLine) {
    const struct {
        const char* szName;
        std::string strIn;
        std::vector<std::wstring> fields;
    } cases[] = {
        {"nine fields",
         "10DE;1234;5678;9ABC;x;10;20;30;40;",
         {L"10DE", L"1234", L"5678", L"9ABC", L"x", L"10", L"20", L"30", L"40"}},
        {"missing last semicolon",
         "10DE;1234;5678;9ABC;x;10;20;30;40",
         {L"10DE", L"1234", L"5678", L"9ABC", L"x", L"10", L"20", L"30", L""}},
        {"space before semicolon stays",
         "10DE ;1234;5678;9ABC;x;10;20;30;40;",
         {L"10DE ", L"1234", L"5678", L"9ABC", L"x", L"10", L"20", L"30", L"40"}},
        {"space after semicolon dropped",
         "10DE; 1234;\t5678;  9ABC; x y ; 10;20;30;40;",
         {L"10DE", L"1234", L"5678", L"9ABC", L"x y ", L"10", L"20", L"30", L"40"}},
        {"lower-case ids kept as text",
         "10de;abcd;5678;9abc;x;1;2;3;4;",
         {L"10de", L"abcd", L"5678", L"9abc", L"x", L"1", L"2", L"3", L"4"}},
        {"byte-order mark joins field 1",
         "\357\273\2771002;67DF;E366;1DA2;;1;2;3;4;",
         {L"\u00EF\u00BB\u00BF1002", L"67DF", L"E366", L"1DA2", L"", L"1", L"2", L"3", L"4"}},
        {"fields past the ninth ignored",
         "1;2;3;4;5;6;7;8;9;10;11;",
         {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"}},
        {"no semicolon at all", "1002 67DF", kEmptyRow},
        {"CR inside a field stays",
         "10DE\r;1;2;3;4;5;6;7;8;",
         {L"10DE\r", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        const CardList list = Parse(c.strIn);
        ASSERT_EQ(list.m_pRows.size(), 1u);
        ExpectRow(list, 0, c.fields);
        EXPECT_FALSE(list.m_bDataLost);
    }
}

TEST(CardListParse, BlankLineGivesAnEmptyRowAndCrLfReadsLikeLf) {
    const std::string strLf = "1002;67DF;E366;1DA2;A;120;120;80;60;\n\n10DE;1C03;3287;1462;B;1;2;3;4;\n";
    std::string strCrLf;
    for (char ch : strLf)
        strCrLf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    for (const std::string& strIn : {strLf, strCrLf}) {
        const CardList list = Parse(strIn);
        ASSERT_EQ(list.m_pRows.size(), 3u);
        ExpectRow(list, 0, {L"1002", L"67DF", L"E366", L"1DA2", L"A", L"120", L"120", L"80", L"60"});
        ExpectRow(list, 1, kEmptyRow);
        ExpectRow(list, 2, {L"10DE", L"1C03", L"3287", L"1462", L"B", L"1", L"2", L"3", L"4"});
    }
}

TEST(CardListParse, ReadsOnlyTheCountedLines) {
    const std::string strIn = "1;2;3;4;5;6;7;8;9;\nA;B;C;D;E;F;G;H;I;\n";
    const CardList fewer = ParseCardListLines(strIn, 1);
    ASSERT_EQ(fewer.m_pRows.size(), 1u);
    EXPECT_EQ(fewer.m_pIds[0].m_strVenId, L"1");

    // The text shrank since it was counted: the extra rows exist but stay empty.
    const CardList more = ParseCardListLines(strIn, 4);
    ASSERT_EQ(more.m_pRows.size(), 4u);
    EXPECT_EQ(more.m_pIds[1].m_strVenId, L"A");
    ExpectRow(more, 2, kEmptyRow);
    ExpectRow(more, 3, kEmptyRow);
}

// The list file itself, through real files in a scratch directory.
class CardListFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t szTemp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, szTemp);
        m_strDir = std::wstring(szTemp) + L"ventiq_cardlist_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_strDir.c_str(), nullptr);
        m_strPath = CardListPath(m_strDir);
    }
    void TearDown() override {
        SetFileAttributesW(m_strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(m_strPath.c_str());
        RemoveDirectoryW(m_strDir.c_str());
    }
    void Write(const std::string& strBytes) {
        HANDLE hFile = CreateFileW(m_strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
        DWORD nWritten = 0;
        WriteFile(hFile, strBytes.data(), static_cast<DWORD>(strBytes.size()), &nWritten, nullptr);
        CloseHandle(hFile);
        ASSERT_EQ(nWritten, strBytes.size());
    }

    std::wstring m_strDir;
    std::wstring m_strPath;
};

TEST_F(CardListFileTest, PathIsWorkDirAndNameWithNothingAddedOrRemoved) {
    EXPECT_EQ(CardListPath(L"C:\\Program Files\\Ventiq"), L"C:\\Program Files\\Ventiq\\DList.cfg");
    EXPECT_EQ(CardListPath(L"C:\\Ventiq\\"), L"C:\\Ventiq\\\\DList.cfg");
    EXPECT_EQ(CardListPath(L""), L"\\DList.cfg");
}

TEST_F(CardListFileTest, ReadsRowsOfAnExistingFile) {
    Write("1002;67DF;E366;1DA2;RX;120;120;80;60;\r\n\r\n10DE;1C03;3287;1462;GTX;1;2;3;4");
    const CardList list = ReadCardListFile(m_strPath);
    EXPECT_FALSE(list.m_bDataLost);
    ASSERT_EQ(list.m_pRows.size(), 3u);
    ExpectRow(list, 0, {L"1002", L"67DF", L"E366", L"1DA2", L"RX", L"120", L"120", L"80", L"60"});
    ExpectRow(list, 1, kEmptyRow);
    ExpectRow(list, 2, {L"10DE", L"1C03", L"3287", L"1462", L"GTX", L"1", L"2", L"3", L""});
}

TEST_F(CardListFileTest, EmptyFileHasNoLinesButIsNotLost) {
    Write("");
    const CardList list = ReadCardListFile(m_strPath);
    EXPECT_FALSE(list.m_bDataLost);
    EXPECT_TRUE(list.m_pRows.empty());
}

TEST_F(CardListFileTest, MissingFileIsLost) {
    const CardList list = ReadCardListFile(m_strPath);
    EXPECT_TRUE(list.m_bDataLost);
    EXPECT_TRUE(list.m_pRows.empty());
}

TEST_F(CardListFileTest, ReadOnlyFileCountsAsMissing) {
    Write("1002;67DF;E366;1DA2;RX;120;120;80;60;\n");
    ASSERT_TRUE(SetFileAttributesW(m_strPath.c_str(), FILE_ATTRIBUTE_READONLY));
    const CardList list = ReadCardListFile(m_strPath);
    EXPECT_TRUE(list.m_bDataLost);
    EXPECT_TRUE(list.m_pRows.empty());
}

TEST_F(CardListFileTest, FileHeldOpenByAnotherCountsAsMissing) {
    Write("1002;67DF;E366;1DA2;RX;120;120;80;60;\n");
    HANDLE hOther =
        CreateFileW(m_strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hOther, INVALID_HANDLE_VALUE);
    const CardList list = ReadCardListFile(m_strPath);
    CloseHandle(hOther);
    EXPECT_TRUE(list.m_bDataLost);
}

TEST_F(CardListFileTest, OversizedFileIsRefusedAsLost) {
    Write(std::string(kLargestCardListBytes, '\n'));
    EXPECT_EQ(ReadCardListFile(m_strPath).m_pRows.size(), kLargestCardListBytes);
    Write(std::string(kLargestCardListBytes + 1, '\n'));
    const CardList list = ReadCardListFile(m_strPath);
    EXPECT_TRUE(list.m_bDataLost);
    EXPECT_TRUE(list.m_pRows.empty());
}
