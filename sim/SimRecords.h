// The driver records as the simulated drivers see them, declared on the driver's side independently
// of the program's declarations, so a layout mistake on either side shows up in the journal.
#pragma once
#include <cstddef>
#include <cstdint>

namespace sim {

// ---- AMD display library ----
using AdlMallocCallback = void*(__stdcall*)(int);

struct AdlAdapterInfo {
    int iSize;
    int iAdapterIndex;
    char reserved1[268];
    int iVendorID;
    char strAdapterName[256];
    char reserved2[1036];
};
static_assert(sizeof(AdlAdapterInfo) == 1572);
static_assert(offsetof(AdlAdapterInfo, iAdapterIndex) == 4);
static_assert(offsetof(AdlAdapterInfo, iVendorID) == 276);

struct AdlTemperature {
    int iSize;
    int iTemperature;
};
static_assert(sizeof(AdlTemperature) == 8);

struct AdlFanSpeedInfo {
    int iSize, iFlags, iMinPercent, iMaxPercent, iMinRPM, iMaxRPM;
};
static_assert(sizeof(AdlFanSpeedInfo) == 24);

struct AdlFanSpeedValue {
    int iSize, iSpeedType, iFanSpeed, iFlags;
};
static_assert(sizeof(AdlFanSpeedValue) == 16);

struct AdlCrossfireComb {
    int iNumLinkAdapter;
    int iAdaptLink[3];
};
static_assert(sizeof(AdlCrossfireComb) == 16);

struct AdlCrossfireInfo {
    int iErrorCode, iState, iSupported;
};
static_assert(sizeof(AdlCrossfireInfo) == 12);

struct AdlI2C {
    int iSize, iLine, iAddress, iOffset, iAction, iSpeed, iDataSize;
    char* pcData;
};
#if defined(_WIN64)
static_assert(sizeof(AdlI2C) == 40 && offsetof(AdlI2C, pcData) == 32);
#else
static_assert(sizeof(AdlI2C) == 32 && offsetof(AdlI2C, pcData) == 28);
#endif

// ---- NVIDIA driver API ----
constexpr std::uint32_t NvVersion(std::size_t size, unsigned version) {
    return static_cast<std::uint32_t>(size) | (version << 16);
}

struct NvI2CInfo {
    std::uint32_t version;
    std::uint32_t displayMask;
    std::uint8_t bIsDDCPort;
    std::uint8_t i2cDevAddress;
    std::uint8_t* pbI2cRegAddress;
    std::uint32_t regAddrSize;
    std::uint8_t* pbData;
    std::uint32_t cbSize;
    std::uint32_t i2cSpeed;
    std::uint32_t i2cSpeedKhz;
    std::uint8_t portId;
    std::uint32_t bIsPortIdSet;
};
constexpr std::uint32_t kNvI2CInfoVersion = NvVersion(sizeof(NvI2CInfo), 3);
#if defined(_WIN64)
static_assert(kNvI2CInfoVersion == 0x30040);
#else
static_assert(kNvI2CInfoVersion == 0x3002C && offsetof(NvI2CInfo, bIsPortIdSet) == 40);
#endif

// Records without pointers are the same on both builds; the board reads them by byte offset.
constexpr std::uint32_t kThermalVersion = 0x20044;      // 68 bytes, sensor 0 current temperature at 20
constexpr std::uint32_t kCoolerStateVersion = 0x30508;  // 1288 bytes, level at 32, policy at 40
constexpr std::uint32_t kCoolerLevelsVersion = 0x100A4; // 164 bytes, level at 4, policy at 8

} // namespace sim
