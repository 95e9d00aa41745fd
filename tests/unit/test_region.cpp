// Tests of the window outline: row runs, and the pixel-by-pixel and bits readings of a picture.
#include "ui/GdiHandle.h"
#include "ui/WindowRegion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kKey = RGB(255, 0, 0);
// Pictures are written one character per pixel: K the key colour, k a red one step off it,
// anything else a card colour.
COLORREF PixelColour(char c) {
    return c == 'K' ? kKey : c == 'k' ? RGB(254, 0, 0) : RGB(20, 40, 60);
}

std::vector<BYTE> RowBytes(const std::string& row, int bytesPerPixel) {
    std::vector<BYTE> bytes;
    for (char c : row) {
        const COLORREF colour = PixelColour(c);
        bytes.push_back(GetBValue(colour));
        bytes.push_back(GetGValue(colour));
        bytes.push_back(GetRValue(colour));
        if (bytesPerPixel == 4) {
            bytes.push_back(0xA5); // the fourth byte is never part of the colour
        }
    }
    return bytes;
}

using Span = std::pair<int, int>;
using Spans = std::vector<Span>;

Span SpanOf(const RECT& rc) {
    return {static_cast<int>(rc.left), static_cast<int>(rc.right)};
}

TEST(RowRuns, EachRunOfNonKeyPixelsBecomesOneRectangle) {
    const struct {
        const char* row;
        Spans expected;
    } cases[] = {
        {"", {}},
        {"KKKK", {}},                  // only key pixels: nothing
        {"....", {{0, 4}}},            // no key pixel: one run over the whole row
        {"...K", {{0, 3}}},            // a key pixel at the end closes the run, nothing after
        {"K...", {{1, 4}}},            // the run starts after a leading key pixel
        {"K.K", {{1, 2}}},             // a single pixel between key pixels: 1 x 1
        {"..KK..", {{0, 2}, {4, 6}}},  // key pixels side by side separate two runs
        {"K..K..K", {{1, 3}, {4, 6}}}, //
        {".k.", {{0, 3}}},             // a colour near the key is not the key
        {"K", {}},                     //
        {".", {{0, 1}}},               //
        {".K.K.K.", {{0, 1}, {2, 3}, {4, 5}, {6, 7}}},
    };
    for (const int bytesPerPixel : {3, 4}) {
        for (const auto& c : cases) {
            const std::vector<BYTE> bytes = RowBytes(c.row, bytesPerPixel);
            std::vector<RECT> runs;
            AppendRowRuns(bytes.data(), static_cast<int>(std::string(c.row).size()), bytesPerPixel, kKey, 7,
                          runs);
            Spans spans;
            for (const RECT& run : runs) {
                EXPECT_EQ(run.top, 7) << c.row;
                EXPECT_EQ(run.bottom, 8) << c.row;
                spans.push_back(SpanOf(run));
            }
            EXPECT_EQ(spans, c.expected)
                << "row \"" << c.row << "\", " << bytesPerPixel << " bytes per pixel";
        }
    }
}

TEST(RowRuns, OnlyTheFirstWidthPixelsAreScannedAndRunsAreAppended) {
    const std::vector<BYTE> bytes = RowBytes("..K...", 3);
    std::vector<RECT> runs{RECT{9, 9, 10, 10}};
    AppendRowRuns(bytes.data(), 4, 3, kKey, 0, runs);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].left, 9);
    EXPECT_EQ(SpanOf(runs[1]), Span(0, 2));
    EXPECT_EQ(SpanOf(runs[2]), Span(3, 4));
}

TEST(RowRuns, AKeyOutsideTheColourRangeMatchesNoPixel) {
    const std::vector<BYTE> bytes = RowBytes("K.K", 3);
    std::vector<RECT> runs;
    AppendRowRuns(bytes.data(), 3, 3, kKey | 0x01000000, 0, runs);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(SpanOf(runs[0]), Span(0, 3));
}

// ---- pictures ----

enum class Kind { Dib24, Dib32, DibTopDown24, DeviceBitmap };

// A picture of the given kind from rows of pixel characters.
BitmapHandle MakePicture(const std::vector<std::string>& rows, Kind kind) {
    const int width = static_cast<int>(rows.front().size());
    const int height = static_cast<int>(rows.size());
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = nullptr;
    if (kind == Kind::DeviceBitmap) {
        bitmap = ::CreateCompatibleBitmap(screen, width, height);
    } else {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = kind == Kind::DibTopDown24 ? -height : height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = kind == Kind::Dib32 ? 32 : 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    ::ReleaseDC(nullptr, screen);
    {
        CBitmapDC dc(nullptr, bitmap);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                ::SetPixelV(dc, x, y, PixelColour(rows[static_cast<size_t>(y)][static_cast<size_t>(x)]));
            }
        }
    }
    return BitmapHandle(bitmap);
}

RegionHandle RegionOf(const std::vector<RECT>& rects) {
    RegionHandle region(::CreateRectRgn(0, 0, 0, 0));
    for (const RECT& rc : rects) {
        RegionHandle part(::CreateRectRgnIndirect(&rc));
        ::CombineRgn(region.get(), region.get(), part.get(), RGN_OR);
    }
    return region;
}

std::string Describe(HRGN region) {
    std::vector<BYTE> buffer(::GetRegionData(region, 0, nullptr));
    if (buffer.empty()) {
        return "?";
    }
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    ::GetRegionData(region, static_cast<DWORD>(buffer.size()), data);
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    std::ostringstream text;
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        text << "(" << rects[i].left << "," << rects[i].top << ")-(" << rects[i].right << ","
             << rects[i].bottom << ") ";
    }
    return data->rdh.nCount == 0 ? "empty" : text.str();
}

TEST(PictureRegion, BothReadingsCutTheScannedAreaAsExpected) {
    const struct {
        const char* name;
        std::vector<std::string> picture;
        SIZE window;
        SIZE client;
        std::vector<RECT> expected;
    } cases[] = {
        {"rows of every sort",
         {"KKKK", "....", "K.K.", "...K"},
         {4, 4},
         {4, 4},
         {{0, 1, 4, 2}, {1, 2, 2, 3}, {3, 2, 4, 3}, {0, 3, 3, 4}}},
        {"rows alike at both ends",
         {"....", "K...", "....", "...."},
         {4, 4},
         {4, 4},
         {{0, 0, 4, 1}, {1, 1, 4, 2}, {0, 2, 4, 4}}},
        {"a card on key colour", {"KKKKK", "K...K", "K...K", "KKKKK"}, {5, 4}, {5, 4}, {{1, 1, 4, 3}}},
        {"picture wider than the client area",
         {"......", "..K..."},
         {4, 2},
         {4, 2},
         {{0, 0, 4, 1}, {0, 1, 2, 2}, {3, 1, 4, 2}}},
        {"picture taller than the client area", {"...", "...", "..."}, {3, 2}, {3, 2}, {{0, 0, 3, 2}}},
        {"client area larger than the picture", {"..", ".."}, {5, 5}, {5, 5}, {{0, 0, 2, 2}}},
        {"a frame outside the client area stays",
         {"KKKK", "KKKK", "KKKK"},
         {6, 5},
         {4, 3},
         {{4, 0, 6, 5}, {0, 3, 4, 5}}},
        {"no client area", {"...."}, {4, 1}, {0, 0}, {{0, 0, 4, 1}}},
    };
    for (const auto& c : cases) {
        const RegionHandle expected = RegionOf(c.expected);
        for (const Kind kind : {Kind::Dib24, Kind::Dib32, Kind::DibTopDown24, Kind::DeviceBitmap}) {
            const BitmapHandle picture = MakePicture(c.picture, kind);
            const RegionHandle exact(BuildRegionByPixels(picture.get(), c.window, c.client, kKey));
            const RegionHandle fast(BuildRegionFromBits(picture.get(), c.window, c.client, kKey));
            EXPECT_TRUE(::EqualRgn(exact.get(), expected.get()))
                << c.name << ", kind " << static_cast<int>(kind) << ": pixel reading gave "
                << Describe(exact.get());
            EXPECT_TRUE(::EqualRgn(fast.get(), expected.get()))
                << c.name << ", kind " << static_cast<int>(kind) << ": bits reading gave "
                << Describe(fast.get());
        }
    }
}

TEST(PictureRegion, NoPictureLeavesOnlyThePartOutsideTheClientArea) {
    const RegionHandle fast(BuildRegionFromBits(nullptr, {6, 5}, {4, 3}, kKey));
    const RegionHandle exact(BuildRegionByPixels(nullptr, {6, 5}, {4, 3}, kKey));
    const RegionHandle expected = RegionOf({{4, 0, 6, 5}, {0, 3, 4, 5}});
    EXPECT_TRUE(::EqualRgn(fast.get(), expected.get())) << Describe(fast.get());
    EXPECT_TRUE(::EqualRgn(exact.get(), expected.get())) << Describe(exact.get());
}

TEST(PictureRegion, ManyRunsMakeTheSameRegionBothWays) {
    // A checkerboard with stripes: the most runs a picture can have.
    std::vector<std::string> rows;
    for (int y = 0; y < 60; ++y) {
        std::string row;
        for (int x = 0; x < 97; ++x) {
            row += ((x + y) % 2 == 0 || y % 7 == 0) ? '.' : 'K';
        }
        rows.push_back(row);
    }
    const BitmapHandle picture = MakePicture(rows, Kind::Dib24);
    const RegionHandle exact(BuildRegionByPixels(picture.get(), {97, 60}, {97, 60}, kKey));
    const RegionHandle fast(BuildRegionFromBits(picture.get(), {97, 60}, {97, 60}, kKey));
    EXPECT_TRUE(::EqualRgn(exact.get(), fast.get()));
}

// ---- the shipped card pictures ----

// Rows of the region covered by exactly one rectangle, counted from its rectangles.
std::vector<int> RectanglesPerRow(HRGN region, int height) {
    std::vector<BYTE> buffer(::GetRegionData(region, 0, nullptr));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    ::GetRegionData(region, static_cast<DWORD>(buffer.size()), data);
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    std::vector<int> counts(static_cast<size_t>(height), 0);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        for (int y = std::max(0L, rects[i].top); y < std::min<LONG>(height, rects[i].bottom); ++y) {
            ++counts[static_cast<size_t>(y)];
        }
    }
    return counts;
}

class ShippedPicture : public ::testing::TestWithParam<UINT> {};

TEST_P(ShippedPicture, FastReadingEqualsPixelReading) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    BitmapHandle section(static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(GetParam()), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BitmapHandle device(::LoadBitmapW(instance, MAKEINTRESOURCEW(GetParam())));
    ASSERT_NE(section, nullptr);
    ASSERT_NE(device, nullptr);
    const SIZE size = BitmapSize(section.get());
    EXPECT_EQ(size.cx, 800);
    EXPECT_EQ(size.cy, 395);

    const RegionHandle exact(BuildRegionByPixels(section.get(), size, size, kKey));
    const RegionHandle fast(BuildRegionFromBits(section.get(), size, size, kKey));
    const RegionHandle fastDevice(BuildRegionFromBits(device.get(), size, size, kKey));
    EXPECT_TRUE(::EqualRgn(exact.get(), fast.get()));
    EXPECT_TRUE(::EqualRgn(exact.get(), fastDevice.get()));
}

TEST_P(ShippedPicture, EveryRowIsOneRun) {
    BitmapHandle section(static_cast<HBITMAP>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(GetParam()), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_NE(section, nullptr);
    const SIZE size = BitmapSize(section.get());
    const RegionHandle region(BuildRegionFromBits(section.get(), size, size, kKey));
    const std::vector<int> counts = RectanglesPerRow(region.get(), size.cy);
    for (int y = 0; y < size.cy; ++y) {
        EXPECT_EQ(counts[static_cast<size_t>(y)], 1) << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Cards, ShippedPicture, ::testing::Values(135u, 136u, 137u, 169u, 170u, 171u));

} // namespace
