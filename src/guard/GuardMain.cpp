// VentiqGuard.exe: Ventiq's guardian. It has no window and no console and shows nothing; Ventiq starts
// it as a launcher, which starts the guardian proper with the same three handles and ends, so the
// guardian outlives whatever ends Ventiq together with its descendants, and ends with Ventiq.
#include "guard/GuardProcess.h"
#include "guard/Guardian.h"
#include "hw/SystemLibrary.h"

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    // Elevated like Ventiq: no library is ever loaded from beside the program or the current directory.
    RestrictDllSearchToSystem();
    const size_t switchLength = std::wcslen(kLauncherSwitch);
    const bool launcher = arguments != nullptr && std::wcsncmp(arguments, kLauncherSwitch, switchLength) == 0;
    const std::optional<GuardianHandles> handles =
        ParseGuardianArguments(launcher ? arguments + switchLength : arguments);
    if (!handles) {
        return launcher ? 0 : kGuardianRefused;
    }
    return launcher ? static_cast<int>(RunLauncher(*handles)) : RunGuardian(*handles);
}
