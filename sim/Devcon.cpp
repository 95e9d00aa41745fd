// The simulated board's device console tool: journals its command line and exits.
#include "SimBoard.h"

#include <windows.h>

#include <string>

using namespace sim;

int wmain() {
    const std::wstring commandLine = ::GetCommandLineW();
    // The program name ends at its closing quote, or at the first blank when it is not quoted.
    size_t end = 0;
    std::wstring program;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        end = commandLine.find(L'"', 1);
        end = end == std::wstring::npos ? commandLine.size() : end + 1;
        program = commandLine.substr(1, end - 2);
    } else {
        end = commandLine.find_first_of(L" \t");
        end = end == std::wstring::npos ? commandLine.size() : end;
        program = commandLine.substr(0, end);
    }
    const size_t slash = program.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? program : program.substr(slash + 1);
    const size_t rest = commandLine.find_first_not_of(L" \t", end);
    std::string line = "devcon ";
    line += Utf8(name);
    if (rest != std::wstring::npos) {
        line += ' ';
        line += Utf8(commandLine.substr(rest));
    }
    CBoard& board = CBoard::Instance();
    std::lock_guard<std::mutex> lock(board.Mutex());
    board.Refresh();
    const auto status = board.Current().status.find("devcon");
    AppendJournalLine(line);
    return status == board.Current().status.end() ? 0 : status->second;
}
