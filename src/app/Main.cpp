// The program's entry point and its one application object.
#include "app/VentiqApp.h"

CVentiqApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return RunApplication(theApp);
}
