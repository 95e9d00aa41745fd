// CBitmapDialog: a dialog whose face is a bitmap and whose outline is cut out of that bitmap.
#pragma once
#include "framework/Dialog.h"

// Owner-draw requests reach the parent; the dialog hands them back to the control that asked,
// as this message with the same parameters (the control draws itself).
constexpr UINT WM_REFLECT_DRAWITEM = WM_USER + 0x1C00 + WM_DRAWITEM;

class CBitmapDialog : public CDialog {
public:
    explicit CBitmapDialog(UINT templateId);
    ~CBitmapDialog() override;

    // Makes the bitmap resource the background and cuts the outline again.
    BOOL LoadBackground(UINT bitmapId);
    // Computes the window region from the background and installs it.
    void BuildWindowRegion();

    BOOL m_bShapeFromBitmap = FALSE;
    BOOL m_bTransparentStatics = TRUE;
    HBRUSH m_hHollowBrush;
    COLORREF m_crKey = 0;
    BOOL m_bDragAnywhere = FALSE;
    BOOL m_bOwnsBitmap = FALSE;
    BOOL m_bDrawBitmap = FALSE;
    HBITMAP m_pBackground = nullptr;

protected:
    const WndEventTable* GetEventTable() const override;
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);

private:
    void ReleaseBackground();
};
