#pragma once

#include "commands/CommandContext.h"
#include "shell/forms/FrmWpos1Type.h"
#include "support/TerminalParts.h"

#include <gtest/gtest.h>

#include <map>

namespace kvl::test {

inline const std::string Generic = "ERRORE GENERICO, PROBABILI PARAMETRI NON CORRETTI";
inline const std::string ResultFile = "/ecr/SR_OUT.TXT";
inline const std::string Separator = std::string(52, '-') + "\r\n";

// Fake services, the clock at 2025-03-14 09:30:05, the ECR's files in /ecr;
// RS-232, so that no address check stands in the way.
class CommandsFixture : public ::testing::Test, public TerminalParts {
protected:
    CommandsFixture() {
        params.ConnectionType = CommunicationParameters::Rs232;
        params.CommandFilePath = "/ecr/SR_DATI.TXT";
        params.ResultFilePath = ResultFile;
        fake.files.addDirectory("/ecr");
        fake.clock.setLocalTime({2025, 3, 14, 9, 30, 5});
    }

    FrmWpos1Type frmWpos1Type;
    bool handlersEcrIdRequired = false;
    CommandContext commands{terminal, fake.platform(), frmWpos1Type, handlersEcrIdRequired};
};

// The six result lines of a command run at the fixture's time.
inline std::string sixLines(const std::string& command, const std::string& esito,
                            const std::string& esitoTrans, const std::string& descrizione,
                            const std::string& exerr) {
    return "TIPO_COMANDO  = " + command + "\r\nESITO_COMANDO = " + esito +
           "\r\nESITO_TRANSAZ = " + esitoTrans + "\r\nDATAORA_TRANS = 20250314_093005\r\n" +
           "ERROR_DESCRIZ = " + descrizione + "\r\nEXERR_DESCRIZ = " + exerr + "\r\n";
}

// The POSDATA dump showing these texts; other fields show nothing, as if never written.
inline std::string posDataDump(const std::map<std::string, std::string>& shown = {}) {
    std::string dump = Separator;
    for (const std::string name :
         {"TerminalId", "AcquirerId", "TransactionType", "TransactionResult", "KODescription",
          "CardType", "STAN", "POSBalance", "BankBalance", "PAN", "AuthorizationCode",
          "OperationNumber", "AmountAuth", "PreauthorizationCode", "ActionCode", "DataTrs",
          "AmountEcho", "Ticket"})
        dump += "POSDATA." + name + " = " + (shown.count(name) ? shown.at(name) : "") + "\r\n";
    return dump + Separator + Separator;
}

} // namespace kvl::test
