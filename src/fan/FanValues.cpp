// Fan values: the speed label text and the typed-percentage range.
#include "fan/FanValues.h"

#include "cards/CardListParse.h"

std::wstring PercentText(int percent) {
    return std::to_wstring(percent) + L"%";
}

int ClampTypedPercent(int percent) {
    if (percent <= 20) {
        return 20;
    }
    if (percent >= 100) {
        return 100;
    }
    return percent;
}

int EntryPercent(const std::wstring& text) {
    return ClampTypedPercent(ParseDecimal(text));
}
