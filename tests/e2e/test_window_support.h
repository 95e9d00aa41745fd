// Helpers of the main-window suites: Ventiq running on the simulated board, synthetic input, registry
// values set for one test, and pictures of the screen.
#pragma once
#include "Harness.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace e2e::window {

constexpr char kAmdBoard[] = "1002;6719;0000;0000;Valdro simulated AMD board;120;100;80;60;\n";
constexpr char kNvidiaBoard[] = "10DE;1C82;0000;0000;Valdro simulated NVIDIA board;120;100;80;60;\n";

enum class Vendor { Amd, Nvidia };

inline const char* VendorName(Vendor vendor) {
    return vendor == Vendor::Amd ? "amd" : "nvidia";
}

inline void PrintTo(Vendor vendor, std::ostream* os) {
    *os << VendorName(vendor);
}

// Polls until the condition holds; false after the timeout.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        Pump(20);
    }
    return true;
}

// Whether the main window, shown or not, is dressed and shows its first readings. Set-up empties the
// fan area's caption after the speed label's, so a speed text seen after that comes from a reading.
inline bool WaitFirstReadings(HWND window) {
    return window != nullptr && WaitUntil(
                                    [window] {
                                        return WindowText(Control(window, 1021)).empty() &&
                                               !WindowText(Control(window, 1003)).empty();
                                    },
                                    15000);
}

// Ventiq on a one-card board of the vendor, with its window up and its first readings shown (so
// start-up has finished and both timers run).
class Board {
public:
    explicit Board(Vendor vendor, const std::string& scenario = "") {
        if (vendor == Vendor::Amd) {
            SetDisplayAdapter(0x1002, 0x6719);
            m_install.WriteCardList(kAmdBoard);
        } else {
            SetDisplayAdapter(0x10DE, 0x1C82);
            m_install.WriteCardList(kNvidiaBoard);
        }
        m_install.WriteScenario(scenario);
        m_pApp = std::make_unique<AppRun>(m_install);
        m_hWindow = m_pApp->WaitMainWindow();
    }
    ~Board() {
        m_pApp.reset();
        SetDisplayAdapter(0x1002, 0x6719);
    }
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    bool WaitReady() const { return WaitFirstReadings(m_hWindow); }
    HWND Window() const { return m_hWindow; }
    HWND Item(int id) const { return Control(m_hWindow, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    AppRun& App() { return *m_pApp; }
    const Installation& Install() const { return m_install; }

private:
    Installation m_install;
    std::unique_ptr<AppRun> m_pApp;
    HWND m_hWindow = nullptr;
};

// A left click on a control, as the system posts it.
inline void Click(HWND control) {
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

inline void TypeText(HWND control, const std::wstring& text) {
    for (wchar_t c : text) {
        ::PostMessageW(control, WM_CHAR, c, 1);
    }
}

inline void PressKey(HWND target, WPARAM key) {
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// A button's command, as the button sends it to the window.
inline void Command(HWND window, int id) {
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

// Moves the mouse to a screen point as the hardware would, so the window under it sees the move.
inline void MoveMouse(int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
}

// A left click where a user makes it: the mouse goes to the middle of the control on the screen and
// the button goes down and up there, so the window the system finds under that point receives it.
inline void ClickOnScreen(HWND control) {
    RECT rc{};
    ::GetWindowRect(control, &rc);
    const POINT target{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    MoveMouse(target.x, target.y);
    // The buttons act where the system has the cursor, so they wait until it is there.
    WaitUntil(
        [&] {
            POINT at{};
            ::GetCursorPos(&at);
            return std::abs(at.x - target.x) <= 1 && std::abs(at.y - target.y) <= 1;
        },
        1000);
    INPUT buttons[2]{};
    buttons[0].type = INPUT_MOUSE;
    buttons[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    buttons[1].type = INPUT_MOUSE;
    buttons[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, buttons, sizeof(INPUT));
}

// A DWORD value under HKEY_CURRENT_USER set (or removed) for one test and put back afterwards.
class ScopedUserDword {
public:
    ScopedUserDword(const wchar_t* key, const wchar_t* name, const DWORD* value)
        : m_strKey(key), m_strName(name) {
        DWORD size = sizeof(m_nSaved);
        m_bHadValue = ::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &m_nSaved,
                                     &size) == ERROR_SUCCESS;
        Set(value);
    }
    ~ScopedUserDword() { Set(m_bHadValue ? &m_nSaved : nullptr); }
    ScopedUserDword(const ScopedUserDword&) = delete;
    ScopedUserDword& operator=(const ScopedUserDword&) = delete;

private:
    void Set(const DWORD* value) const {
        if (value == nullptr) {
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, m_strKey.c_str(), m_strName.c_str());
            return;
        }
        ::RegSetKeyValueW(HKEY_CURRENT_USER, m_strKey.c_str(), m_strName.c_str(), REG_DWORD, value,
                          sizeof(*value));
    }

    std::wstring m_strKey;
    std::wstring m_strName;
    DWORD m_nSaved = 0;
    bool m_bHadValue = false;
};

// Pixels of a piece of the screen, 0x00RRGGBB, rows top to bottom.
struct Picture {
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<std::uint32_t> m_pixels;

    std::uint32_t At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_nWidth + x]; }
    static int Red(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
    static int Green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
    static int Blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }
};

inline Picture CaptureScreen(const RECT& rc) {
    Picture picture;
    picture.m_nWidth = rc.right - rc.left;
    picture.m_nHeight = rc.bottom - rc.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.m_nWidth;
    info.bmiHeader.biHeight = -picture.m_nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, picture.m_nWidth, picture.m_nHeight, screen, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    picture.m_pixels.assign(pixels, pixels + static_cast<size_t>(picture.m_nWidth) * picture.m_nHeight);
    for (std::uint32_t& p : picture.m_pixels) {
        p &= 0x00FFFFFF;
    }
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return picture;
}

// The window's (or control's) whole rectangle as the screen shows it.
inline Picture CaptureWindow(HWND window) {
    RECT rc{};
    ::GetWindowRect(window, &rc);
    return CaptureScreen(rc);
}

// The part of a picture of the window that shows one of its controls.
inline Picture ControlPart(const Picture& window, HWND windowHandle, HWND control) {
    RECT rcWindow{};
    RECT rc{};
    ::GetWindowRect(windowHandle, &rcWindow);
    ::GetWindowRect(control, &rc);
    Picture part;
    part.m_nWidth = rc.right - rc.left;
    part.m_nHeight = rc.bottom - rc.top;
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x) {
            part.m_pixels.push_back(window.At(x - rcWindow.left, y - rcWindow.top));
        }
    }
    return part;
}

// The window once its repaints are over: a picture taken while a reading or a highlight repaints
// its controls may show some of them old and some new. Two equal pictures in a row are a settled one.
inline Picture CaptureSettled(HWND window) {
    Picture previous = CaptureWindow(window);
    for (int attempt = 0; attempt < 40; ++attempt) {
        Pump(70);
        Picture next = CaptureWindow(window);
        if (next.m_pixels == previous.m_pixels) {
            return next;
        }
        previous = std::move(next);
    }
    return previous;
}

// Saves the picture as BUILD\screenshots\<name>.bmp, for a person to look at.
inline void SavePicture(const Picture& picture, const std::wstring& name) {
    const std::wstring dir = BuildPath(L"screenshots");
    ::CreateDirectoryW(dir.c_str(), nullptr);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = picture.m_nWidth;
    header.biHeight = -picture.m_nHeight;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const DWORD bytes = static_cast<DWORD>(picture.m_pixels.size() * sizeof(std::uint32_t));
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + bytes;
    HANDLE handle = ::CreateFileW((dir + L"\\" + name + L".bmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(handle, &file, sizeof(file), &written, nullptr);
    ::WriteFile(handle, &header, sizeof(header), &written, nullptr);
    ::WriteFile(handle, picture.m_pixels.data(), bytes, &written, nullptr);
    ::CloseHandle(handle);
}

// Centre of the slider's thumb: the middle of its light grey body on row 10, where the body spans
// columns 1..38 of the 40-pixel thumb. -1 when no thumb shows (a disabled slider).
inline int SliderCentre(HWND slider) {
    const Picture picture = CaptureWindow(slider);
    int first = -1;
    int last = -1;
    for (int x = 0; x < picture.m_nWidth; ++x) {
        const std::uint32_t p = picture.At(x, 10);
        if (Picture::Red(p) > 140 && Picture::Green(p) > 140 && Picture::Blue(p) >= Picture::Red(p)) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    return first < 0 ? -1 : (first + last + 1) / 2;
}

// Amber text over the skin: red and green well above blue (the skin's greys, red and green accents
// are not).
inline bool IsAmberInk(std::uint32_t p) {
    return Picture::Red(p) - Picture::Blue(p) > 80 && Picture::Green(p) - Picture::Blue(p) > 60;
}

// Pale pink text: red and blue high, green a little lower.
inline bool IsPinkInk(std::uint32_t p) {
    return Picture::Red(p) > 150 && Picture::Blue(p) > 150 && Picture::Green(p) + 10 < Picture::Blue(p);
}

// Rows from the first to the last that hold ink of the kind, within columns [left, right): the
// text's height in pixels.
inline int InkHeight(const Picture& picture, bool (*isInk)(std::uint32_t), int left = 0,
                     int right = INT_MAX) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < picture.m_nHeight; ++y) {
        for (int x = left; x < picture.m_nWidth && x < right; ++x) {
            if (isInk(picture.At(x, y))) {
                first = first < 0 ? y : first;
                last = y;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

inline int InkPixels(const Picture& picture, bool (*isInk)(std::uint32_t)) {
    int count = 0;
    for (std::uint32_t p : picture.m_pixels) {
        count += isInk(p) ? 1 : 0;
    }
    return count;
}

} // namespace e2e::window
