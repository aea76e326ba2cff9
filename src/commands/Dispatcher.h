#pragma once

#include "commands/CommandContext.h"

#include <string>

namespace kvl {

// Processes a command file line by line: one result block per command line,
// appended to ResultFilePath and, with the log switch on, to the log file.
// Returns "File comandi non trovato" when there is no file, else the running
// result text.
std::string ElaboraFileComandi(CommandContext& commands, const std::string& path,
                               bool ecrIdRequired);

} // namespace kvl
