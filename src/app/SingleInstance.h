// The single-instance rule: one Ventiq runs on the machine, and starting it again shows that one.
#pragma once
#include <windows.h>

// Holds the program's named mutex for as long as it lives; whoever created it first is the instance.
class CSingleInstance {
public:
    CSingleInstance();
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // Whether another Ventiq process held the mutex already.
    bool IsSecond() const { return m_bSecond; }

private:
    HANDLE m_hMutex;
    bool m_bSecond;
};

// The message a second start posts to the running main window, asking it to come to the front.
UINT ShowRunningInstanceMessage();

// Finds the running instance's main window (a top-level dialog captioned "Ventiq" of another process
// of this executable's name), lets it take the foreground and posts it the message. False when
// there is no such window.
bool ShowRunningInstance();
