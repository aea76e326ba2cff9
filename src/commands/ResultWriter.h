#pragma once

#include "Program.h"

#include <string>

namespace kvl {

// The current local date and time as "YYYYMMDD_hhmmss".
std::string CurrDateTime(Program& program);

// The six result lines of one command, as WriteCommunicationResult writes
// them; may put the generic message into txtDescrKO.
std::string composeCommunicationResult(Program& program, const std::string& funzione,
                                       const std::string& executionDescription);
// The labelled dump of POSDATA as WritePosData writes it.
std::string composePosData(const POSDATA& posData);

// Append the six result lines / the POSDATA dump to outFile.
void WriteCommunicationResult(Program& program, const std::string& outFile,
                              const std::string& funzione, const std::string& executionDescription);
void WritePosData(Program& program, const std::string& outFile);

// One command's whole block, the six result lines followed by the POSDATA
// dump, appended to outFile with a single write. When the command file's
// drive is missing the six lines are left out, as WriteCommunicationResult
// leaves them out, and only the dump is written.
void WriteResultBlock(Program& program, const std::string& outFile, const std::string& funzione,
                      const std::string& executionDescription);

} // namespace kvl
