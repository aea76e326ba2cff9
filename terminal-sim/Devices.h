#pragma once

#include <string>

namespace sim {

// A pseudo-terminal pair: the simulator serves the master side, the library
// opens the slave by its path.
struct PseudoTerminal {
    int masterFd = -1;
    std::string slavePath;
};

// Creates the pair in raw mode at the speed given. Throws std::system_error.
PseudoTerminal openPseudoTerminal(unsigned baud);

// Opens a serial device in raw mode, 8 data bits, no parity, one stop bit, no
// flow control, at the given speed. Throws std::system_error.
int openSerialDevice(const std::string& path, unsigned baud);

// Discards whatever waits in either direction on the line.
void flushLine(int fd);

} // namespace sim
