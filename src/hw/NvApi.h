// CNvApi: the program's access layer to the NVIDIA driver API, reached through the driver
// library's nvapi_QueryInterface by interface id.
#pragma once
#include "hw/NvApiRecords.h"

#include <windows.h>

// Statuses of the access layer itself; the driver's operations return 0 for success.
constexpr NvStatus kNvLibraryError = -1;      // no nvapi_QueryInterface, or the driver's initialise failed
constexpr NvStatus kNvLibraryNotFound = -2;   // the library does not load (remembered for the run)
constexpr NvStatus kNvNoImplementation = -3;  // the driver does not provide the operation
constexpr NvStatus kNvApiNotInitialized = -4; // Unload without a loaded library
// The driver's answer to a handle from before it restarted: the GPUs must be enumerated again.
constexpr NvStatus kNvHandleInvalidated = -178;

// The driver library is found among the loaded modules or loaded from the system directory on the
// first operation, and initialised; each operation's interface is fetched once and kept.
class CNvApi {
public:
    CNvApi() = default;
    ~CNvApi();
    CNvApi(const CNvApi&) = delete;
    CNvApi& operator=(const CNvApi&) = delete;

    NvStatus Initialize();
    // Calls the driver's unload and releases the library; kNvApiNotInitialized when none was loaded.
    NvStatus Unload();
    // A new session with the library kept loaded: the driver's unload, then its initialise again.
    NvStatus Reinitialize();
    NvStatus EnumPhysicalGPUs(NvPhysicalGpuHandle handles[64], NvU32* count);
    NvStatus EnumNvidiaDisplayHandle(NvU32 index, NvDisplayHandle* display);
    NvStatus GetAssociatedDisplayOutputId(NvDisplayHandle display, NvU32* outputId);
    NvStatus GetThermalSettings(NvPhysicalGpuHandle gpu, NvU32 sensorIndex,
                                NV_GPU_THERMAL_SETTINGS* settings);
    NvStatus QueryCoolerState(NvPhysicalGpuHandle gpu, NvU32 coolerIndex, NvCoolerStateRecord* state);
    NvStatus ApplyCoolerLevels(NvPhysicalGpuHandle gpu, NvU32 coolerIndex, NvCoolerLevelsRecord* levels);
    // Both I2C operations take the same record and word; the word holds 1 before the first call.
    NvStatus I2CRead(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info, NvU32* word);
    NvStatus I2CWrite(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info, NvU32* word);

private:
    enum Operation {
        kInitialize,
        kUnload,
        kEnumPhysicalGPUs,
        kEnumNvidiaDisplayHandle,
        kGetAssociatedDisplayOutputId,
        kGetThermalSettings,
        kQueryCoolerState,
        kApplyCoolerLevels,
        kI2CRead,
        kI2CWrite,
        kOperationCount
    };
    enum class LoadState { NotLoaded, Loaded, Failed };
    using QueryInterface = void*(__cdecl*)(NvU32);

    NvStatus Load();
    void* Fetch(Operation operation);
    // Loads on first use and calls the operation's interface with the arguments.
    template <class... Args> NvStatus Call(Operation operation, Args... args);
    void Release();

    LoadState m_state = LoadState::NotLoaded;
    HMODULE m_hLibrary = nullptr;
    bool m_bOwnsLibrary = false; // loaded by us, not found already loaded
    QueryInterface m_pQueryInterface = nullptr;
    void* m_pInterfaces[kOperationCount] = {};
    bool m_bFetched[kOperationCount] = {};
};
