#pragma once

#include "ExchangeLog.h"

namespace sim {

// Writes each exchange as one line on standard output, flushed at once so that
// whoever reads the output sees it as it happens.
class ConsoleLog : public ExchangeLog {
public:
    void record(const ExchangeRecord& record) override;
};

// Writes one line on standard output and flushes it.
void printLine(const std::string& line);

} // namespace sim
