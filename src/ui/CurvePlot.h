// CCurvePlot: the curve editor's plot. It shows both fan sets' curves, the floor below each set's
// minimum, each set's live point and recent history, and lets the mouse and the keyboard move,
// add and remove the points of the selected set.
#pragma once
#include "curve/CurveHistory.h"
#include "curve/FanCurve.h"
#include "framework/Wnd.h"
#include "ui/CanvasWnd.h"

#include <array>
#include <optional>
#include <vector>

// The two fan sets, as the plot and the editor number them.
enum : int { kOuterSet = 0, kMiddleSet = 1, kCurveSetCount = 2 };

class CCurvePlot : public CCanvasWnd {
public:
    // Fonts the plot draws with; the editor owns them.
    struct Fonts {
        HFONT m_hScale = nullptr;   // axis numbers
        HFONT m_hCaption = nullptr; // set names
        HFONT m_hValue = nullptr;   // temperatures and percentages
    };

    // The plot as child nId of hParent over rc (the parent's client pixels); false when it cannot be made.
    bool Create(HWND hParent, const RECT& rc, int nId, const Fonts& fonts);

    // Each setter repaints the plot.
    void SetPoints(int nSet, const std::vector<CurvePoint>& points);
    const std::vector<CurvePoint>& Points(int nSet) const { return m_sets[nSet].m_points; }
    void SetMinimum(int nSet, int nPercent);
    void SelectSet(int nSet);
    int SelectedSet() const { return m_nSet; }
    // Repaints only when a history differs from the one shown.
    void ShowHistories(const CCurveHistory& outer, const CCurveHistory& middle);

protected:
    const WndEventTable* GetEventTable() const override;
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);

private:
    struct SetView {
        std::vector<CurvePoint> m_points;
        int m_nMinimum = 0;
        CCurveHistory m_history;
        std::optional<size_t> m_nSelected; // the point the keyboard moves
    };

    SetView& Selected() { return m_sets[m_nSet]; }
    // The selected set's point under a client pixel.
    std::optional<size_t> HitPoint(POINT pixel) const;
    // The point Tab (Shift+Tab with bBack) moves the selection to; none past the ends.
    std::optional<size_t> TabTarget(bool bBack) const;
    // Moves the selected point towards wanted as far as its neighbours and the ranges allow.
    void MoveSelected(CurvePoint wanted);
    void Repaint() const { ::InvalidateRect(m_hWnd, nullptr, FALSE); }

    // Painting, in CurvePlotPainting.cpp.
    RECT LinesClip() const;
    void Draw() override;
    void DrawFrame();
    void DrawHistory(const SetView& set, COLORREF colour);
    void DrawCurve(const SetView& set, COLORREF colour, bool bSelected);
    void DrawLegend();
    void DrawSelectedTag();

    Fonts m_fonts;
    RECT m_rcPlot{}; // where 20..100 °C and 0..100 % lie, in client pixels
    std::array<SetView, kCurveSetCount> m_sets;
    int m_nSet = kOuterSet;
    bool m_bDragging = false;
};
