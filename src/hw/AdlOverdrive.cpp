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

std::optional<AdlFanReading> AdlReadFan(HMODULE adl, int adapterIndex) {
    if (const auto info = AdlFunction<AdlFanSpeedInfoGet>(adl, "ADL_Overdrive5_FanSpeedInfo_Get")) {
        ADLFanSpeedInfo answer{};
        answer.iSize = sizeof(answer);
        info(adapterIndex, kThermalController, &answer);
    }
    const auto get = AdlFunction<AdlFanSpeedGet>(adl, "ADL_Overdrive5_FanSpeed_Get");
    ADLFanSpeedValue value{};
    value.iSpeedType = kSpeedTypePercent;
    if (get == nullptr || get(adapterIndex, kThermalController, &value) != 0) {
        return std::nullopt;
    }
    return AdlFanReading{value.iFanSpeed, (value.iFlags & kFlagUserDefinedSpeed) != 0};
}

bool AdlSetFanPercent(HMODULE adl, int adapterIndex, int percent) {
    const auto set = AdlFunction<AdlFanSpeedSet>(adl, "ADL_Overdrive5_FanSpeed_Set");
    ADLFanSpeedValue value{};
    value.iSpeedType = kSpeedTypePercent;
    value.iFanSpeed = percent;
    value.iFlags = kFlagUserDefinedSpeed;
    return set != nullptr && set(adapterIndex, kThermalController, &value) == 0;
}

bool AdlSetFanDefault(HMODULE adl, int adapterIndex) {
    const auto set = AdlFunction<AdlFanSpeedToDefaultSet>(adl, "ADL_Overdrive5_FanSpeedToDefault_Set");
    return set != nullptr && set(adapterIndex, kThermalController) == 0;
}

void AdlDestroy(HMODULE adl) {
    if (const auto destroy = AdlFunction<AdlMainControlDestroy>(adl, "ADL_Main_Control_Destroy")) {
        destroy();
    }
}
