#include "platform/win32/Win32ProgramInfo.h"

#include <vector>
#include <windows.h>

namespace kvl {

namespace {

std::string modulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string folderOfModule(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    if (slash == 2 && path[1] == ':')
        return path.substr(0, 3);
    return path.substr(0, slash);
}

std::string argumentsOf(const std::string& commandLine) {
    std::size_t position = 0;
    bool quoted = false;
    // The program's name ends at the first blank outside quotes.
    while (position < commandLine.size() && (quoted || !isBlank(commandLine[position]))) {
        if (commandLine[position] == '"')
            quoted = !quoted;
        ++position;
    }
    while (position < commandLine.size() && isBlank(commandLine[position]))
        ++position;
    return commandLine.substr(position);
}

Win32ProgramInfo::Win32ProgramInfo() {
    const std::string path = modulePath();
    folder_ = path.empty() ? "." : folderOfModule(path);
    const char* line = ::GetCommandLineA();
    commandLine_ = argumentsOf(line ? line : "");
}

} // namespace kvl
