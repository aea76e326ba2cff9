#pragma once

#include "commands/CommandContext.h"

#include <string>

namespace kvl {

// The current local date and time as "YYYYMMDD_hhmmss".
std::string CurrDateTime(CommandContext& commands);

// The six result lines of one command; may put the generic message into
// txtDescrKO.
std::string composeCommunicationResult(CommandContext& commands, const std::string& funzione,
                                       const std::string& executionDescription);
// The labelled dump of POSDATA that follows them.
std::string composePosData(const POSDATA& posData);

// One command's whole block, the six result lines followed by the POSDATA
// dump, appended to outFile with a single write, so that the ECR never reads
// a block cut between its two parts. When the command file's drive is missing
// the six lines are left out and only the dump is written.
void WriteResultBlock(CommandContext& commands, const std::string& outFile,
                      const std::string& funzione, const std::string& executionDescription);

} // namespace kvl
