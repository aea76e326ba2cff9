#pragma once

#include "Program.h"
#include "support/FakePlatform.h"
#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace kvl::test {

// A program with fake services and the ECR's files in /ecr. The terminal is
// reached over RS-232 so that no address check stands in the way.
class CommandsFixture : public ::testing::Test {
protected:
    CommandsFixture() {
        program.params.ConnectionType = CommunicationParameters::Rs232;
        program.params.CommandFilePath = "/ecr/SR_DATI.TXT";
        program.params.ResultFilePath = "/ecr/SR_OUT.TXT";
        fake.files.addDirectory("/ecr");
    }

    // The next terminal exchange of the entry point answers with the result
    // and these POSDATA fields.
    void answer(const std::string& entryPoint, short result,
                std::vector<std::pair<std::string, std::string>> fields = {}) {
        LibraryReply reply;
        reply.result = result;
        reply.answerFields = std::move(fields);
        library.queueReply(entryPoint, std::move(reply));
    }

    FakePlatform fake;
    FakeTerminalLibrary library;
    Program program{fake.platform(), library};
};

// What the dump of a POSDATA never written by anyone looks like: the labels
// alone between the separators.
inline const std::string EmptyPosDataDump =
    "----------------------------------------------------\r\n"
    "POSDATA.TerminalId = \r\n"
    "POSDATA.AcquirerId = \r\n"
    "POSDATA.TransactionType = \r\n"
    "POSDATA.TransactionResult = \r\n"
    "POSDATA.KODescription = \r\n"
    "POSDATA.CardType = \r\n"
    "POSDATA.STAN = \r\n"
    "POSDATA.POSBalance = \r\n"
    "POSDATA.BankBalance = \r\n"
    "POSDATA.PAN = \r\n"
    "POSDATA.AuthorizationCode = \r\n"
    "POSDATA.OperationNumber = \r\n"
    "POSDATA.AmountAuth = \r\n"
    "POSDATA.PreauthorizationCode = \r\n"
    "POSDATA.ActionCode = \r\n"
    "POSDATA.DataTrs = \r\n"
    "POSDATA.AmountEcho = \r\n"
    "POSDATA.Ticket = \r\n"
    "----------------------------------------------------\r\n"
    "----------------------------------------------------\r\n";

} // namespace kvl::test
