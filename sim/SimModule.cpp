// Load-time behaviour of the simulated driver DLLs. A missing entry point is made by renaming it in the
// DLL's own export table, so GetProcAddress fails exactly as with a library that lacks it.
#include "SimModule.h"

#include "SimBoard.h"

#include <cstring>
#include <string>

namespace sim {
namespace {

// New export names must lie inside the image: export table entries are offsets from its base.
char g_hiddenNames[4096];
size_t g_hiddenUsed = 0;

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(module, path, MAX_PATH * 2);
    return path;
}

std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Renames each listed export to its name followed by "\x01". The new name sorts into the same place,
// so the loader's binary search over the names still finds every other export.
void HideExports(HMODULE module, const Scenario& scenario) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0) {
        return;
    }
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    auto* names = reinterpret_cast<DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        const char* name = reinterpret_cast<const char*>(base + names[i]);
        const size_t length = std::strlen(name);
        if (!scenario.IsMissing(name) || g_hiddenUsed + length + 2 > sizeof g_hiddenNames) {
            continue;
        }
        char* hidden = g_hiddenNames + g_hiddenUsed;
        std::memcpy(hidden, name, length);
        hidden[length] = '\x01';
        hidden[length + 1] = '\0';
        g_hiddenUsed += length + 2;
        DWORD oldProtection = 0;
        if (::VirtualProtect(&names[i], sizeof(DWORD), PAGE_READWRITE, &oldProtection)) {
            names[i] = static_cast<DWORD>(reinterpret_cast<BYTE*>(hidden) - base);
            ::VirtualProtect(&names[i], sizeof(DWORD), oldProtection, &oldProtection);
        }
    }
}

} // namespace

BOOL AttachModule(HMODULE module) {
    CBoard& board = CBoard::Instance();
    std::lock_guard<std::mutex> lock(board.Mutex());
    board.Refresh();
    const std::wstring path = ModulePath(module);
    const std::wstring name = FileName(path);
    CJournalLine line("load");
    line.Arg("dll", Utf8(name)).Arg("path", Utf8(path));
    if (board.Current().IsAbsent(Utf8(name))) {
        AppendJournalLine(line.Arg("refused", 1).Text());
        return FALSE;
    }
    HideExports(module, board.Current());
    AppendJournalLine(line.Text());
    return TRUE;
}

void DetachModule(HMODULE module) {
    AppendJournalLine(CJournalLine("unload").Arg("dll", Utf8(FileName(ModulePath(module)))).Text());
}

} // namespace sim
