// CSystemInfo: the program's WMI connection (display adapter ids) and the processor brand string.
#include "cards/SystemInfo.h"

#include <wbemidl.h>

#include <cstring>

#if defined(_MSC_VER)
#include <intrin.h>
#else
#include <cpuid.h>
#endif

namespace {

constexpr int kTableSize = 4;

void CpuId(unsigned int nLeaf, unsigned int (&nRegs)[4]) {
#if defined(_MSC_VER)
    int regs[4] = {};
    __cpuidex(regs, static_cast<int>(nLeaf), 0);
    for (int i = 0; i < 4; ++i)
        nRegs[i] = static_cast<unsigned int>(regs[i]);
#else
    __cpuid_count(nLeaf, 0, nRegs[0], nRegs[1], nRegs[2], nRegs[3]);
#endif
}

} // namespace

CSystemInfo::CSystemInfo() {
    ConnectWmi();
}

CSystemInfo::~CSystemInfo() {
    if (m_pServices)
        m_pServices->Release();
    if (m_pLocator)
        m_pLocator->Release();
}

void CSystemInfo::ConnectWmi() {
    // Both results are ignored: COM may already be set up on this thread, and the security
    // settings can only be made once per process.
    CoInitialize(nullptr);
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_CONNECT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_ALL, IID_IWbemLocator,
                     reinterpret_cast<void**>(&m_pLocator));
    if (!m_pLocator)
        return;
    BSTR bstrNamespace = SysAllocString(L"root\\cimv2");
    m_hrLast = m_pLocator->ConnectServer(bstrNamespace, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                         &m_pServices);
    SysFreeString(bstrNamespace);
}

void CSystemInfo::GetVideoControllerIds(std::wstring (&strIds)[4]) {
    m_nResultCount = 0;
    QueryProperty(L"Win32_VideoController", L"PNPDeviceID", strIds);
}

void CSystemInfo::QueryProperty(const std::wstring& strClass, const std::wstring& strProperty,
                                std::wstring (&strTable)[4]) {
    if (!m_pServices)
        return;
    IEnumWbemClassObject* pEnum = nullptr;
    BSTR bstrClass = SysAllocString(strClass.c_str());
    const long nFlags = static_cast<long>(WBEM_FLAG_FORWARD_ONLY) | static_cast<long>(WBEM_FLAG_SHALLOW);
    m_hrLast = m_pServices->CreateInstanceEnum(bstrClass, nFlags, nullptr, &pEnum);
    SysFreeString(bstrClass);
    if (!pEnum)
        return;
    for (;;) {
        IWbemClassObject* pObject = nullptr;
        ULONG nReturned = 0;
        pEnum->Next(static_cast<long>(WBEM_INFINITE), 1, &pObject, &nReturned);
        if (nReturned == 0 || !pObject)
            break;
        VARIANT value;
        VariantInit(&value);
        m_hrLast = pObject->Get(strProperty.c_str(), 0, &value, nullptr, nullptr);
        if (value.vt == VT_BSTR && m_nResultCount < kTableSize) {
            strTable[m_nResultCount] = value.bstrVal ? value.bstrVal : L"";
            ++m_nResultCount;
        }
        VariantClear(&value);
        pObject->Release();
    }
    pEnum->Release();
}

std::wstring CSystemInfo::GetCpuBrand() {
    char szBrand[260] = {};
    for (unsigned int i = 0; i < 3; ++i) {
        unsigned int nRegs[4] = {};
        CpuId(0x80000002u + i, nRegs);
        std::memcpy(szBrand + 16 * i, nRegs, sizeof nRegs);
    }
    m_strCpuBrand.clear();
    const int nChars = MultiByteToWideChar(CP_THREAD_ACP, 0, szBrand, -1, nullptr, 0);
    if (nChars > 1) {
        m_strCpuBrand.resize(nChars);
        MultiByteToWideChar(CP_THREAD_ACP, 0, szBrand, -1, m_strCpuBrand.data(), nChars);
        m_strCpuBrand.resize(nChars - 1); // drop the converted NUL
    }
    return m_strCpuBrand;
}
