// CSystemInfo: the program's WMI connection (display adapter ids) and the processor brand string.
#pragma once

#include <windows.h>

#include <string>

struct IWbemLocator;
struct IWbemServices;

class CSystemInfo {
  public:
    // Initialises COM on this thread and connects to root\cimv2; a failure only leaves the queries
    // empty. COM stays initialised for the rest of the run.
    CSystemInfo();
    ~CSystemInfo();
    CSystemInfo(const CSystemInfo&) = delete;
    CSystemInfo& operator=(const CSystemInfo&) = delete;

    // PNPDeviceID of every Win32_VideoController, in WMI's order; at most four are stored and
    // entries past them are left as they were.
    void GetVideoControllerIds(std::wstring (&strIds)[4]);

    // The CPUID brand string (leaves 0x80000002..4), also kept in m_strCpuBrand.
    std::wstring GetCpuBrand();

    // Strings the last query stored.
    int GetResultCount() const { return m_nResultCount; }

  private:
    void ConnectWmi();
    // Appends the string value of strProperty of every instance of strClass at m_nResultCount while
    // the table has room; instances whose value is not a string are skipped.
    void QueryProperty(const std::wstring& strClass, const std::wstring& strProperty,
                       std::wstring (&strTable)[4]);

    int m_nResultCount = 0;
    HRESULT m_hrLast = S_OK; // kept for a debugger to show, never acted on
    IWbemLocator* m_pLocator = nullptr;
    IWbemServices* m_pServices = nullptr;
    std::wstring m_strCpuBrand;
};
