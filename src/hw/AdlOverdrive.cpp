// The AMD display library's Overdrive fan and temperature calls, looked up at each call site.
#include "hw/AdlOverdrive.h"

#include "hw/AdlRecords.h"

namespace {
constexpr int kSpeedTypePercent = 1;
constexpr int kFlagUserDefinedSpeed = 1;
constexpr int kThermalController = 0;

using AdlTemperatureGet = int(__cdecl*)(int, int, ADLTemperature*);
using AdlFanSpeedInfoGet = int(__cdecl*)(int, int, ADLFanSpeedInfo*);
using AdlFanSpeedGet = int(__cdecl*)(int, int, ADLFanSpeedValue*);
using AdlFanSpeedSet = int(__cdecl*)(int, int, ADLFanSpeedValue*);
using AdlFanSpeedToDefaultSet = int(__cdecl*)(int, int);
using AdlMainControlDestroy = int(__cdecl*)();
} // namespace

bool AdlReadTemperature(HMODULE adl, int adapterIndex, int& degrees) {
    const auto get = AdlFunction<AdlTemperatureGet>(adl, "ADL_Overdrive5_Temperature_Get");
    if (get == nullptr) {
        return false;
    }
    ADLTemperature temperature{};
    temperature.iSize = sizeof(temperature);
    if (get(adapterIndex, kThermalController, &temperature) != 0) {
        return false;
    }
    degrees = temperature.iTemperature / 1000;
    return true;
}

int AdlReadFanPercent(HMODULE adl, int adapterIndex) {
    if (const auto info = AdlFunction<AdlFanSpeedInfoGet>(adl, "ADL_Overdrive5_FanSpeedInfo_Get")) {
        ADLFanSpeedInfo answer{};
        answer.iSize = sizeof(answer);
        info(adapterIndex, kThermalController, &answer);
    }
    ADLFanSpeedValue value{};
    value.iSpeedType = kSpeedTypePercent;
    if (const auto get = AdlFunction<AdlFanSpeedGet>(adl, "ADL_Overdrive5_FanSpeed_Get")) {
        get(adapterIndex, kThermalController, &value);
    }
    return value.iFanSpeed;
}

void AdlSetFanPercent(HMODULE adl, int adapterIndex, int percent) {
    if (const auto set = AdlFunction<AdlFanSpeedSet>(adl, "ADL_Overdrive5_FanSpeed_Set")) {
        ADLFanSpeedValue value{};
        value.iSpeedType = kSpeedTypePercent;
        value.iFanSpeed = percent;
        value.iFlags = kFlagUserDefinedSpeed;
        set(adapterIndex, kThermalController, &value);
    }
}

void AdlSetFanDefault(HMODULE adl, int adapterIndex) {
    if (const auto set = AdlFunction<AdlFanSpeedToDefaultSet>(adl, "ADL_Overdrive5_FanSpeedToDefault_Set")) {
        set(adapterIndex, kThermalController);
    }
}

void AdlDestroy(HMODULE adl) {
    if (const auto destroy = AdlFunction<AdlMainControlDestroy>(adl, "ADL_Main_Control_Destroy")) {
        destroy();
    }
}
