// CVentiqApp: the application object; its start-up runs the main window modally.
#pragma once
#include "framework/WinApp.h"

class CVentiqApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
