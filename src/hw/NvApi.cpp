// CNvApi: loading and initialising the NVIDIA driver library, and its operations by interface id.
#include "hw/NvApi.h"

#include "hw/SystemLibrary.h"

namespace {
#if defined(_WIN64)
const wchar_t kLibraryName[] = L"nvapi64.dll";
#else
const wchar_t kLibraryName[] = L"nvapi.dll";
#endif

// Interface ids, in the order of CNvApi::Operation.
const NvU32 kInterfaceIds[] = {
    0x0150E828, // initialise
    0xD22BDD7E, // unload
    0xE5AC921F, // enumerate physical GPUs
    0x9ABDD40D, // enumerate display handles
    0xD995937E, // output id of a display
    0xE3640A56, // thermal settings
    0xDA141340, // cooler state
    0x891FA0AE, // cooler levels
    0x4D7B0709, // I2C read
    0x283AC65A, // I2C write
};
} // namespace

CNvApi::~CNvApi() {
    Release();
}

void CNvApi::Release() {
    if (m_bOwnsLibrary && m_hLibrary != nullptr) {
        ::FreeLibrary(m_hLibrary);
    }
    m_hLibrary = nullptr;
    m_bOwnsLibrary = false;
    m_pQueryInterface = nullptr;
    for (int i = 0; i < kOperationCount; ++i) {
        m_pInterfaces[i] = nullptr;
        m_bFetched[i] = false;
    }
    if (m_state == LoadState::Loaded) {
        m_state = LoadState::NotLoaded;
    }
}

NvStatus CNvApi::Load() {
    if (m_state == LoadState::Loaded) {
        return 0;
    }
    if (m_state == LoadState::Failed) {
        return kNvLibraryNotFound;
    }
    // A library the process already has is used as it is; otherwise only the system directory's copy
    // is loaded, never one planted beside the program or in the current directory.
    m_hLibrary = ::GetModuleHandleW(kLibraryName);
    m_bOwnsLibrary = m_hLibrary == nullptr;
    if (m_hLibrary == nullptr) {
        m_hLibrary = LoadSystemLibrary(kLibraryName);
    }
    if (m_hLibrary == nullptr) {
        m_bOwnsLibrary = false;
        m_state = LoadState::Failed;
        return kNvLibraryNotFound;
    }
    m_pQueryInterface = reinterpret_cast<QueryInterface>(
        reinterpret_cast<void*>(::GetProcAddress(m_hLibrary, "nvapi_QueryInterface")));
    using Initialise = NvStatus(__cdecl*)();
    const auto initialise = reinterpret_cast<Initialise>(Fetch(kInitialize));
    if (initialise == nullptr || initialise() != 0) {
        Release();
        return kNvLibraryError;
    }
    m_state = LoadState::Loaded;
    return 0;
}

void* CNvApi::Fetch(Operation operation) {
    if (!m_bFetched[operation] && m_pQueryInterface != nullptr) {
        m_pInterfaces[operation] = m_pQueryInterface(kInterfaceIds[operation]);
        m_bFetched[operation] = true;
    }
    return m_pInterfaces[operation];
}

template <class... Args> NvStatus CNvApi::Call(Operation operation, Args... args) {
    if (const NvStatus status = Load()) {
        return status;
    }
    using Function = NvStatus(__cdecl*)(Args...);
    const auto function = reinterpret_cast<Function>(Fetch(operation));
    if (function == nullptr) {
        return kNvNoImplementation;
    }
    return function(args...);
}

NvStatus CNvApi::Initialize() {
    return Load();
}

NvStatus CNvApi::Unload() {
    if (m_state != LoadState::Loaded) {
        return kNvApiNotInitialized;
    }
    const NvStatus status = Call(kUnload);
    Release();
    return status;
}

NvStatus CNvApi::Reinitialize() {
    if (m_state != LoadState::Loaded) {
        return Load();
    }
    Call(kUnload);
    using Initialise = NvStatus(__cdecl*)();
    const auto initialise = reinterpret_cast<Initialise>(Fetch(kInitialize));
    return initialise != nullptr ? initialise() : kNvNoImplementation;
}

NvStatus CNvApi::EnumPhysicalGPUs(NvPhysicalGpuHandle handles[64], NvU32* count) {
    return Call(kEnumPhysicalGPUs, handles, count);
}

NvStatus CNvApi::EnumNvidiaDisplayHandle(NvU32 index, NvDisplayHandle* display) {
    return Call(kEnumNvidiaDisplayHandle, index, display);
}

NvStatus CNvApi::GetAssociatedDisplayOutputId(NvDisplayHandle display, NvU32* outputId) {
    return Call(kGetAssociatedDisplayOutputId, display, outputId);
}

NvStatus CNvApi::GetThermalSettings(NvPhysicalGpuHandle gpu, NvU32 sensorIndex,
                                    NV_GPU_THERMAL_SETTINGS* settings) {
    return Call(kGetThermalSettings, gpu, sensorIndex, settings);
}

NvStatus CNvApi::QueryCoolerState(NvPhysicalGpuHandle gpu, NvU32 coolerIndex, NvCoolerStateRecord* state) {
    return Call(kQueryCoolerState, gpu, coolerIndex, state);
}

NvStatus CNvApi::ApplyCoolerLevels(NvPhysicalGpuHandle gpu, NvU32 coolerIndex, NvCoolerLevelsRecord* levels) {
    return Call(kApplyCoolerLevels, gpu, coolerIndex, levels);
}

NvStatus CNvApi::I2CRead(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info, NvU32* word) {
    return Call(kI2CRead, gpu, info, word);
}

NvStatus CNvApi::I2CWrite(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info, NvU32* word) {
    return Call(kI2CWrite, gpu, info, word);
}
