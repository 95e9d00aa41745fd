// CVentiqDlg: the tray menu's start-up items, their check marks and what they switch.
#include "app/VentiqDlg.h"

#include "app/StartupTask.h"
#include "app/UserSettings.h"
#include "res/resource.h"

namespace {
const wchar_t kSettingNotSavedText[] = L"Ventiq could not save this setting.";

void Check(HMENU menu, UINT id, bool checked) {
    ::CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
} // namespace

LRESULT CVentiqDlg::OnInitMenuPopup(WPARAM wParam, LPARAM) {
    // Asked each time the menu opens: the task or the value may have been changed from outside.
    const HMENU menu = reinterpret_cast<HMENU>(wParam);
    Check(menu, ID_TRAY_MENU_STARTUP, StartupTaskExists());
    Check(menu, ID_TRAY_MENU_RESTORE, ReadRestoreAtStart());
    return 0;
}

void CVentiqDlg::OnStartWithWindows() {
    SetStartWithWindows(!StartupTaskExists(), m_hWnd);
}

void CVentiqDlg::OnRestoreAtStart() {
    if (!WriteRestoreAtStart(!ReadRestoreAtStart())) {
        ShowMessage(kSettingNotSavedText);
    }
}
