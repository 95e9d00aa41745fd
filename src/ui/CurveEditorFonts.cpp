// Font sizes of the curve editor: 19, 11, 10 and 15 pixels high in every DPI band.
#include "ui/CurveEditorFonts.h"

#include "ui/ReadoutFonts.h"

CurveEditorFontSizes CurveEditorFontSizesFor(UINT nDpi) {
    switch (BandDpi(nDpi)) {
    case 144:
        return {95, 55, 50, 75};
    case 120:
        return {114, 66, 60, 90};
    default:
        return {143, 83, 75, 113};
    }
}
