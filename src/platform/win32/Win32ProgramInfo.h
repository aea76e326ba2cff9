#pragma once

#include "platform/ProgramInfo.h"

namespace kvl {

// The running process: the folder of its executable (GetModuleFileNameA) and
// the command line as the system gives it (GetCommandLineA), after the
// program's own name.
class Win32ProgramInfo : public ProgramInfo {
public:
    Win32ProgramInfo();
    std::string programFolder() override { return folder_; }
    std::string commandLine() override { return commandLine_; }

private:
    std::string folder_;
    std::string commandLine_;
};

// The folder of a file path, without a trailing separator except for a
// drive's root ("C:\"); "." when the path has no folder.
std::string folderOfModule(const std::string& path);

// The arguments of a whole command line: what follows the program's name
// (quoted or not) and the blanks after it, as written, quotes included.
std::string argumentsOf(const std::string& commandLine);

} // namespace kvl
