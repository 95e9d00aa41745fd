// CMemoDC: an off-screen drawing surface over a target device context; whatever is drawn on it
// reaches the target in one copy when it goes out of scope, so a repaint never flickers.
#pragma once
#include "ui/GdiHandle.h"

class CMemoDC {
public:
    // area: the part of target to cover, in logical units (target's clip box when null).
    // copyFirst: start from the target's current picture instead of its background colour.
    CMemoDC(HDC target, const RECT* area = nullptr, bool copyFirst = false);
    ~CMemoDC();
    CMemoDC(const CMemoDC&) = delete;
    CMemoDC& operator=(const CMemoDC&) = delete;

    operator HDC() const { return m_hDC; }

private:
    // Creates the off-screen context and bitmap with the target's mapping.
    void Prepare();

    HDC m_hDC = nullptr;      // where drawing goes: the off-screen context, or the target itself
    HDC m_pTarget;            // the target device context
    RECT m_rcArea{};          // the covered area, logical units
    bool m_bOffscreen;        // false for printers, which are drawn on directly
    BitmapHandle m_offscreen; // the off-screen picture
    HGDIOBJ m_pPrevBitmap = nullptr;
};
