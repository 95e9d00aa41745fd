// AMD display library records and entry points, declared as the program uses them. The library's
// functions are cdecl and its memory callback stdcall (this matters only in the x86 build).
#pragma once
#include <windows.h>

#include <cstddef>

// Adapter record; only the index and the vendor id are read.
struct AdapterInfo {
    int iSize;
    int iAdapterIndex;
    char reserved1[268];
    int iVendorID; // 1002 for AMD, as a decimal number
    char reserved2[1292];
};
static_assert(sizeof(AdapterInfo) == 1572);
static_assert(offsetof(AdapterInfo, iAdapterIndex) == 4);
static_assert(offsetof(AdapterInfo, iVendorID) == 276);

struct ADLTemperature {
    int iSize;
    int iTemperature; // thousandths of a degree Celsius
};
static_assert(sizeof(ADLTemperature) == 8);

struct ADLFanSpeedInfo {
    int iSize;
    int iFlags;
    int iMinPercent;
    int iMaxPercent;
    int iMinRPM;
    int iMaxRPM;
};
static_assert(sizeof(ADLFanSpeedInfo) == 24);

struct ADLFanSpeedValue {
    int iSize;
    int iSpeedType; // 1: percent
    int iFanSpeed;
    int iFlags; // 1: user-defined speed
};
static_assert(sizeof(ADLFanSpeedValue) == 16);
static_assert(offsetof(ADLFanSpeedValue, iFanSpeed) == 8);

// One CrossFire combination; the program only passes the library's own list back to it.
struct ADLCrossfireComb {
    int iNumLinkAdapter;
    int iAdaptLink[3];
};
static_assert(sizeof(ADLCrossfireComb) == 16);

struct ADLCrossfireInfo {
    int iErrorCode;
    int iState;
    int iSupported;
};
static_assert(sizeof(ADLCrossfireInfo) == 12);
static_assert(offsetof(ADLCrossfireInfo, iSupported) == 8);

// One I2C transaction. It holds a pointer, so it takes the natural layout of the build; iSize is its size.
struct ADLI2C {
    int iSize;
    int iLine;
    int iAddress;
    int iOffset;
    int iAction; // 1 read, 2 write
    int iSpeed;
    int iDataSize;
    char* pcData;
};
#if defined(_WIN64)
static_assert(sizeof(ADLI2C) == 40 && offsetof(ADLI2C, pcData) == 32);
#else
static_assert(sizeof(ADLI2C) == 32 && offsetof(ADLI2C, pcData) == 28);
#endif
static_assert(offsetof(ADLI2C, iDataSize) == 24);

using ADL_MAIN_MALLOC_CALLBACK = void*(__stdcall*)(int);
using AdlMainControlCreate = int(__cdecl*)(ADL_MAIN_MALLOC_CALLBACK, int);
using AdlNumberOfAdaptersGet = int(__cdecl*)(int*);
using AdlAdapterInfoGet = int(__cdecl*)(AdapterInfo*, int);
using AdlAdapterActiveGet = int(__cdecl*)(int, int*);
using AdlCrossfireCaps = int(__cdecl*)(int, int*, int*, ADLCrossfireComb**);
using AdlCrossfireGet = int(__cdecl*)(int, ADLCrossfireComb*, ADLCrossfireInfo*);
using AdlWriteAndReadI2C = int(__cdecl*)(int, ADLI2C*);

// An entry point of the loaded library by name, or null (also when no library is loaded).
template <class Function> Function AdlFunction(HMODULE adl, const char* name) {
    if (adl == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(adl, name)));
}
