// VentiqGuard.exe: Ventiq's guardian. It has no window and no console and shows nothing; Ventiq starts
// it with two inherited handles and it ends with Ventiq.
#include "guard/Guardian.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    HANDLE pipe = nullptr;
    HANDLE ventiq = nullptr;
    if (!ParseGuardianArguments(arguments, &pipe, &ventiq)) {
        return kGuardianRefused;
    }
    return RunGuardian(pipe, ventiq);
}
