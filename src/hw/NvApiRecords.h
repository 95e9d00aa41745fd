// NVIDIA driver API records, declared as the program uses them. A version word is the record size
// in its low 16 bits and the record version in its high 16 bits.
#pragma once
#include <cstddef>
#include <cstdint>

using NvStatus = std::int32_t;
using NvU32 = std::uint32_t;
using NvPhysicalGpuHandle = struct NvPhysicalGpuOpaque*;
using NvDisplayHandle = struct NvDisplayOpaque*;

constexpr NvU32 NvStructVersion(std::size_t size, unsigned version) {
    return static_cast<NvU32>(size) | (static_cast<NvU32>(version) << 16);
}

// Thermal settings, version 2: three sensors, of which the first one's current temperature is read.
struct NV_GPU_THERMAL_SETTINGS {
    NvU32 version;
    NvU32 count;
    struct Sensor {
        std::int32_t reserved1[3];
        std::int32_t currentTemp; // whole degrees Celsius
        std::int32_t reserved2;
    } sensor[3];
};
constexpr NvU32 NV_GPU_THERMAL_SETTINGS_VER = NvStructVersion(sizeof(NV_GPU_THERMAL_SETTINGS), 2);
static_assert(sizeof(NV_GPU_THERMAL_SETTINGS) == 68 && NV_GPU_THERMAL_SETTINGS_VER == 0x20044);
static_assert(offsetof(NV_GPU_THERMAL_SETTINGS, sensor) +
                  offsetof(NV_GPU_THERMAL_SETTINGS::Sensor, currentTemp) ==
              20);

// Cooler state, version 3: twenty coolers, of which the first one's level and policy are read.
struct NvCoolerStateRecord {
    NvU32 version;
    NvU32 count;
    struct Cooler {
        std::int32_t reserved1[6];
        std::int32_t currentLevel; // percent
        std::int32_t reserved2;
        std::int32_t currentPolicy; // 1 manual; 8 or 16 driver-controlled
        std::int32_t reserved3[7];
    } cooler[20];
};
constexpr NvU32 NvCoolerStateRecordVersion = NvStructVersion(sizeof(NvCoolerStateRecord), 3);
static_assert(sizeof(NvCoolerStateRecord) == 1288 && NvCoolerStateRecordVersion == 0x30508);
static_assert(offsetof(NvCoolerStateRecord, cooler) + offsetof(NvCoolerStateRecord::Cooler, currentLevel) ==
              32);
static_assert(offsetof(NvCoolerStateRecord, cooler) + offsetof(NvCoolerStateRecord::Cooler, currentPolicy) ==
              40);

// Cooler policies of the driver's first cooler: a fixed level, and the driver's own control.
constexpr int kNvPolicyManual = 1;
constexpr int kNvPolicyDriver = 32;

// Cooler levels, version 1: a level and a policy for each of twenty coolers.
struct NvCoolerLevelsRecord {
    NvU32 version;
    struct Level {
        std::int32_t level;
        std::int32_t policy;
    } cooler[20];
};
constexpr NvU32 NvCoolerLevelsRecordVersion = NvStructVersion(sizeof(NvCoolerLevelsRecord), 1);
static_assert(sizeof(NvCoolerLevelsRecord) == 164 && NvCoolerLevelsRecordVersion == 0x100A4);
static_assert(offsetof(NvCoolerLevelsRecord, cooler) == 4);

// One I2C transaction, version 3. It holds pointers, so it takes the natural layout of the build and
// its version word follows from its size: 44 bytes on x86, 64 on x64.
struct NV_I2C_INFO {
    NvU32 version;
    NvU32 displayMask;
    std::uint8_t bIsDDCPort;
    std::uint8_t i2cDevAddress;
    std::uint8_t* pbI2cRegAddress;
    NvU32 regAddrSize;
    std::uint8_t* pbData;
    NvU32 cbSize;
    NvU32 i2cSpeed;
    NvU32 i2cSpeedKhz;
    std::uint8_t portId;
    NvU32 bIsPortIdSet;
};
constexpr NvU32 NV_I2C_INFO_VER = NvStructVersion(sizeof(NV_I2C_INFO), 3);
#if defined(_WIN64)
static_assert(sizeof(NV_I2C_INFO) == 64 && NV_I2C_INFO_VER == 0x30040);
static_assert(offsetof(NV_I2C_INFO, pbI2cRegAddress) == 16 && offsetof(NV_I2C_INFO, pbData) == 32);
static_assert(offsetof(NV_I2C_INFO, portId) == 52 && offsetof(NV_I2C_INFO, bIsPortIdSet) == 56);
#else
static_assert(sizeof(NV_I2C_INFO) == 44 && NV_I2C_INFO_VER == 0x3002C);
static_assert(offsetof(NV_I2C_INFO, pbI2cRegAddress) == 12 && offsetof(NV_I2C_INFO, regAddrSize) == 16);
static_assert(offsetof(NV_I2C_INFO, pbData) == 20 && offsetof(NV_I2C_INFO, cbSize) == 24);
static_assert(offsetof(NV_I2C_INFO, i2cSpeed) == 28 && offsetof(NV_I2C_INFO, i2cSpeedKhz) == 32);
static_assert(offsetof(NV_I2C_INFO, portId) == 36 && offsetof(NV_I2C_INFO, bIsPortIdSet) == 40);
#endif
static_assert(offsetof(NV_I2C_INFO, bIsDDCPort) == 8 && offsetof(NV_I2C_INFO, i2cDevAddress) == 9);
