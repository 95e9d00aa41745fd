// The main window object on a window made from its own dialog template, with a vendor back end up on
// the simulated board and the window dressed by the program's set-up, in this process: for tests and
// benchmarks of what a readings tick paints.
#pragma once
#include "app/VentiqDlg.h"
#include "res/resource.h"

#include <string>

class CMainWindowRig {
public:
    // The window shown and dressed on the vendor's board; Ready() tells whether the back end came up.
    explicit CMainWindowRig(bool nvidia) {
        m_hWnd = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_VENTIQ_DIALOG),
                                      nullptr, &CMainWindowRig::NoDialogProc, 0);
        // Hidden until dressed, as the program's own dialog loop creates it.
        ::ShowWindow(m_hWnd, SW_HIDE);
        m_dlg.SubclassWindow(m_hWnd);
        m_dlg.UpdateData();
        m_dlg.m_strVendor = nvidia ? L"NVIDIA" : L"AMD";
        m_dlg.m_nCardCount = 1;
        m_dlg.m_pCardMatched = {1};
        m_bReady = nvidia ? m_dlg.StartNvidiaBackend() : m_dlg.StartAmdBackend();
        if (!m_bReady) {
            return;
        }
        m_dlg.m_bBackendReady = true;
        m_dlg.m_bFanControl = 1;
        m_dlg.ReadSavedRegisters();
        m_dlg.SetUpWindow();
        Settle();
    }
    ~CMainWindowRig() {
        // The program's own restore on destruction is not what is measured or tested here.
        m_dlg.m_bBackendReady = false;
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
