// Crashes on purpose with the crash guard armed over a window object whose fan owner has taken the
// simulated AMD card's fans, so a test can see what the guard hands back. Usage:
//   crash_guard_probe terminate | pure-call | invalid-parameter | access-violation | disarmed
// The board's scenario and journal come from the environment, as for the program.
#include "app/VentiqDlg.h"
#include "cards/CardListParse.h"
#include "fan/CrashGuard.h"

#include <cstdlib>
#include <exception>
#include <string>

namespace {

[[noreturn]] __attribute__((noinline)) void Throw() {
    throw std::exception();
}

// A C++ exception leaving a function that promised not to throw ends in std::terminate.
void Promise() noexcept {
    Throw();
}

void AccessViolation() {
    *static_cast<int volatile*>(nullptr) = 1;
}

} // namespace

// A virtual call made while the base's constructor runs reaches the pure function itself. The
// classes have external linkage and the object goes through a volatile pointer, so the compiler
// cannot know which function the call picks.
struct ProbeBase;
ProbeBase* volatile g_pConstructing = nullptr;

struct ProbeBase {
    ProbeBase();
    virtual ~ProbeBase() = default;
    virtual void Pure() = 0;
};
struct ProbeDerived : ProbeBase {
    void Pure() override {}
};

__attribute__((noinline)) void CallConstructing() {
    g_pConstructing->Pure();
}

ProbeBase::ProbeBase() {
    g_pConstructing = this;
    CallConstructing();
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        return 2;
    }
    InstallCrashGuard();

    CVentiqDlg dlg;
    dlg.m_strVendor = L"AMD";
    dlg.m_nCardCount = 1;
    dlg.m_pCardMatched = {1};
    dlg.m_pRows =
        ParseCardListLines("1002;6719;0000;0000;Valdro simulated AMD board;120;100;80;60;\n", 1).m_pRows;
    dlg.m_nMatchedRow = 0;
    if (!dlg.StartBackend()) {
        return 4;
    }
    dlg.TakeFanControl();
    const std::wstring how = argv[1];
    // Fans found at a fixed speed are the program's: their owner arms the guard. Disarmed, nothing is.
    if (how != L"disarmed") {
        dlg.m_pFanOwner->Adopt(true, true);
    }
    if (how == L"disarmed") {
        AccessViolation();
    } else if (how == L"terminate") {
        Promise();
    } else if (how == L"pure-call") {
        ProbeDerived* volatile derived = new ProbeDerived();
        delete derived;
    } else if (how == L"invalid-parameter") {
        // Reported the way the runtime reports one: through the installed handler.
        _get_invalid_parameter_handler()(nullptr, nullptr, nullptr, 0, 0);
    } else if (how == L"access-violation") {
        AccessViolation();
    }
    return 3;
}
