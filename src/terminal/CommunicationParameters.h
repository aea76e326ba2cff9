#pragma once

#include <string>

namespace kvl {

// How the terminal is reached and where the ECR's files are, as read from the
// communication configuration file. The Ethernet and RS-232 values live in the
// two initialisation records (TerminalRecords::ethInit and ::rs232Init).
struct CommunicationParameters {
    static constexpr short Ethernet = 0;
    static constexpr short Rs232 = 1;

    short ConnectionType = Ethernet;
    bool EcrIdRequired = false;
    std::string CommandFilePath;
    std::string ResultFilePath;
};

} // namespace kvl
