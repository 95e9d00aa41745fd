// The AMD display library front of the simulated board (built as atiadlxx.dll and atiadlxy.dll).
#include "SimBoard.h"
#include "SimModule.h"
#include "SimRecords.h"

#include <cstring>

#define ADL_EXPORT extern "C" __declspec(dllexport)

using namespace sim;

namespace {
// The library's own status codes.
constexpr int kAdlOk = 0;
constexpr int kAdlError = -1;
constexpr int kAdlInvalidParam = -3;
constexpr int kAdlInvalidParamSize = -4;
constexpr int kAdlInvalidAdapter = -5;
constexpr int kAdlNullPointer = -9;

constexpr int kI2CRead = 1;
constexpr int kI2CWrite = 2;
constexpr int kChipAddress = 0x5C;

AdlMallocCallback g_pMalloc = nullptr;
AdlCrossfireComb g_fallbackComb{};

// Adds the card's overdrive arguments and finds the card; -1 when the adapter index is unknown.
int OverdriveCard(CCall& call, int adapter, int thermal, const int* size) {
    call.Line().Arg("adapter", adapter).Arg("thermal", thermal);
    if (size != nullptr) {
        call.Line().Arg("size", *size);
    }
    return call.Board().CardOfAdapter(adapter);
}
} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        return AttachModule(instance);
    }
    if (reason == DLL_PROCESS_DETACH) {
        DetachModule(instance);
    }
    return TRUE;
}

ADL_EXPORT int ADL_Main_Control_Create(AdlMallocCallback callback, int enumConnected) {
    CCall call("ADL_Main_Control_Create");
    call.Line().Arg("callback", callback != nullptr ? 1 : 0).Arg("connected", enumConnected);
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    g_pMalloc = callback;
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Main_Control_Destroy() {
    CCall call("ADL_Main_Control_Destroy");
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    g_pMalloc = nullptr;
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Adapter_NumberOfAdapters_Get(int* count) {
    CCall call("ADL_Adapter_NumberOfAdapters_Get");
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (count == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    *count = static_cast<int>(call.Board().Current().adapters.size());
    call.Line().Arg("count", *count);
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Adapter_AdapterInfo_Get(AdlAdapterInfo* info, int size) {
    CCall call("ADL_Adapter_AdapterInfo_Get");
    call.Line().Arg("size", size);
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    const auto& adapters = call.Board().Current().adapters;
    if (adapters.empty()) {
        return call.Finish(kAdlOk);
    }
    if (info == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    if (size < static_cast<int>(adapters.size() * sizeof(AdlAdapterInfo))) {
        return call.Finish(kAdlInvalidParamSize);
    }
    for (size_t k = 0; k < adapters.size(); ++k) {
        AdlAdapterInfo& record = info[k];
        std::memset(&record, 0, sizeof record);
        record.iSize = sizeof record;
        record.iAdapterIndex = adapters[k].nIndex;
        record.iVendorID = adapters[k].nVendor;
        std::strcpy(record.strAdapterName, "Valdro simulated AMD board");
    }
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Adapter_Active_Get(int adapter, int* active) {
    CCall call("ADL_Adapter_Active_Get");
    call.Line().Arg("adapter", adapter);
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    const ScenarioAdapter* record = call.Board().FindAdapter(adapter);
    if (record == nullptr) {
        return call.Finish(kAdlInvalidAdapter);
    }
    if (active == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    *active = record->nActive;
    call.Line().Arg("active", *active);
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Adapter_Crossfire_Caps(int adapter, int* preferred, int* combinations,
                                          AdlCrossfireComb** comb) {
    CCall call("ADL_Adapter_Crossfire_Caps");
    call.Line().Arg("adapter", adapter);
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (call.Board().FindAdapter(adapter) == nullptr) {
        return call.Finish(kAdlInvalidAdapter);
    }
    if (preferred == nullptr || combinations == nullptr || comb == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    // The library hands out memory through the program's callback, as the real one does.
    void* memory = g_pMalloc != nullptr ? g_pMalloc(sizeof(AdlCrossfireComb)) : nullptr;
    auto* list = memory != nullptr ? static_cast<AdlCrossfireComb*>(memory) : &g_fallbackComb;
    *list = AdlCrossfireComb{2, {adapter, adapter, 0}};
    *preferred = 0;
    *combinations = 1;
    *comb = list;
    call.Line().Arg("preferred", *preferred).Arg("combinations", *combinations);
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Adapter_Crossfire_Get(int adapter, AdlCrossfireComb* comb, AdlCrossfireInfo* info) {
    CCall call("ADL_Adapter_Crossfire_Get");
    call.Line().Arg("adapter", adapter).Arg("comb", comb != nullptr ? 1 : 0);
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (call.Board().FindAdapter(adapter) == nullptr) {
        return call.Finish(kAdlInvalidAdapter);
    }
    if (comb == nullptr || info == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    const Scenario& scenario = call.Board().Current();
    info->iErrorCode = 0;
    info->iSupported = scenario.nCrossfireSupported;
    info->iState = scenario.nCrossfireState;
    call.Line().Arg("supported", info->iSupported).Arg("state", info->iState);
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Overdrive5_Temperature_Get(int adapter, int thermal, AdlTemperature* temperature) {
    CCall call("ADL_Overdrive5_Temperature_Get");
    const int card = OverdriveCard(call, adapter, thermal, temperature ? &temperature->iSize : nullptr);
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (card < 0) {
        return call.Finish(kAdlInvalidAdapter);
    }
    if (temperature == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    if (thermal != 0) {
        return call.Finish(kAdlInvalidParam);
    }
    temperature->iTemperature = call.Board().TemperatureMilli(card);
    call.Line().Arg("temperature", temperature->iTemperature);
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Overdrive5_FanSpeedInfo_Get(int adapter, int thermal, AdlFanSpeedInfo* info) {
    CCall call("ADL_Overdrive5_FanSpeedInfo_Get");
    const int card = OverdriveCard(call, adapter, thermal, info ? &info->iSize : nullptr);
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (card < 0) {
        return call.Finish(kAdlInvalidAdapter);
    }
    if (info == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    // Speeds readable and writable in percent and RPM.
    info->iFlags = 0xF;
    info->iMinPercent = 0;
    info->iMaxPercent = 100;
    info->iMinRPM = 0;
    info->iMaxRPM = 4000;
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Overdrive5_FanSpeed_Get(int adapter, int thermal, AdlFanSpeedValue* value) {
    CCall call("ADL_Overdrive5_FanSpeed_Get");
    const int card = OverdriveCard(call, adapter, thermal, value ? &value->iSize : nullptr);
    if (value != nullptr) {
        call.Line().Arg("type", value->iSpeedType);
    }
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (card < 0) {
        return call.Finish(kAdlInvalidAdapter);
    }
    if (value == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    const int percent = call.Board().FanPercent(card);
    value->iFanSpeed = value->iSpeedType == 1 ? percent : percent * 40;
    // The driver reports a user-defined speed while one is set.
    value->iFlags = call.Board().IsManualFan(card) ? 1 : 0;
    call.Line().Arg("speed", value->iFanSpeed).Arg("flags", value->iFlags);
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Overdrive5_FanSpeed_Set(int adapter, int thermal, AdlFanSpeedValue* value) {
    CCall call("ADL_Overdrive5_FanSpeed_Set");
    const int card = OverdriveCard(call, adapter, thermal, value ? &value->iSize : nullptr);
    if (value != nullptr) {
        call.Line().Arg("type", value->iSpeedType).Arg("speed", value->iFanSpeed).Arg("flags", value->iFlags);
    }
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (card < 0) {
        return call.Finish(kAdlInvalidAdapter);
    }
    if (value == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    const int percent = value->iSpeedType == 1 ? value->iFanSpeed : value->iFanSpeed / 40;
    call.Board().SetManualFan(card, percent);
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Overdrive5_FanSpeedToDefault_Set(int adapter, int thermal) {
    CCall call("ADL_Overdrive5_FanSpeedToDefault_Set");
    const int card = OverdriveCard(call, adapter, thermal, nullptr);
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (card < 0) {
        return call.Finish(kAdlInvalidAdapter);
    }
    call.Board().SetDefaultFan(card);
    return call.Finish(kAdlOk);
}

ADL_EXPORT int ADL_Display_WriteAndReadI2C(int adapter, AdlI2C* i2c) {
    CCall call("ADL_Display_WriteAndReadI2C");
    CJournalLine& line = call.Line();
    line.Arg("adapter", adapter);
    if (i2c == nullptr) {
        return call.Finish(kAdlNullPointer);
    }
    line.Arg("size", i2c->iSize)
        .Arg("line", i2c->iLine)
        .Hex("address", static_cast<std::uint32_t>(i2c->iAddress), 2);
    line.Hex("offset", static_cast<std::uint32_t>(i2c->iOffset), 2).Arg("action", i2c->iAction);
    line.Arg("speed", i2c->iSpeed).Arg("datasize", i2c->iDataSize);
    const bool hasData = i2c->pcData != nullptr && i2c->iDataSize >= 1;
    if (i2c->iAction == kI2CWrite && hasData) {
        line.Hex("data", static_cast<std::uint8_t>(i2c->pcData[0]), 2);
    }
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    const int card = call.Board().CardOfAdapter(adapter);
    if (card < 0) {
        return call.Finish(kAdlInvalidAdapter);
    }
    if (i2c->iSize != static_cast<int>(sizeof(AdlI2C)) || i2c->iLine != 1 || i2c->iDataSize != 1 ||
        !hasData || (i2c->iAction != kI2CRead && i2c->iAction != kI2CWrite)) {
        return call.Finish(kAdlInvalidParam);
    }
    if (!call.Board().HasChip(card) || i2c->iAddress != kChipAddress) {
        return call.Finish(kAdlError);
    }
    const int reg = i2c->iOffset & 0xFF;
    if (i2c->iAction == kI2CRead) {
        i2c->pcData[0] = static_cast<char>(call.Board().ReadRegister(card, reg));
        line.Hex("data", static_cast<std::uint8_t>(i2c->pcData[0]), 2);
    } else {
        call.Board().WriteRegister(card, reg, static_cast<std::uint8_t>(i2c->pcData[0]));
    }
    return call.Finish(kAdlOk);
}
