// Ventiq's start with Windows: the task registered, removed and looked up through Task Scheduler 2.0.
#include "app/StartupTask.h"

#include "app/StartupTaskXml.h"
#include "framework/WinApp.h"

#define SECURITY_WIN32
#include <security.h>
#include <taskschd.h>
#include <wrl/client.h>

#include <string>

using Microsoft::WRL::ComPtr;

namespace {
const wchar_t kTaskName[] = L"Ventiq";

// COM on this thread for one scheduler call; nested in the window's own initialisation there.
class CComScope {
public:
    CComScope() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComScope() {
        if (SUCCEEDED(m_hr)) {
            ::CoUninitialize();
        }
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

private:
    HRESULT m_hr;
};

// An owned BSTR, for the calls that take one.
class CBstr {
public:
    explicit CBstr(const std::wstring& text)
        : m_bstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~CBstr() { ::SysFreeString(m_bstr); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    BSTR Get() const { return m_bstr; }

private:
    BSTR m_bstr;
};

// The scheduler's root folder, connected as the calling user.
HRESULT OpenRootFolder(ComPtr<ITaskFolder>& folder) {
    ComPtr<ITaskService> service;
    HRESULT hr = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                    reinterpret_cast<void**>(service.GetAddressOf()));
    if (SUCCEEDED(hr)) {
        const VARIANT none{};
        hr = service->Connect(none, none, none, none);
    }
    if (SUCCEEDED(hr)) {
        const CBstr root(L"\\");
        hr = service->GetFolder(root.Get(), folder.GetAddressOf());
    }
    return hr;
}

// DOMAIN\user of this process, as the task's trigger and principal name the user.
std::wstring CurrentUserId() {
    wchar_t name[512] = {};
    ULONG length = ARRAYSIZE(name);
    return ::GetUserNameExW(NameSamCompatible, name, &length) ? std::wstring(name, length) : std::wstring();
}

bool IsNotFound(HRESULT hr) {
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}
} // namespace

HRESULT RegisterStartupTask() {
    const std::wstring user = CurrentUserId();
    if (user.empty()) {
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    const CComScope com;
    ComPtr<ITaskFolder> folder;
    HRESULT hr = OpenRootFolder(folder);
    if (FAILED(hr)) {
        return hr;
    }
    const CBstr name(kTaskName);
    const CBstr xml(StartupTaskXml(ExecutablePath(), user));
    const VARIANT none{};
    ComPtr<IRegisteredTask> task;
    return folder->RegisterTask(name.Get(), xml.Get(), TASK_CREATE_OR_UPDATE, none, none,
                                TASK_LOGON_INTERACTIVE_TOKEN, none, task.GetAddressOf());
}

HRESULT DeleteStartupTask() {
    const CComScope com;
    ComPtr<ITaskFolder> folder;
    HRESULT hr = OpenRootFolder(folder);
    if (SUCCEEDED(hr)) {
        const CBstr name(kTaskName);
        hr = folder->DeleteTask(name.Get(), 0);
    }
    return IsNotFound(hr) ? S_OK : hr;
}

bool StartupTaskExists() {
    const CComScope com;
    ComPtr<ITaskFolder> folder;
    ComPtr<IRegisteredTask> task;
    const CBstr name(kTaskName);
    return SUCCEEDED(OpenRootFolder(folder)) && SUCCEEDED(folder->GetTask(name.Get(), task.GetAddressOf()));
}

bool SetStartWithWindows(bool on, HWND owner) {
    const HRESULT hr = on ? RegisterStartupTask() : DeleteStartupTask();
    if (SUCCEEDED(hr)) {
        return true;
    }
    wchar_t code[16] = {};
    ::wsprintfW(code, L"0x%08X", static_cast<unsigned>(hr));
    AppMessageBox(owner, std::wstring(on ? L"Ventiq could not set itself to start with Windows"
                                         : L"Ventiq could not stop starting with Windows") +
                             L" (Task Scheduler error " + code + L").");
    return false;
}
