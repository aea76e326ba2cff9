#pragma once

#include "platform/ProgramInfo.h"

namespace kvl {

// The running process: the folder of its executable and its arguments.
class ProcessProgramInfo : public ProgramInfo {
public:
    ProcessProgramInfo(int argc, const char* const* argv);
    std::string programFolder() override { return folder_; }
    std::string commandLine() override { return commandLine_; }

private:
    std::string folder_;
    std::string commandLine_;
};

// The folder of a file path, without a trailing separator ("/" for the root,
// "." when the path has no folder).
std::string folderOfFile(const std::string& path);

// The arguments after the program's own name, joined with single blanks.
std::string joinArguments(int argc, const char* const* argv);

} // namespace kvl
