#include "support/FakeTerminalLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvl::test {
namespace {

class FakeLibrary : public testing::Test {
protected:
    FakeTerminalLibrary library;
    TerminalRecords records;
};

TEST_F(FakeLibrary, OwnQueueBeforeCommonQueueThenZero) {
    library.queueResult(ResultCode::ComError);
    library.queueResult("IAE17AX_Status", ResultCode::TimeoutError);

    EXPECT_EQ(library.IAE17AX_Payment(records.request, records.posData), ResultCode::ComError);
    EXPECT_EQ(library.IAE17AX_Status(records.request, records.posData), ResultCode::TimeoutError);
    EXPECT_EQ(library.IAE17AX_Status(records.request, records.posData), ResultCode::Ok);
    EXPECT_EQ(library.IAE17AX_InitEth(records.ethInit), ResultCode::Ok);
    EXPECT_EQ(library.entryPoints(),
              (std::vector<std::string>{"IAE17AX_Payment", "IAE17AX_Status", "IAE17AX_Status",
                                        "IAE17AX_InitEth"}));
    EXPECT_EQ(library.count("IAE17AX_Status"), 2u);
}

TEST_F(FakeLibrary, RecordsTheRecordsAsSentNotAsAnswered) {
    records.request.Amount.store("500");
    LibraryReply reply;
    reply.answerFields = {{"TerminalId", "T1"}, {"KODescription", "Rifiutata"}};
    reply.action = [](PosRequest& request, POSDATA&) { request.Extra1.store("X"); };
    library.queueReply(reply);

    library.IAE17AX_Payment(records.request, records.posData);

    const LibraryCall& call = library.last("IAE17AX_Payment");
    EXPECT_EQ(call.request.Amount.text(), "500      ");
    EXPECT_EQ(call.request.Extra1.text(), std::string(2, '\0'));
    EXPECT_EQ(call.answer.TerminalId.text(), std::string(9, '\0'));
    EXPECT_EQ(records.posData.TerminalId.text(), "T1       ");
    EXPECT_EQ(records.posData.KODescription.text(), "Rifiutata" + std::string(16, ' '));
    EXPECT_EQ(records.request.Extra1.text(), "X ");
}

TEST_F(FakeLibrary, RawAnswerImageCanHoldNuls) {
    LibraryReply reply;
    reply.answerImage = std::string("AB\0D", 4);
    library.queueReply(reply);
    records.posData.TerminalId.store("OLD");
    library.IAE17AX_Status(records.request, records.posData);
    EXPECT_EQ(records.posData.TerminalId.text(), std::string("AB\0D     ", 9));
}

TEST_F(FakeLibrary, InitialisationActionsWriteTheirRecord) {
    LibraryReply eth;
    eth.ethInitAction = [](EthInitRecord& record) { record.Port.store("1"); };
    library.queueReply("IAE17AX_InitEth", eth);
    LibraryReply line;
    line.rs232InitAction = [](Rs232InitRecord& record) { record.ComPort.store("COM9"); };
    library.queueReply("IAE17AX_InitRS232", line);

    library.IAE17AX_InitEth(records.ethInit);
    library.IAE17AX_InitRS232(records.rs232Init);
    EXPECT_EQ(records.ethInit.Port.text(), "1     ");
    EXPECT_EQ(records.rs232Init.ComPort.text(), "COM9  ");
}

TEST_F(FakeLibrary, FailNextThrowsOnceAndIsRecorded) {
    library.failNext("IAE17AX_Void", RunTimeError(453, "missing"));
    try {
        library.IAE17AX_Void(records.request, records.posData);
        FAIL() << "no error";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), 453);
    }
    EXPECT_TRUE(library.last("IAE17AX_Void").threw);
    EXPECT_EQ(library.IAE17AX_Void(records.request, records.posData), ResultCode::Ok);
}

TEST_F(FakeLibrary, FailAlwaysCoversEveryEntryPoint) {
    library.failAlways(RunTimeError(53, "File not found: libiae17.so"));
    VersionBuffer version{};
    EXPECT_THROW(library.IAE17AX_GetVersion(version), RunTimeError);
    EXPECT_THROW(library.IAE17AX_Free(), RunTimeError);
    EXPECT_THROW(library.IAE17AX_InitRS232(records.rs232Init), RunTimeError);
    EXPECT_THROW(library.IAE17AX_Closure(records.request, records.posData), RunTimeError);
    EXPECT_EQ(library.calls().size(), 4u);
}

TEST_F(FakeLibrary, FailedCallKeepsItsQueuedReply) {
    library.queueResult("IAE17AX_Status", ResultCode::ProtocolError);
    library.failNext("IAE17AX_Status", RunTimeError(53, "gone"));
    EXPECT_THROW(library.IAE17AX_Status(records.request, records.posData), RunTimeError);
    EXPECT_EQ(library.IAE17AX_Status(records.request, records.posData), ResultCode::ProtocolError);
}

TEST_F(FakeLibrary, VersionIsCutOrNulPadded) {
    VersionBuffer version;
    version.fill('?');
    library.setVersion("1.2");
    library.IAE17AX_GetVersion(version);
    EXPECT_EQ(std::string(version.data(), 10), std::string("1.2\0\0\0\0\0\0\0", 10));
    library.setVersion("0123456789ABC");
    library.IAE17AX_GetVersion(version);
    EXPECT_EQ(std::string(version.data(), 10), "0123456789");
}

} // namespace
} // namespace kvl::test
