// CLabel: a self-painting text control drawn over the window's skin, skin and text in one pass.
#pragma once
#include "framework/Wnd.h"
#include "ui/GdiHandle.h"

#include <string>

// Code of the notification a label with "notify parent" sends when it is clicked.
constexpr UINT NM_LABELCLICK = 0x8200;

class CLabel : public CWnd {
public:
    // How a non-see-through label fills its background.
    enum : int { kSolid = 0, kGradientAcross = 1, kGradientDown = 2 };
    enum : int { kNoBlink = 0, kBlinkText = 1, kBlinkBackground = 2 };

    CLabel();
    ~CLabel() override;

    // Setters, chained; all but the cursor, blink, edge and frame setters repaint the label with the
    // next update.
    virtual CLabel& SetBackground(COLORREF colour, COLORREF colour2 = 0, int kind = kSolid);
    virtual CLabel& SetForeColour(COLORREF colour);
    virtual CLabel& SetCaption(const std::wstring& text);
    virtual CLabel& SetBoldWeight(bool on);
    // Face names longer than the font description holds (31 characters) are cut there.
    virtual CLabel& SetFaceName(const wchar_t* face, BYTE charSet);
    virtual CLabel& SetUnderlined(bool on);
    virtual CLabel& SetItalicStyle(bool on);
    // At the screen's DPI, as a point font is made.
    virtual CLabel& SetPointSize(int points);
    // At a given DPI: for text that must keep its size on a skin Windows may scale.
    CLabel& SetPointSizeAt(int points, int dpi);
    virtual CLabel& SetSunkenEdge(bool on);
    virtual CLabel& SetFrame(bool on);
    virtual CLabel& SetSeeThrough(bool on);
    virtual CLabel& SetBlinkingText(bool on);
    virtual CLabel& SetBlinkingBackground(bool on);
    virtual CLabel& SetHyperlink(bool on, bool notifyParent);
    virtual CLabel& SetHyperlinkCursor(HCURSOR cursor);
    virtual CLabel& SetEmbossed(bool on, bool raised);
    virtual CLabel& SetRotation(int degrees, bool rotated);
    virtual CLabel& SetEmbossColour(COLORREF colour);

    const LOGFONTW& GetFontDescription() const { return m_lf; }
    // The caption as last set (without asking the window).
    const std::wstring& GetCaption() const { return m_strCaption; }

protected:
    const WndEventTable* GetEventTable() const override;
    void PreSubclassWindow() override;

    void OnTimer(UINT_PTR timerId);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);

private:
    // Marks the label for repainting; it paints with the window's next update.
    void RefreshLabel() const;
    // The parent's background beneath the label and the captions of overlapping see-through
    // labels, drawn into dc (the label's client coordinates).
    void DrawWhatLiesBeneath(HDC dc) const;
    // The caption in the label's font and colour, over whatever dc holds.
    void DrawCaption(HDC dc, const RECT& rc) const;
    void RebuildFont();
    void StopBlinking();
    void StartBlinking(int kind);
    void ChangeStyle(int index, LONG_PTR bits, bool on) const;
    void FillBackground(HDC dc, const RECT& rc) const;
    UINT TextFormat(const std::wstring& text) const;

    // The caption as last set, kept so painting and comparing need not ask the window for it.
    std::wstring m_strCaption;
    COLORREF m_crText = RGB(255, 255, 255);
    COLORREF m_crEmboss = RGB(255, 255, 255);
    BrushHandle m_brFace;
    BrushHandle m_brBackground;
    LOGFONTW m_lf{};
    FontHandle m_font;
    bool m_bBlinkPhase = false;
    bool m_bBlinkTimer = false;
    bool m_bSeeThrough = true;
    bool m_bEmbossed = false;
    bool m_bEmbossRaised = false;
    bool m_bNotifyParent = false;
    bool m_bRotated = false;
    int m_nBlinkKind = kNoBlink;
    HCURSOR m_hCursor = nullptr;
    int m_nGradient = kSolid;
    COLORREF m_crGradientStart = 0;
    COLORREF m_crGradientEnd = 0;
};
