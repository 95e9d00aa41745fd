// Test hosts for the skinned controls: a real top-level window taken over by a CBitmapDialog (as
// the main window is), its children, message pumping and the pixels the screen shows.
#pragma once
#include "ui/BitmapDialog.h"

#include <vector>

// Client colour of every host window.
constexpr COLORREF kHostBackground = RGB(0, 64, 128);

// Held by tests that move the cursor or ask which window lies under a point: test processes share
// one display and one cursor, so those tests take turns.
class CScreenLock {
public:
    CScreenLock() : m_hMutex(::CreateMutexW(nullptr, FALSE, L"Ventiq.UnitTests.Screen")) {
        ::WaitForSingleObject(m_hMutex, 30000);
    }
    ~CScreenLock() {
        ::ReleaseMutex(m_hMutex);
        ::CloseHandle(m_hMutex);
    }
    CScreenLock(const CScreenLock&) = delete;
    CScreenLock& operator=(const CScreenLock&) = delete;

private:
    HANDLE m_hMutex;
};

struct HostMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CTestHost : public CBitmapDialog {
public:
    CTestHost() : CBitmapDialog(0) {}
    ~CTestHost() override {
        if (m_hWnd != nullptr) {
            ::DestroyWindow(m_hWnd);
        }
    }

    // A visible borderless window at (x, y) of width x height pixels (client = window).
    bool Create(int x, int y, int width, int height) {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSW windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = ::CreateSolidBrush(kHostBackground);
        windowClass.lpszClassName = L"VentiqTestHost";
        ::RegisterClassW(&windowClass);
        // Topmost, so that no other test's window covers it.
        HWND hWnd = ::CreateWindowExW(WS_EX_TOPMOST, L"VentiqTestHost", L"", WS_POPUP, x, y, width, height,
                                      nullptr, nullptr, instance, nullptr);
        if (hWnd == nullptr || !SubclassWindow(hWnd)) {
            return false;
        }
        // Not activated: under Wine without a window manager, an activated window costs two
        // seconds to destroy. Controls that take the focus activate it themselves.
        ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(hWnd);
        return true;
    }

    HWND Child(const wchar_t* className, const wchar_t* text, DWORD style, int id, RECT place,
               DWORD exStyle = 0) {
        return ::CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, place.left,
                                 place.top, place.right - place.left, place.bottom - place.top, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    }

    // Messages the host received that the controls send or post to their parent.
    std::vector<HostMessage> m_received;
    // Headers of the WM_NOTIFY messages received.
    std::vector<NMHDR> m_notifications;

    std::vector<HostMessage> Received(UINT message) const {
        std::vector<HostMessage> found;
        for (const HostMessage& m : m_received) {
            if (m.message == message) {
                found.push_back(m);
            }
        }
        return found;
    }

    using CBitmapDialog::OnCtlColor;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND || message == WM_NOTIFY || (message >= WM_USER && message < 0x8000)) {
            m_received.push_back({message, wParam, lParam});
        }
        if (message == WM_NOTIFY) {
            m_notifications.push_back(*reinterpret_cast<const NMHDR*>(lParam));
        }
        return CBitmapDialog::WindowProc(message, wParam, lParam);
    }
};

// Delivers everything waiting in this thread's queue.
inline void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A picture as 0x00BBGGRR colours, row by row from the top.
struct Pixels {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<COLORREF> colours;
    COLORREF At(int x, int y) const { return colours[static_cast<size_t>(y) * nWidth + x]; }
};

// Copies width x height pixels at (x, y) of a device context.
inline Pixels ReadPixels(HDC source, int x, int y, int width, int height) {
    Pixels pixels{width, height, std::vector<COLORREF>(static_cast<size_t>(width) * height)};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(source);
    HGDIOBJ previous = ::SelectObject(memory, copy);
    ::BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    ::GdiFlush();
    const auto* quads = static_cast<const RGBQUAD*>(bits);
    for (size_t i = 0; i < pixels.colours.size(); ++i) {
        pixels.colours[i] = RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue);
    }
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
    ::DeleteObject(copy);
    return pixels;
}

// What the screen shows of a window's client area, after it has painted everything pending.
inline Pixels CaptureClient(HWND hWnd) {
    ::UpdateWindow(hWnd);
    RECT rc{};
    ::GetClientRect(hWnd, &rc);
    HDC dc = ::GetDC(hWnd);
    Pixels pixels = ReadPixels(dc, 0, 0, rc.right, rc.bottom);
    ::ReleaseDC(hWnd, dc);
    return pixels;
}

// The pixels of a bitmap.
inline Pixels BitmapPixels(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    Pixels pixels = ReadPixels(memory, 0, 0, info.bmWidth, info.bmHeight);
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
    return pixels;
}
