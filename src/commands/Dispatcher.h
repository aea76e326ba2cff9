#pragma once

#include "commands/CommandContext.h"

#include <functional>
#include <string>

namespace kvl {

// A command file's line as the handlers and the result file see it: upper-
// cased, one trailing ";" removed. False for a line that is skipped (empty,
// or beginning with ";" or ":"): it gets no block.
bool toCommandLine(std::string& line);

// The log switch is on and names a log file.
bool logSwitchedOn(const FrmWpos1Type& window);

// Takes each command line's result block once it is composed.
using ResultBlockSink = std::function<void(std::string block)>;

// Processes a command file line by line: one result block per command line,
// appended to ResultFilePath and, with the log switch on, to the log file.
// Returns "File comandi non trovato" when there is no file, else the running
// result text.
std::string ElaboraFileComandi(CommandContext& commands, const std::string& path,
                               bool ecrIdRequired);

// The dispatcher's work on lines already opened: runs the handler of each
// command line and hands its composed block to `deliver`, which writes it.
// Returns the running result text.
std::string dispatchCommandLines(CommandContext& commands, LineReader& lines, bool ecrIdRequired,
                                 const ResultBlockSink& deliver);

} // namespace kvl
