// CCanvasWnd: a window that paints all of itself off-screen: each paint draws the whole picture
// into its canvas and copies it to the screen in one piece, so it never flickers.
#pragma once
#include "framework/Wnd.h"
#include "ui/Canvas.h"

class CCanvasWnd : public CWnd {
protected:
    const WndEventTable* GetEventTable() const override;
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    // Draws the whole window into m_canvas.
    virtual void Draw() = 0;

    CCanvas m_canvas;
};
