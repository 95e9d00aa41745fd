// Benchmark: one window outline cut from an 800 x 395 card picture, pixel by pixel and from the
// bitmap's bits read at once (the program's way), median of several runs, and their ratio.
#include "ui/GdiHandle.h"
#include "ui/WindowRegion.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

// Median time of one build, in milliseconds.
double MedianOf(int runs, const std::function<HRGN()>& build) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        ::QueryPerformanceCounter(&start);
        RegionHandle region(build());
        ::QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main() {
    const UINT kPicture = 135;
    const COLORREF kKey = RGB(255, 0, 0);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // As the program holds its background: a DIB section loaded from the resource.
    BitmapHandle section(static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(kPicture), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BitmapHandle device(::LoadBitmapW(instance, MAKEINTRESOURCEW(kPicture)));
    if (section == nullptr || device == nullptr) {
        std::printf("bitmap %u cannot be loaded\n", kPicture);
        return 1;
    }
    const SIZE size = BitmapSize(section.get());
    {
        RegionHandle exact(BuildRegionByPixels(section.get(), size, size, kKey));
        RegionHandle fast(BuildRegionFromBits(section.get(), size, size, kKey));
        if (!::EqualRgn(exact.get(), fast.get())) {
            std::printf("the two readings differ\n");
            return 1;
        }
    }
    const int kExactRuns = 9;
    const int kFastRuns = 51;
    const double exact =
        MedianOf(kExactRuns, [&] { return BuildRegionByPixels(section.get(), size, size, kKey); });
    const double fast =
        MedianOf(kFastRuns, [&] { return BuildRegionFromBits(section.get(), size, size, kKey); });
    const double fastDevice =
        MedianOf(kFastRuns, [&] { return BuildRegionFromBits(device.get(), size, size, kKey); });

    std::printf("window outline of bitmap %u, %ld x %ld pixels (median time of one build)\n", kPicture,
                size.cx, size.cy);
    std::printf("  pixel by pixel (GetPixel), DIB section:         %9.3f ms  (%d runs)\n", exact, kExactRuns);
    std::printf(
        "  bits at once (in place), DIB section:           %9.3f ms  (%d runs)  <- the program's way\n", fast,
        kFastRuns);
    std::printf("  bits at once (GetDIBits), device bitmap:        %9.3f ms  (%d runs)\n", fastDevice,
                kFastRuns);
    std::printf("  ratio pixel by pixel / bits at once:            %9.1f x\n", exact / fast);
    return 0;
}
