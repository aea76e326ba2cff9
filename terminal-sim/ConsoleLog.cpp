#include "ConsoleLog.h"

#include <cstdio>

namespace sim {

void ConsoleLog::record(const ExchangeRecord& record) {
    printLine(formatExchange(record, currentLocalTime()));
}

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace sim
