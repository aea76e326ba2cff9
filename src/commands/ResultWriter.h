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
// dump. When the command file's drive is missing the six lines are left out
// (after the message) and the block is only the dump.
std::string composeResultBlock(CommandContext& commands, const std::string& funzione,
                               const std::string& executionDescription);

// The block of a command whose outcome is unknown (the program ended during
// its exchange with the terminal): KO, the reason in both description lines,
// so that nobody takes it for a refusal to be tried again, and an empty
// record dump.
std::string composeUnknownOutcome(CommandContext& commands, const std::string& funzione);

// Appends a block with a single write, so that the ECR never reads a block
// cut between its two parts. A failed write is skipped with a line on
// standard error; false then.
bool appendResultBlock(CommandContext& commands, const std::string& outFile,
                       const std::string& block);

// composeResultBlock, then appendResultBlock.
void WriteResultBlock(CommandContext& commands, const std::string& outFile,
                      const std::string& funzione, const std::string& executionDescription);

} // namespace kvl
