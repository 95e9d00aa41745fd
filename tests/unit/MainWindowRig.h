// The main window object on a window made from its own dialog template, with a vendor back end up on
// the simulated board and the window dressed by the program's set-up, in this process: for tests and
// benchmarks of what a readings tick paints.
#pragma once
#include "app/VentiqDlg.h"
#include "res/resource.h"

#include <string>
#include <vector>

// The main window's dialog made hidden from its template, as the program's own dialog loop makes
// it (hiding a shown, active window costs seconds under Wine); null when the template is missing.
// The value readouts, and board scenarios for ticks: the start, one readout changed (the PWM module
// one degree warmer), and every readout changed.
inline const std::vector<int> kReadouts = {IDC_GPU_TEMP, IDC_PWM_TEMP, IDC_ZONE1_SPEED, IDC_ZONE2_SPEED,
                                           IDC_ZONE3_SPEED};
inline constexpr char kStart[] =
    "card.0.temperature = 45\ncard.0.fan = 40\ncard.0.reg.0x60 = 102\ncard.0.reg.0x02 = 50\n";
inline constexpr char kPwmWarmer[] =
    "card.0.temperature = 45\ncard.0.fan = 40\ncard.0.reg.0x60 = 102\ncard.0.reg.0x02 = 51\n";
inline constexpr char kAllChanged[] =
    "card.0.temperature = 46\ncard.0.fan = 41\ncard.0.reg.0x60 = 128\ncard.0.reg.0x02 = 51\n";

inline HWND CreateMainDialogHidden(DLGPROC dialogProc) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(IDD_VENTIQ_DIALOG), MAKEINTRESOURCEW(5));
    const void* bytes = resource != nullptr ? ::LockResource(::LoadResource(instance, resource)) : nullptr;
    if (bytes == nullptr) {
        return nullptr;
    }
    std::vector<BYTE> copy(static_cast<const BYTE*>(bytes),
                           static_cast<const BYTE*>(bytes) + ::SizeofResource(instance, resource));
    // An extended template keeps its style at offset 12.
    const bool extended = copy.size() >= 4 && *reinterpret_cast<const WORD*>(copy.data() + 2) == 0xFFFF;
    *reinterpret_cast<DWORD*>(copy.data() + (extended ? 12 : 0)) &= ~static_cast<DWORD>(WS_VISIBLE);
    return ::CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), nullptr,
                                        dialogProc, 0);
}

class CMainWindowRig {
public:
    // The window shown and dressed on the vendor's board; Ready() tells whether the back end came up.
    explicit CMainWindowRig(bool nvidia) {
        m_hWnd = CreateMainDialogHidden(&CMainWindowRig::NoDialogProc);
        m_dlg.SubclassWindow(m_hWnd);
        m_dlg.UpdateData();
        m_dlg.m_strVendor = nvidia ? L"NVIDIA" : L"AMD";
        m_dlg.m_nCardCount = 1;
        m_dlg.m_pCardMatched = {1};
        m_bReady = m_dlg.StartBackend();
        if (!m_bReady) {
            return;
        }
        m_dlg.TakeFanControl();
        m_dlg.ReadSavedRegisters();
        m_dlg.SetUpWindow();
        Settle();
    }
    ~CMainWindowRig() {
        // The program's own restore on destruction is not what is measured or tested here.
        m_dlg.m_pFanOwner.reset();
        m_dlg.m_pAmdHardware = nullptr;
        m_dlg.m_pHardware.reset();
        ::DestroyWindow(m_hWnd);
    }
    CMainWindowRig(const CMainWindowRig&) = delete;
    CMainWindowRig& operator=(const CMainWindowRig&) = delete;

    bool Ready() const { return m_bReady; }
    // Paints everything pending and delivers the queue, so a measurement starts from a quiet window.
    void Settle() const {
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    CVentiqDlg m_dlg;
    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
    bool m_bReady = false;
};
