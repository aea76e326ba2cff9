#pragma once

#include "app/Program.h"

#include <optional>
#include <string>

namespace kvl {

// The argument of "-E": what follows the first "-E" of the command line
// (found without regard to case), double quotes removed, blanks trimmed.
std::string oneShotArgument(const std::string& commandLine);

// The configuration file the argument names: only an argument ending exactly
// in ".TXT" names one, taken as it stands when it holds a folder, else in the
// program folder.
std::optional<std::string> oneShotConfigFile(const std::string& argument,
                                             const std::string& programFolder,
                                             const FileSystem& files);

// The one-shot run ("-E"): reads the configuration, processes the command
// file once if it is there, deletes it and ends the program.
void runOneShot(Program& program, const std::string& commandLine);

} // namespace kvl
