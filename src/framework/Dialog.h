// CDialog: a dialog created from a template resource and run in a modal loop of its own, so that
// PreTranslateMessage sees every message before the dialog manager does.
#pragma once
#include "framework/Wnd.h"

class CDialog;

// Binds controls of a dialog to their wrapper objects (once; later exchanges find them bound).
class CDataExchange {
public:
    explicit CDataExchange(CDialog& dialog) : m_dialog(dialog) {}
    void Control(int id, CWnd& control);

private:
    CDialog& m_dialog;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) : m_nTemplateId(templateId) {}

    // Creates the dialog, runs its loop until EndDialog, destroys it and returns the result.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    // Runs the control binding.
    void UpdateData();

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange&) {}
    // Sees each message of the loop first; true means it was handled.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void OnOK();
    virtual void OnCancel();

    const WndEventTable* GetEventTable() const override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK InitDialog(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nTemplateId;
    bool m_bLoopEnded = false;
    INT_PTR m_nResult = -1;
};
