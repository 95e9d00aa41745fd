// The NVIDIA driver API front of the simulated board (nvapi64.dll; nvapi.dll in the x86 build): one
// export, nvapi_QueryInterface, handing out the operations by interface id.
#include "SimBoard.h"
#include "SimModule.h"
#include "SimRecords.h"

#include <cstdint>
#include <cstring>

using namespace sim;

namespace {
// The driver API's own status codes.
constexpr int kNvOk = 0;
constexpr int kNvError = -1;
constexpr int kNvInvalidArgument = -5;
constexpr int kNvEndEnumeration = -7;
constexpr int kNvInvalidHandle = -8;
constexpr int kNvIncompatibleVersion = -9;
constexpr int kNvHandleInvalidated = -178;
// CardOfGpu's answer for a handle of an earlier generation.
constexpr int kStaleHandle = -2;

constexpr std::uint8_t kChipAddress = 0x5C;

// Handles are recognisable numbers, never pointers the program could follow.
constexpr std::uintptr_t kGpuHandleBase = 0x10DE0100;
constexpr std::uintptr_t kDisplayHandle = 0x10DED000;

void* GpuHandle(int card, int generation) {
    return reinterpret_cast<void*>(kGpuHandleBase + 0x100 * static_cast<std::uintptr_t>(card) +
                                   0x10000 * static_cast<std::uintptr_t>(generation));
}

// Card of a handle the board handed out; -1 for one it never did, kStaleHandle for one from before the
// GPUs got new handles.
int CardOfGpu(CCall& call, void* handle) {
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    const int cards = call.Board().Current().nCards;
    const int current = call.Board().HandleGeneration();
    for (int generation = 0; generation <= current; ++generation) {
        for (int card = 0; card < cards; ++card) {
            if (value != reinterpret_cast<std::uintptr_t>(GpuHandle(card, generation))) {
                continue;
            }
            if (generation != current) {
                call.Line().Arg("gpu", "stale");
                return kStaleHandle;
            }
            call.Line().Arg("gpu", card);
            return card;
        }
    }
    call.Line().Arg("gpu", "invalid");
    return -1;
}

// The status of a call whose handle named no current GPU.
int BadHandle(int card) {
    return card == kStaleHandle ? kNvHandleInvalidated : kNvInvalidHandle;
}

void PutInt(void* record, std::size_t offset, std::int32_t value) {
    std::memcpy(static_cast<char*>(record) + offset, &value, sizeof value);
}

std::int32_t GetInt(const void* record, std::size_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
    return value;
}

int __cdecl Initialize() {
    CCall call("NvAPI_Initialize");
    return call.Finish(call.FaultStatus());
}

int __cdecl Unload() {
    CCall call("NvAPI_Unload");
    return call.Finish(call.FaultStatus());
}

int __cdecl EnumPhysicalGPUs(void** handles, std::uint32_t* count) {
    CCall call("NvAPI_EnumPhysicalGPUs");
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (handles == nullptr || count == nullptr) {
        return call.Finish(kNvInvalidArgument);
    }
    const int cards = call.Board().Current().nCards;
    for (int card = 0; card < cards; ++card) {
        handles[card] = GpuHandle(card, call.Board().HandleGeneration());
    }
    *count = static_cast<std::uint32_t>(cards);
    call.Line().Arg("count", cards);
    return call.Finish(kNvOk);
}

int __cdecl EnumNvidiaDisplayHandle(std::uint32_t index, void** display) {
    CCall call("NvAPI_EnumNvidiaDisplayHandle");
    call.Line().Arg("index", index);
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (display == nullptr) {
        return call.Finish(kNvInvalidArgument);
    }
    if (index >= static_cast<std::uint32_t>(call.Board().Current().nDisplays)) {
        return call.Finish(kNvEndEnumeration);
    }
    *display = reinterpret_cast<void*>(kDisplayHandle);
    return call.Finish(kNvOk);
}

int __cdecl GetAssociatedDisplayOutputId(void* display, std::uint32_t* outputId) {
    CCall call("NvAPI_GetAssociatedDisplayOutputId");
    const bool known = reinterpret_cast<std::uintptr_t>(display) == kDisplayHandle;
    call.Line().Arg("display", known ? "0" : "invalid");
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (!known) {
        return call.Finish(kNvInvalidHandle);
    }
    if (outputId == nullptr) {
        return call.Finish(kNvInvalidArgument);
    }
    *outputId = 1;
    call.Line().Arg("output", 1);
    return call.Finish(kNvOk);
}

int __cdecl GetThermalSettings(void* gpu, std::uint32_t sensor, void* settings) {
    CCall call("NvAPI_GPU_GetThermalSettings");
    const int card = CardOfGpu(call, gpu);
    call.Line().Arg("sensor", sensor);
    if (settings != nullptr) {
        call.Line().Hex("version", static_cast<std::uint32_t>(GetInt(settings, 0)), 1);
    }
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (card < 0) {
        return call.Finish(BadHandle(card));
    }
    if (settings == nullptr || sensor != 0) {
        return call.Finish(kNvInvalidArgument);
    }
    if (static_cast<std::uint32_t>(GetInt(settings, 0)) != kThermalVersion) {
        return call.Finish(kNvIncompatibleVersion);
    }
    // One sensor: controller GPU-internal, range 0..127, current temperature, target GPU.
    const int degrees = call.Board().TemperatureMilli(card) / 1000;
    PutInt(settings, 4, 1);
    PutInt(settings, 8, 1);
    PutInt(settings, 12, 0);
    PutInt(settings, 16, 127);
    PutInt(settings, 20, degrees);
    PutInt(settings, 24, 1);
    call.Line().Arg("temperature", degrees);
    return call.Finish(kNvOk);
}

int __cdecl QueryCoolerState(void* gpu, std::uint32_t cooler, void* state) {
    CCall call("NvQueryCoolerState");
    const int card = CardOfGpu(call, gpu);
    call.Line().Arg("cooler", cooler);
    if (state != nullptr) {
        call.Line().Hex("version", static_cast<std::uint32_t>(GetInt(state, 0)), 1);
    }
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (card < 0) {
        return call.Finish(BadHandle(card));
    }
    if (state == nullptr) {
        return call.Finish(kNvInvalidArgument);
    }
    if (static_cast<std::uint32_t>(GetInt(state, 0)) != kCoolerStateVersion) {
        return call.Finish(kNvIncompatibleVersion);
    }
    const int level = call.Board().CoolerLevel(card);
    const int policy = call.Board().CoolerPolicy(card);
    PutInt(state, 4, 1);  // one cooler
    PutInt(state, 16, 0); // its range: 0..100 %
    PutInt(state, 20, 100);
    PutInt(state, 32, level);
    PutInt(state, 40, policy);
    call.Line().Arg("level", level).Arg("policy", policy);
    return call.Finish(kNvOk);
}

int __cdecl ApplyCoolerLevels(void* gpu, std::uint32_t cooler, const void* levels) {
    CCall call("NvApplyCoolerLevels");
    const int card = CardOfGpu(call, gpu);
    call.Line().Arg("cooler", cooler);
    if (levels != nullptr) {
        call.Line().Hex("version", static_cast<std::uint32_t>(GetInt(levels, 0)), 1);
        call.Line().Arg("level", GetInt(levels, 4)).Arg("policy", GetInt(levels, 8));
    }
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (card < 0) {
        return call.Finish(BadHandle(card));
    }
    if (levels == nullptr) {
        return call.Finish(kNvInvalidArgument);
    }
    if (static_cast<std::uint32_t>(GetInt(levels, 0)) != kCoolerLevelsVersion) {
        return call.Finish(kNvIncompatibleVersion);
    }
    if (GetInt(levels, 8) == 1) {
        call.Board().SetManualFan(card, GetInt(levels, 4));
    } else {
        call.Board().SetDefaultFan(card);
    }
    return call.Finish(kNvOk);
}

int I2CTransfer(const char* name, bool write, void* gpu, NvI2CInfo* info, std::uint32_t* word) {
    CCall call(name);
    const int card = CardOfGpu(call, gpu);
    if (info == nullptr) {
        return call.Finish(call.FaultStatus() != 0 ? call.FaultStatus() : kNvInvalidArgument);
    }
    CJournalLine& line = call.Line();
    line.Hex("version", info->version, 1).Hex("address", info->i2cDevAddress, 2);
    if (info->pbI2cRegAddress != nullptr) {
        line.Hex("reg", *info->pbI2cRegAddress, 2);
    }
    line.Arg("regsize", info->regAddrSize).Arg("size", info->cbSize).Arg("speed", info->i2cSpeed);
    line.Arg("port", info->portId).Arg("portset", info->bIsPortIdSet);
    const bool hasData = info->pbData != nullptr && info->cbSize >= 1;
    if (write && hasData) {
        line.Hex("data", info->pbData[0], 2);
    }
    if (const int status = call.FaultStatus()) {
        return call.Finish(status);
    }
    if (card < 0) {
        return call.Finish(BadHandle(card));
    }
    if (info->version != kNvI2CInfoVersion) {
        return call.Finish(kNvIncompatibleVersion);
    }
    if (info->pbI2cRegAddress == nullptr || !hasData || word == nullptr || info->regAddrSize != 1 ||
        info->cbSize != 1) {
        return call.Finish(kNvInvalidArgument);
    }
    if (!call.Board().HasChip(card) || info->i2cDevAddress != kChipAddress) {
        return call.Finish(kNvError);
    }
    const int reg = *info->pbI2cRegAddress;
    if (write) {
        call.Board().WriteRegister(card, reg, info->pbData[0]);
    } else {
        info->pbData[0] = call.Board().ReadRegister(card, reg);
        line.Hex("data", info->pbData[0], 2);
    }
    return call.Finish(kNvOk);
}

int __cdecl I2CRead(void* gpu, NvI2CInfo* info, std::uint32_t* word) {
    return I2CTransfer("NvAPI_I2CRead", false, gpu, info, word);
}

int __cdecl I2CWrite(void* gpu, NvI2CInfo* info, std::uint32_t* word) {
    return I2CTransfer("NvAPI_I2CWrite", true, gpu, info, word);
}

struct Interface {
    std::uint32_t id;
    const char* name;
    void* function;
};

const Interface kInterfaces[] = {
    {0x0150E828, "NvAPI_Initialize", reinterpret_cast<void*>(&Initialize)},
    {0xE5AC921F, "NvAPI_EnumPhysicalGPUs", reinterpret_cast<void*>(&EnumPhysicalGPUs)},
    {0x9ABDD40D, "NvAPI_EnumNvidiaDisplayHandle", reinterpret_cast<void*>(&EnumNvidiaDisplayHandle)},
    {0xD995937E, "NvAPI_GetAssociatedDisplayOutputId",
     reinterpret_cast<void*>(&GetAssociatedDisplayOutputId)},
    {0xE3640A56, "NvAPI_GPU_GetThermalSettings", reinterpret_cast<void*>(&GetThermalSettings)},
    {0xDA141340, "NvQueryCoolerState", reinterpret_cast<void*>(&QueryCoolerState)},
    {0x891FA0AE, "NvApplyCoolerLevels", reinterpret_cast<void*>(&ApplyCoolerLevels)},
    {0x4D7B0709, "NvAPI_I2CRead", reinterpret_cast<void*>(&I2CRead)},
    {0x283AC65A, "NvAPI_I2CWrite", reinterpret_cast<void*>(&I2CWrite)},
    {0xD22BDD7E, "NvAPI_Unload", reinterpret_cast<void*>(&Unload)},
};

bool IsMissing(const Scenario& scenario, const Interface& entry) {
    if (scenario.IsMissing(entry.name)) {
        return true;
    }
    for (const std::string& word : scenario.missing) {
        const auto id = ParseNumber(word);
        if (id && static_cast<std::uint32_t>(*id) == entry.id) {
            return true;
        }
    }
    return false;
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

extern "C" __declspec(dllexport) void* __cdecl nvapi_QueryInterface(std::uint32_t id) {
    CCall call("nvapi_QueryInterface");
    call.Line().Hex("id", id, 8);
    const Interface* found = nullptr;
    for (const Interface& entry : kInterfaces) {
        if (entry.id == id) {
            found = &entry;
        }
    }
    call.Line().Arg("name", found != nullptr ? found->name : "unknown");
    if (found != nullptr && (IsMissing(call.Board().Current(), *found) || call.FaultStatus() != 0)) {
        found = nullptr;
    }
    call.Line().Arg("found", found != nullptr ? 1 : 0);
    call.Finish(kNvOk);
    return found != nullptr ? found->function : nullptr;
}
