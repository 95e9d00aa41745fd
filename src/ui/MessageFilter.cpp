// Letting messages from less privileged processes through the message filter.
#include "ui/MessageFilter.h"

namespace {
template <typename Function> Function FindInUser32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}
} // namespace

MessageFilterFunctions FindMessageFilterFunctions() {
    return {FindInUser32<MessageFilterFunctions::ForWindow>("ChangeWindowMessageFilterEx"),
            FindInUser32<MessageFilterFunctions::ForProcess>("ChangeWindowMessageFilter")};
}

bool AllowFromLowerIntegrity(const MessageFilterFunctions& functions, HWND hWnd, UINT message) {
    if (functions.m_pfnForWindow != nullptr) {
        return functions.m_pfnForWindow(hWnd, message, MSGFLT_ALLOW, nullptr) != FALSE;
    }
    if (functions.m_pfnForProcess != nullptr) {
        return functions.m_pfnForProcess(message, MSGFLT_ADD) != FALSE;
    }
    return true;
}
