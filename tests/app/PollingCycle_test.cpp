#include "AppFixture.h"
#include "app/CommandFileVersion.h"
#include "app/JournalRecord.h"
#include "app/PollingCycle.h"
#include "support/JournalWitness.h"

namespace kvl::test {
namespace {

class PollingCycleTest : public AppTest {
protected:
    void SetUp() override {
        program.params.CommandFilePath = Command;
        program.params.ResultFilePath = Result;
        program.records.ethInit.IpAddress.store("192.168.1.50");
        program.records.ethInit.Port.store("9000");
    }

    // Runs one tick; the milliseconds it waited.
    long long tick() {
        const long long before = slept();
        Timer1_Timer(program);
        return slept() - before;
    }

    // The command line of each block in the result file.
    std::vector<std::string> answered() {
        std::vector<std::string> commands;
        const std::string bytes = fake.files.content(Result);
        const std::string label = "TIPO_COMANDO  = ";
        for (std::size_t at = 0; (at = bytes.find(label, at)) != std::string::npos;) {
            at += label.size();
            commands.push_back(bytes.substr(at, bytes.find("\r\n", at) - at));
        }
        return commands;
    }
};

// A tick waits 100 ms for the file to settle, 200 ms, then 300 ms after an OK
// (which confirms the connection) or 1500 ms; with no command file 1000 ms.
TEST_F(PollingCycleTest, CommandFileIsProcessedAndPacesTheNextLook) {
    fake.files.addFile(Result, "old block\r\n");
    EXPECT_EQ(tick(), 1000);
    EXPECT_TRUE(fake.files.changes().empty());

    fake.files.addFile(Command, "POS_STATUS\r\n");
    library.queueResult("IAE17AX_Status", 3);
    EXPECT_EQ(tick(), 100 + 200 + 1500);
    // Journalled: started, the block; then answered, done.
    const std::string journalled = "append " + JournalFile;
    EXPECT_EQ(
        fake.files.changes(),
        (std::vector<std::string>{"delete " + Result, journalled, journalled, "append " + Result,
                                  journalled, "delete " + Command, journalled}));
    EXPECT_FALSE(program.ConnectionConfirmed);

    fake.files.addFile(Command, "POS_STATUS\r\n");
    EXPECT_EQ(tick(), 100 + 200 + 300);
    EXPECT_TRUE(program.ConnectionConfirmed);

    // The command file's drive is looked for only until the connection is confirmed.
    program.params.CommandFilePath = "C:\\ECR\\SR_DATI.TXT";
    tick();
    EXPECT_TRUE(program.frmWpos1Type.Timer1.enabled());
    program.ConnectionConfirmed = false;
    tick();
    EXPECT_FALSE(program.frmWpos1Type.Timer1.enabled());
    EXPECT_EQ(fake.messages.texts(),
              std::vector<std::string>{"Cartella per file di I/O non trovata. Creare cartella."});
}

// A locked file's deletion is tried every 500 ms up to the twentieth error; the
// file left behind is only deleted on the next look, unless its bytes changed
// while its size and time stayed the same.
TEST_F(PollingCycleTest, ProcessedFileLeftBehindIsNotChargedAgain) {
    fake.files.addFile(Command, "POS_PAGAME,A1250\r\n");
    fake.files.failOperation(FakeFileSystem::Operation::Delete, Command,
                             ErrorNumber::PermissionDenied, 40); // two ticks' worth
    tick();
    const auto& sleeps = fake.events.sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), std::chrono::milliseconds(500)), 19);
    EXPECT_TRUE(fake.files.hasFile(Command) && program.frmWpos1Type.Timer1.enabled());
    const std::string result = fake.files.content(Result);
    ASSERT_EQ(library.count("IAE17AX_Payment"), 1u);

    tick();
    EXPECT_EQ(library.count("IAE17AX_Payment"), 1u);
    EXPECT_EQ(fake.files.content(Result), result);

    const FileIdentity processed = fake.files.identity(Command);
    fake.files.addFile(Command, "POS_PAGAME,A9999\r\n");
    fake.files.setModified(Command, processed.modifiedNanoseconds);
    tick();
    EXPECT_EQ(library.count("IAE17AX_Payment"), 2u);
    EXPECT_FALSE(fake.files.hasFile(Command));

    fake.files.addFile(Command, "POS_PAGAME,A9999\r\n"); // the next payment, same text
    tick();
    EXPECT_EQ(library.count("IAE17AX_Payment"), 3u);
}

// A file is read once it has stood still: 100 ms with its last line ended,
// 2 s without (a last CR may still get its LF), and at once when its own
// time stamp says so; a stamp in whole seconds is taken as two seconds late.
TEST_F(PollingCycleTest, AFileIsReadOnceItHasStoodStillByItsLineEndAndItsTimeStamp) {
    constexpr std::int64_t ms = 1'000'000;
    struct Case {
        const char* bytes;
        std::int64_t age; // of its time stamp, in ms; -1: just written
        bool wholeSeconds;
        long long waited;
    } const cases[] = {{"POS_STATUS\r\n", -1, false, 100},  {"POS_STATUS", -1, false, 2000},
                       {"POS_STATUS\r", -1, false, 2000},   {"POS_STATUS\r\n", 157, false, 0},
                       {"POS_STATUS\r", 2107, false, 0},    {"POS_STATUS", 1507, false, 2000},
                       {"POS_STATUS\r\n", 1000, true, 100}, {"POS_STATUS\r\n", 3000, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.bytes) + " " + std::to_string(c.age));
        fake.files.addFile(Command, c.bytes);
        if (c.wholeSeconds) // now on a whole second, and so is the stamp
            fake.clock.advance(
                std::chrono::milliseconds(1000 - fake.clock.wallNanoseconds() / ms % 1000));
        if (c.age >= 0)
            fake.files.setModified(Command, fake.clock.wallNanoseconds() - c.age * ms);
        library.clearCalls();
        EXPECT_EQ(tick(), c.waited + 200 + 300);
        EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
    }

    // Still being written during the wait: looked at again by the next tick.
    fake.files.addFile(Command, "POS_STA");
    fake.events.duringProcessEvents = [&] {
        if (fake.files.hasFile(Command) && fake.files.content(Command) == "POS_STA")
            fake.files.addFile(Command, "POS_STATUS\r\n");
    };
    library.clearCalls();
    tick();
    EXPECT_TRUE(library.calls().empty());
    tick();
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
}

// Only the file that ran is deleted: one the ECR rewrote during the payment
// runs next, and when it only appended lines, only those lines run.
TEST_F(PollingCycleTest, AFileTheEcrWritesDuringThePaymentIsKeptAndOnlyWhatIsNewRuns) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"POS_PAGAME,A7777\r\n", {"POS_PAGAME,A7777"}},
        {"POS_PAGAME,A1250\r\nPOS_PAGAME,A7777\r\n", {"POS_PAGAME,A1250", "POS_PAGAME,A7777"}}};
    for (const auto& [written, blocks] : cases) {
        SCOPED_TRACE(written);
        library.clearCalls();
        fake.files.addFile(Command, "POS_PAGAME,A1250\r\n");
        LibraryReply meanwhile;
        meanwhile.action = [&, bytes = std::string(written)](PosRequest&, POSDATA&) {
            fake.files.addFile(Command, bytes);
        };
        library.queueReply("IAE17AX_Payment", meanwhile);
        tick();
        EXPECT_TRUE(fake.files.hasFile(Command));
        tick();
        EXPECT_FALSE(fake.files.hasFile(Command));
        EXPECT_EQ(library.count("IAE17AX_Payment"), 2u);
        EXPECT_EQ(library.amounts("IAE17AX_Payment"), (std::vector<std::string>{"1250", "7777"}));
        EXPECT_EQ(answered(), blocks);
    }
}

// Cut short by the end of the program: the lines with a journalled block get
// it, the others the unknown outcome; nothing is run again.
TEST_F(PollingCycleTest, ACommandCutShortIsAnsweredAsUnknownNotRunAgain) {
    fake.files.addFile(Command, "POS_STATUS\r\n;note\r\nPOS_PAGAME,A1250\r\nPOS_STATUS\r\n");
    {
        CommandJournal journal(fake.platform(), JournalFile);
        journal.load();
        journal.start(readCommandFile(fake.files, Command, 0).version, 0, Command);
        journal.addBlock("STATUS BLOCK\r\n");
    }

    tick();

    EXPECT_TRUE(library.calls().empty());
    EXPECT_FALSE(fake.files.hasFile(Command));
    const std::string result = fake.files.content(Result);
    EXPECT_EQ(result.rfind("STATUS BLOCK\r\nTIPO_COMANDO  = POS_PAGAME,A1250\r\n"
                           "ESITO_COMANDO = KO\r\nESITO_TRANSAZ = 01\r\n",
                           0),
              0u);
    EXPECT_EQ(answered(), (std::vector<std::string>{"POS_PAGAME,A1250", "POS_STATUS"}));
    const std::string unknown = "Esito sconosciuto: verificare sul terminale\r\n";
    EXPECT_NE(result.find("ERROR_DESCRIZ = " + unknown + "EXERR_DESCRIZ = " + unknown),
              std::string::npos);
    EXPECT_EQ(journalRecords(fake.files.content(JournalFile)),
              (std::vector<std::string>{"started 1", "block 1 0", "block 1 1", "block 1 2",
                                        "answered 1", "done 1 deleted"}));
}

// After damage, a file found at the start may have run before; a later one runs.
TEST_F(PollingCycleTest, AfterDamageTheFileFoundAtTheStartIsOfUnknownOutcome) {
    fake.files.addFile(JournalFile, "garbage\r\n" + encodeJournalRecord({"done", "1", "x"}));
    fake.files.addFile(Command, "POS_PAGAME,A1250\r\n");
    tick();
    EXPECT_TRUE(library.calls().empty());
    EXPECT_EQ(answered(), std::vector<std::string>{"POS_PAGAME,A1250"});
    EXPECT_NE(fake.files.content(Result).find("EXERR_DESCRIZ = Esito sconosciuto"),
              std::string::npos);
    EXPECT_EQ(fake.messages.texts().size(), 1u);

    fake.files.addFile(Command, "POS_PAGAME,A1250\r\n");
    tick();
    EXPECT_EQ(library.count("IAE17AX_Payment"), 1u);
}

} // namespace
} // namespace kvl::test
