// CBitmapSlider: a horizontal slider drawn from a channel image and a thumb image.
#pragma once
#include "framework/Wnd.h"
#include "ui/GdiHandle.h"
#include "ui/SliderGeometry.h"

// Posted to the parent while the thumb is dragged, and when a drag or a key move ends.
constexpr UINT WM_SLIDER_POSCHANGING = WM_USER + 9425;
constexpr UINT WM_SLIDER_POSCHANGED = WM_USER + 9426;

class CBitmapSlider : public CWnd {
public:
    // Channel images, grey and lit; the control takes the normal image's size.
    BOOL SetChannelImages(UINT normalId, UINT activeId);
    // The thumb images every slider uses, black being transparent.
    BOOL SetThumbImages();
    void SetPosition(int position);
    int GetPosition() const { return m_nPosition; }
    // Stores the limits; the position stays where it is until the next move.
    void SetLimits(int minimum, int maximum);
    void SetSideMargins(int left, int right);
    // The slider's own enabled look and input, separate from the window's enabled state.
    void EnableSlider(BOOL enable);
    BOOL IsSliderEnabled() const { return m_bEnabled; }
    BOOL IsDragging() const { return m_bDragging; }
    int GetMinimum() const { return m_nMinimum; }
    int GetMaximum() const { return m_nMaximum; }

protected:
    const WndEventTable* GetEventTable() const override;
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

private:
    SliderGeometry Geometry() const;
    // Moves the thumb centre toward x (less the grab offset) while dragging.
    void DragTo(int x);
    void NotifyParent(UINT message) const;
    void Repaint() const;
    void DrawThumb(HDC dc, int left, int top) const;
    void ReleaseImages();

    int m_nMaximum = 100;
    int m_nMinimum = 0;
    int m_nPosition = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
    int m_nMarginLeft = 0;
    int m_nMarginRight = 0;
    int m_nDragOffset = 0;
    BOOL m_bChannelSet = FALSE;
    BOOL m_bThumbSet = FALSE;
    BOOL m_bDragging = FALSE;
    BOOL m_bHasFocus = FALSE;
    BOOL m_bEnabled = TRUE;
    BitmapHandle m_hChannel;
    BitmapHandle m_hChannelActive;
    BitmapHandle m_hThumb;
    BitmapHandle m_hThumbMask;
    BitmapHandle m_hThumbActive;
    BitmapHandle m_hThumbActiveMask;
};
