// AMD display library start-up: loading the library, the adapter choice and the CrossFire test.
#include "app/VentiqDlg.h"
#include "fan/UlpsKeys.h"
#include "hw/AdlRecords.h"

#include <vector>

namespace {
constexpr int kAmdVendorId = 1002;
// More adapter records than any driver reports; a larger count is not believed.
constexpr int kMaxAdapterRecords = 4096;

// The library's memory comes from the process heap and is kept for the rest of the run.
void* __stdcall AdlMallocCallback(int size) {
    return size > 0 ? ::HeapAlloc(::GetProcessHeap(), 0, static_cast<SIZE_T>(size)) : nullptr;
}

// Only the copy in the system directory: a driver library planted beside the program or in the
// current directory would run with the program's administrator rights.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The first record, in the library's order, that is active and has AMD's vendor id; -1 when none.
int ChooseAdapter(HMODULE adl, int adapterCount) {
    const auto infoGet = AdlFunction<AdlAdapterInfoGet>(adl, "ADL_Adapter_AdapterInfo_Get");
    const auto activeGet = AdlFunction<AdlAdapterActiveGet>(adl, "ADL_Adapter_Active_Get");
    if (adapterCount <= 0 || adapterCount > kMaxAdapterRecords) {
        return -1;
    }
    std::vector<AdapterInfo> records(static_cast<size_t>(adapterCount));
    if (infoGet != nullptr) {
        infoGet(records.data(), adapterCount * static_cast<int>(sizeof(AdapterInfo)));
    }
    for (const AdapterInfo& record : records) {
        int active = 0;
        if (activeGet != nullptr) {
            activeGet(record.iAdapterIndex, &active);
        }
        if (active != 0 && record.iVendorID == kAmdVendorId) {
            return record.iAdapterIndex;
        }
    }
    return -1;
}

// Whether the driver reports CrossFire as supported and switched on; false when it cannot be asked.
bool IsCrossfireOn(HMODULE adl, int adapterIndex) {
    const auto caps = AdlFunction<AdlCrossfireCaps>(adl, "ADL_Adapter_Crossfire_Caps");
    const auto get = AdlFunction<AdlCrossfireGet>(adl, "ADL_Adapter_Crossfire_Get");
    if (caps == nullptr || get == nullptr) {
        return false;
    }
    int preferred = 0;
    int combinations = 0;
    ADLCrossfireComb* comb = nullptr;
    caps(adapterIndex, &preferred, &combinations, &comb);
    ADLCrossfireInfo info{};
    get(adapterIndex, comb, &info);
    return info.iSupported == 1 && info.iState == 1;
}
} // namespace

bool CVentiqDlg::StartAmdBackend() {
    m_nAdapterCount = 0;
    m_hADL = LoadSystemLibrary(L"atiadlxx.dll");
    if (m_hADL == nullptr) {
        m_hADL = LoadSystemLibrary(L"atiadlxy.dll");
    }
    if (m_hADL == nullptr) {
        return false;
    }
    const auto create = AdlFunction<AdlMainControlCreate>(m_hADL, "ADL_Main_Control_Create");
    const auto numberOfAdapters =
        AdlFunction<AdlNumberOfAdaptersGet>(m_hADL, "ADL_Adapter_NumberOfAdapters_Get");
    const bool complete = create != nullptr && numberOfAdapters != nullptr &&
                          AdlFunction<AdlAdapterInfoGet>(m_hADL, "ADL_Adapter_AdapterInfo_Get") != nullptr &&
                          AdlFunction<AdlAdapterActiveGet>(m_hADL, "ADL_Adapter_Active_Get") != nullptr;
    if (!complete || create(&AdlMallocCallback, 1) != 0 || numberOfAdapters(&m_nAdapterCount) != 0) {
        // A library that did not come up is let go, so nothing later calls into it.
        ::FreeLibrary(m_hADL);
        m_hADL = nullptr;
        return false;
    }
    m_nAdapterIndex = ChooseAdapter(m_hADL, m_nAdapterCount);
    m_bUlpsAtStart = false;
    m_bUlpsEnabled = false;
    if (IsCrossfireOn(m_hADL, m_nAdapterIndex)) {
        ReadUlpsState(kDisplayClassKey, kAdapterMarkerValue);
    }
    return true;
}

void CVentiqDlg::ReinitAdl() {
    if (const auto create = AdlFunction<AdlMainControlCreate>(m_hADL, "ADL_Main_Control_Create")) {
        create(&AdlMallocCallback, 1);
    }
    if (const auto numberOfAdapters =
            AdlFunction<AdlNumberOfAdaptersGet>(m_hADL, "ADL_Adapter_NumberOfAdapters_Get")) {
        numberOfAdapters(&m_nAdapterCount);
    }
    m_nAdapterIndex = ChooseAdapter(m_hADL, m_nAdapterCount);
}
