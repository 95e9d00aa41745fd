// CCurveEditor: the fan-curve editor, a window of its own beside the main window. It shows both
// sets' curves with their live points and history, edits the points, hysteresis and delay of each
// set, and saves them on OK.
#pragma once
#include "curve/CurveHistory.h"
#include "curve/CurveStore.h"
#include "framework/Wnd.h"
#include "ui/CanvasWnd.h"
#include "ui/CurvePlot.h"
#include "ui/EntryBox.h"
#include "ui/GdiHandle.h"
#include "ui/PanelButton.h"

// Posted to the owner once OK has saved the curves, so that it loads and follows them.
constexpr UINT WM_CURVES_SAVED = WM_APP + 1;

class CCurveEditor : public CCanvasWnd {
public:
    // Opens the editor, owned by hOwner, on curves; when it is open already it only comes to the
    // front and keeps its edits. The minimums are the sets' slider minimums; nDpi is the display DPI
    // the main window's fonts follow. False when the window cannot be made.
    bool Open(HWND hOwner, const CurveSet& curves, int nOuterMinimum, int nMiddleMinimum, UINT nDpi);
    bool IsOpen() const { return m_hWnd != nullptr; }
    // Each set's readings so far (followed temperature and output per tick): the plot repaints when
    // they changed and the editor is open.
    void ShowLive(const CCurveHistory& outer, const CCurveHistory& middle);
    // For the owner's message loop, before its own handling: keyboard navigation among the editor's
    // controls. TRUE when the message was handled.
    BOOL PreTranslateMessage(MSG* pMsg);

protected:
    const WndEventTable* GetEventTable() const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDefId(WPARAM wParam, LPARAM lParam);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnOK();
    void OnCancel();
    void OnDefault();
    void OnOuterSet();
    void OnMiddleSet();

private:
    bool CreateControls();
    void MakeFonts(UINT nDpi);
    void SelectSet(int nSet);
    // The set's hysteresis and delay boxes show its values.
    void ShowNumbers(int nSet);
    // Takes what the boxes hold: digits held to their ranges, an empty box keeps its value.
    void TakeNumbers();
    void Draw() override;

    CurveSet m_curves; // hysteresis and delay as last taken from the boxes
    CCurvePlot m_plot;
    CPanelButton m_btnSets[2];
    CEntryBox m_editHysteresis[2];
    CEntryBox m_editDelay[2];
    CPanelButton m_btnDefault;
    CPanelButton m_btnOK;
    CPanelButton m_btnCancel;
    HWND m_hFocus = nullptr; // the control that had the focus when the editor was last deactivated
    BrushHandle m_brEntry;
    FontHandle m_fontTitle;
    FontHandle m_fontCaption;
    FontHandle m_fontScale;
    FontHandle m_fontValue;
    UINT m_nFontDpi = 0;
};
