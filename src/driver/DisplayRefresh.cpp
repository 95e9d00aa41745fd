// Display refresh: the current display mode set again, with the wallpaper saved around it.
#include "driver/DisplayRefresh.h"

#include <windows.h>
// The desktop object's interface needs the URL length limits first.
#include <wininet.h>
#include <shlobj.h>
#include <shlguid.h>

namespace {
// The mode change can drop the wallpaper; give the shell a moment before it is set again.
constexpr DWORD kBeforeWallpaperMs = 100;

void ReapplyDisplayMode() {
    DEVMODEW mode{};
    static_assert(sizeof(mode) == 220);
    mode.dmSize = sizeof(mode);
    mode.dmDriverExtra = 0;
    if (::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
        ::ChangeDisplaySettingsW(&mode, 0);
    }
}
} // namespace

void RefreshDisplayMode() {
    IActiveDesktop* desktop = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                  reinterpret_cast<void**>(&desktop))) ||
        desktop == nullptr) {
        ReapplyDisplayMode();
        return;
    }
    wchar_t wallpaper[MAX_PATH] = {};
    WALLPAPEROPT options{};
    options.dwSize = sizeof(options);
    desktop->GetWallpaper(wallpaper, MAX_PATH, 0);
    desktop->GetWallpaperOptions(&options, 0);

    ReapplyDisplayMode();
    ::Sleep(kBeforeWallpaperMs);

    desktop->SetWallpaper(wallpaper, 0);
    desktop->SetWallpaperOptions(&options, 0);
    desktop->ApplyChanges(AD_APPLY_ALL);
    desktop->Release();
}
