// Helpers of the fan-control suites: the journal since a point, a readings tick on demand, and how
// the skinned buttons look (lit or dark) on the screen.
#pragma once
#include "test_window_support.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace e2e::fan {

using window::Board;
using window::Vendor;
using window::WaitUntil;

constexpr int kClose = 1001;
constexpr int kGpuTemp = 1002;
constexpr int kZone1Speed = 1003;
constexpr int kZone2Speed = 1004;
constexpr int kZone3Speed = 1005;
constexpr int kPwmTemp = 1006;
constexpr int kEntryOuter = 1010;
constexpr int kEntryMiddle = 1011;
constexpr int kReset = 1012;
constexpr int kApply = 1013;
constexpr int kSliderOuter = 1014;
constexpr int kSliderMiddle = 1015;
constexpr int kGpuUnit = 1016;
constexpr int kAuto1 = 1017;
constexpr int kAuto2 = 1018;
constexpr int kPwmUnit = 1019;
constexpr int kFan1Zone = 1021;
constexpr int kFan2Zone = 1022;
constexpr int kFan3Zone = 1023;
constexpr int kTrayClose = 32772;

// Journal lines from a point on: Mark() now, Since(mark) later.
inline size_t Mark(const Installation& install) {
    return install.Journal().size();
}

inline std::vector<std::string> Since(const Installation& install, size_t mark) {
    std::vector<std::string> lines = install.Journal();
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(mark, lines.size())));
    return lines;
}

inline bool IsCall(const std::string& line, const std::string& name) {
    return line.compare(0, name.size(), name) == 0 &&
           (line.size() == name.size() || line[name.size()] == ' ');
}

inline std::vector<std::string> Only(const std::vector<std::string>& lines, const std::string& name) {
    std::vector<std::string> calls;
    for (const std::string& line : lines) {
        if (IsCall(line, name)) {
            calls.push_back(line);
        }
    }
    return calls;
}

// The value of key=... in a journal line, or "" when the line has none.
inline std::string Field(const std::string& line, const std::string& key) {
    const std::string probe = " " + key + "=";
    const size_t at = line.find(probe);
    if (at == std::string::npos) {
        return {};
    }
    const size_t start = at + probe.size();
    return line.substr(start, line.find(' ', start) - start);
}

// Whether start-up has finished and the first readings tick has run: the tick's fan speed query
// follows the one start-up made.
inline bool WaitStarted(const Board& board, DWORD timeoutMs = 15000) {
    if (board.Window() == nullptr) {
        return false;
    }
    const bool ticked = WaitUntil(
        [&] {
            const std::vector<std::string> lines = board.Install().Journal();
            return Only(lines, "ADL_Overdrive5_FanSpeed_Get").size() >= 2 ||
                   Only(lines, "NvQueryCoolerState").size() >= 2;
        },
        timeoutMs);
    Pump(100);
    return ticked;
}

// Chip writes as "register=data", from the AMD or NVIDIA journal lines.
inline std::vector<std::string> ChipWrites(const std::vector<std::string>& lines) {
    std::vector<std::string> writes;
    for (const std::string& line : lines) {
        if (IsCall(line, "ADL_Display_WriteAndReadI2C") && Field(line, "action") == "2") {
            writes.push_back(Field(line, "offset") + "=" + Field(line, "data"));
        } else if (IsCall(line, "NvAPI_I2CWrite")) {
            writes.push_back(Field(line, "reg") + "=" + Field(line, "data"));
        }
    }
    return writes;
}

// Outer-fan settings and chip writes, in the order the board received them: "outer=45" (AMD),
// "outer=45/1" (NVIDIA level and policy), "outer=default", "0x85=0x4C".
inline std::vector<std::string> Writes(const std::vector<std::string>& lines) {
    std::vector<std::string> writes;
    for (const std::string& line : lines) {
        if (IsCall(line, "ADL_Overdrive5_FanSpeed_Set")) {
            writes.push_back("outer=" + Field(line, "speed"));
        } else if (IsCall(line, "ADL_Overdrive5_FanSpeedToDefault_Set")) {
            writes.push_back("outer=default");
        } else if (IsCall(line, "NvApplyCoolerLevels")) {
            writes.push_back("outer=" + Field(line, "level") + "/" + Field(line, "policy"));
        } else if (!ChipWrites({line}).empty()) {
            writes.push_back(ChipWrites({line})[0]);
        }
    }
    return writes;
}

// What the board holds in the end: the last write each target took ("outer", "0x85", ...), from
// Ventiq's lines and its guardian's; refused writes changed nothing and are left out.
inline std::map<std::string, std::string> LastWrites(const std::vector<std::string>& lines) {
    std::map<std::string, std::string> last;
    for (const std::string& line : lines) {
        const std::string call = line.rfind("guard ", 0) == 0 ? line.substr(6) : line;
        if (!Field(call, "status").empty()) {
            continue;
        }
        for (const std::string& write : Writes({call})) {
            const size_t at = write.find('=');
            last[write.substr(0, at)] = write.substr(at + 1);
        }
    }
    return last;
}

// The program's per-user settings (HKEY_CURRENT_USER\Software\Valdro\Ventiq), empty for one test and
// removed again afterwards.
class ScopedUserSettings {
public:
    ScopedUserSettings() { Clear(); }
    ~ScopedUserSettings() { Clear(); }
    ScopedUserSettings(const ScopedUserSettings&) = delete;
    ScopedUserSettings& operator=(const ScopedUserSettings&) = delete;

    void Set(const wchar_t* name, const std::wstring& text) const {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_SZ, text.c_str(),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void Set(const wchar_t* name, DWORD value) const {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_DWORD, &value, sizeof(value));
    }
    std::wstring Text(const wchar_t* name) const {
        wchar_t text[64] = {};
        DWORD size = sizeof(text);
        ::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, text, &size);
        return text;
    }

private:
    static constexpr wchar_t kKey[] = L"Software\\Valdro\\Ventiq";
    static void Clear() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
};

// The register defaults of the usual card-list row 120;100;80;60.
inline const std::vector<std::string> kDefaultsWritten = {"0x85=0x78", "0x86=0x64", "0x87=0x50", "0x88=0x3C"};

// Runs one readings tick now and returns when the window has handled it.
inline bool Tick(HWND window) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_TIMER, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
}

// A command sent and handled before this returns (a handler that opens a message box does not
// return until the box is closed: post those with window::Command instead).
inline bool SendCommand(HWND window, int id) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(::GetDlgItem(window, id)), SMTO_NORMAL, 20000,
                                 &result) != 0;
}

inline bool SetText(HWND control, const std::wstring& text) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                                 5000, &result) != 0;
}

// Keeps the pointer off the window, so no button shows its mouse-over image.
inline void ParkMouse() {
    window::MoveMouse(1, 1);
    Pump(50);
}

// An Auto button shows its lit image (magenta word) when its fan set is automatic.
inline bool AutoLit(HWND button) {
    const window::Picture picture = window::CaptureWindow(button);
    int magenta = 0;
    for (std::uint32_t p : picture.m_pixels) {
        const int r = window::Picture::Red(p), g = window::Picture::Green(p), b = window::Picture::Blue(p);
        magenta += r > 150 && b > 150 && g < 110 ? 1 : 0;
    }
    return magenta > 100;
}

// APPLY and RESET show their lit image (yellow) when they can be pressed.
inline bool ButtonLit(HWND button) {
    const window::Picture picture = window::CaptureWindow(button);
    int yellow = 0;
    for (std::uint32_t p : picture.m_pixels) {
        const int r = window::Picture::Red(p), g = window::Picture::Green(p), b = window::Picture::Blue(p);
        yellow += r > 180 && g > 150 && b < 90 ? 1 : 0;
    }
    return yellow > 500;
}

// Waits for the look a button should have (it repaints after the handler has returned).
inline bool WaitLook(bool (*look)(HWND), HWND button, bool lit) {
    return WaitUntil([&] { return look(button) == lit; }, 3000);
}

// Commands of the fan sets' right-click menus.
constexpr int kOuterCurve = 32782;
constexpr int kMiddleCurve = 32785;

// Both fan sets manual and applied, as a user leaves them.
inline void ApplyBothManual(const Board& board) {
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto1));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    ASSERT_TRUE(SetText(board.Item(kEntryOuter), L"77"));
    ASSERT_TRUE(SetText(board.Item(kEntryMiddle), L"66"));
    ASSERT_TRUE(SendCommand(board.Window(), kApply));
    const std::vector<std::string> lines = board.Install().Journal();
    ASSERT_FALSE(Only(lines, "ADL_Overdrive5_FanSpeed_Set").empty() && Only(lines, "NvApplyCoolerLevels").empty())
        << "APPLY set the outer fans";
}

} // namespace e2e::fan
