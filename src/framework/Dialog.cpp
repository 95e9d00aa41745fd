// CDialog: template creation, the modal loop, OK/Cancel and control binding.
#include "framework/Dialog.h"

#include "framework/WindowProcGuard.h"

#include <vector>

void CDataExchange::Control(int id, CWnd& control) {
    if (control.GetSafeHwnd() == nullptr) {
        control.SubclassWindow(m_dialog.GetDlgItem(id));
    }
}

void CDialog::UpdateData() {
    CDataExchange exchange(*this);
    DoDataExchange(exchange);
}

INT_PTR CDialog::DoModal() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(m_nTemplateId), MAKEINTRESOURCEW(5));
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(instance, resource) : nullptr;
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return -1;
    }
    // The window is shown by the program when it is ready (or never, when start-up fails), so the
    // template is created hidden.
    std::vector<BYTE> copy(static_cast<const BYTE*>(bytes),
                           static_cast<const BYTE*>(bytes) + ::SizeofResource(instance, resource));
    const bool extended = copy.size() >= 4 && *reinterpret_cast<const WORD*>(copy.data() + 2) == 0xFFFF;
    DWORD* style = reinterpret_cast<DWORD*>(copy.data() + (extended ? 12 : 0));
    const bool visible = (*style & WS_VISIBLE) != 0;
    *style &= ~static_cast<DWORD>(WS_VISIBLE);

    m_bLoopEnded = false;
    m_nResult = -1;
    HWND hWnd = ::CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), nullptr,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (hWnd == nullptr) {
        return -1;
    }
    if (!m_bLoopEnded && visible) {
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
    }
    while (!m_bLoopEnded) {
        MSG msg;
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    ::DestroyWindow(hWnd);
    return m_nResult;
}

void CDialog::EndDialog(INT_PTR result) {
    m_nResult = result;
    m_bLoopEnded = true;
    // Wakes the loop if it is waiting for a message.
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::OnInitDialog() {
    UpdateData();
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    return ::IsDialogMessageW(m_hWnd, msg);
}

void CDialog::OnOK() {
    UpdateData();
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

const WndEventTable* CDialog::GetEventTable() const {
    static const WndEvent events[] = {
        OnCommand<&CDialog::OnOK>(IDOK),
        OnCommand<&CDialog::OnCancel>(IDCANCEL),
    };
    static const WndEventTable table{nullptr, events};
    return &table;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Every later message reaches the object through its subclassed window procedure.
    return message == WM_INITDIALOG ? CallWindowProcGuarded(&CDialog::InitDialog, hWnd, message, wParam, lParam)
                                    : FALSE;
}

LRESULT CALLBACK CDialog::InitDialog(HWND hWnd, UINT, WPARAM, LPARAM lParam) {
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->SubclassWindow(hWnd);
    return dialog->OnInitDialog();
}
