// Watches what a window and its controls paint: the ids of the controls that received WM_PAINT (0 for
// the window itself), and after every paint a look at the window's own pixels, so a picture that
// shows the skin without a readout's digits is caught as it happens.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <set>
#include <vector>

class CPaintLog {
public:
    // readoutIds: controls whose digits must show in every picture taken while the log looks.
    CPaintLog(HWND window, std::vector<int> readoutIds)
        : m_hWindow(window), m_readouts(std::move(readoutIds)) {
        Watch(window);
        for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            Watch(child);
        }
    }
    ~CPaintLog() {
        for (HWND watched : m_watched) {
            ::RemoveWindowSubclass(watched, &CPaintLog::Proc, 0);
        }
    }
    CPaintLog(const CPaintLog&) = delete;
    CPaintLog& operator=(const CPaintLog&) = delete;

    void Clear() {
        m_painted.clear();
        m_nPictures = 0;
        m_nBlankPictures = 0;
    }
    void Look(bool on) { m_bLooking = on; }
    const std::multiset<int>& Painted() const { return m_painted; }
    std::set<int> PaintedIds() const { return {m_painted.begin(), m_painted.end()}; }
    int Pictures() const { return m_nPictures; }
    // Pictures in which some readout showed no digits.
    int BlankPictures() const { return m_nBlankPictures; }

    // Whether every readout shows digits in the window's own pixels now.
    bool ReadoutsShow() const {
        HDC dc = ::GetDCEx(m_hWindow, nullptr, DCX_CACHE);
        bool all = true;
        for (int id : m_readouts) {
            RECT rc{};
            HWND control = ::GetDlgItem(m_hWindow, id);
            ::GetWindowRect(control, &rc);
            ::MapWindowPoints(nullptr, m_hWindow, reinterpret_cast<POINT*>(&rc), 2);
            all = all && AmberPixels(dc, rc) >= kDigitInk;
        }
        ::ReleaseDC(m_hWindow, dc);
        return all;
    }

private:
    // A digit of the smallest readout covers more pixels than this.
    static constexpr int kDigitInk = 12;

    static int AmberPixels(HDC dc, const RECT& rc) {
        const int width = rc.right - rc.left;
        const int height = rc.bottom - rc.top;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP copy = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ previous = ::SelectObject(memory, copy);
        ::BitBlt(memory, 0, 0, width, height, dc, rc.left, rc.top, SRCCOPY);
        ::GdiFlush();
        int amber = 0;
        const auto* quads = static_cast<const RGBQUAD*>(bits);
        for (int i = 0; i < width * height; ++i) {
            const int red = quads[i].rgbRed;
            const int green = quads[i].rgbGreen;
            const int blue = quads[i].rgbBlue;
            amber += red - blue > 80 && green - blue > 60 ? 1 : 0;
        }
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
        ::DeleteObject(copy);
        return amber;
    }

    void Watch(HWND window) {
        if (::SetWindowSubclass(window, &CPaintLog::Proc, 0, reinterpret_cast<DWORD_PTR>(this))) {
            m_watched.push_back(window);
        }
    }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
        const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
        auto* log = reinterpret_cast<CPaintLog*>(data);
        // The window erasing into a label's off-screen picture is not a picture of the screen.
        const bool screenErase = message == WM_ERASEBKGND && window == log->m_hWindow &&
                                 ::GetObjectType(reinterpret_cast<HDC>(wParam)) != OBJ_MEMDC;
        if (message == WM_PAINT || screenErase) {
            if (message == WM_PAINT) {
                log->m_painted.insert(window == log->m_hWindow ? 0 : ::GetDlgCtrlID(window));
            }
            if (log->m_bLooking) {
                ++log->m_nPictures;
                log->m_nBlankPictures += log->ReadoutsShow() ? 0 : 1;
            }
        }
        return result;
    }

    HWND m_hWindow;
    std::vector<int> m_readouts;
    std::vector<HWND> m_watched;
    std::multiset<int> m_painted;
    bool m_bLooking = false;
    int m_nPictures = 0;
    int m_nBlankPictures = 0;
};
