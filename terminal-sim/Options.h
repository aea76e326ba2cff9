#pragma once

#include "Fault.h"
#include "Operation.h"
#include "Terminal.h"

#include <optional>
#include <string>
#include <vector>

namespace sim {

// The command line of terminal-sim.
struct Options {
    bool help = false;
    std::optional<std::string> tcpHost; // with tcpPort, from --tcp HOST:PORT
    unsigned short tcpPort = 0;
    std::optional<std::string> serialPath;
    unsigned baud = 9600;
    bool pty = false;
    TerminalSettings terminal;
    std::optional<std::string> scenarioPath;
    Fault defaults; // faults applied to every call
    std::vector<Operation> unsupported;
    unsigned ackTimeoutMs = 2000;
};

struct OptionsReading {
    Options options;
    std::string error; // empty when the command line is sound
};

// Reads the arguments after the program name. "--name value" and
// "--name=value" are the same.
OptionsReading readOptions(const std::vector<std::string>& arguments);

// What --help prints.
std::string helpText();

} // namespace sim
