#include "app/PollingCycle.h"

#include "AppFixture.h"

#include <optional>

namespace kvl::test {
namespace {

const std::string Command = "/io/SR_DATI.TXT";
const std::string Result = "/io/SR_OUT.TXT";

class PollingCycleTest : public AppTest {
protected:
    void SetUp() override {
        program.params.CommandFilePath = Command;
        program.params.ResultFilePath = Result;
        program.records.ethInit.IpAddress.store("192.168.1.50");
        program.records.ethInit.Port.store("9000");
        program.frmMain.cmbConnessione.setListIndex(0);
        program.frmWpos1Type.Shape1.onChange(
            [this] { colours.push_back(program.frmWpos1Type.Shape1.fillColour()); });
    }

    // Runs one tick; the milliseconds it waited.
    long long tick() {
        const long long before = slept();
        Timer1_Timer(program);
        return slept() - before;
    }

    std::vector<long> colours;
};

struct PacingCase {
    const char* command; // nullptr: no command file
    short statusResult;
    std::optional<std::string> outcomeSeen; // what an event leaves in txtEsito
    long long waited;
    bool confirmed;
};

class PollingPacing : public PollingCycleTest, public ::testing::WithParamInterface<PacingCase> {};

// A new command file waits 100 ms to settle, then 200 ms, then 300 ms after
// "OK" or 1500 ms otherwise; with no file the tick waits 1000 ms.
TEST_P(PollingPacing, WaitsAfterTheLookAsTheOutcomeSays) {
    const PacingCase& c = GetParam();
    if (c.command)
        fake.files.addFile(Command, c.command);
    library.queueResult("IAE17AX_Status", c.statusResult);
    fake.events.duringProcessEvents = [&] {
        if (c.outcomeSeen)
            program.frmMain.txtEsito.setText(*c.outcomeSeen);
    };

    EXPECT_EQ(tick(), c.waited);
    EXPECT_EQ(program.ConnectionConfirmed, c.confirmed);
    EXPECT_EQ(program.frmWpos1Type.ShapeDump.fillColour(),
              c.confirmed ? Colour::Green : Colour::Red);
    EXPECT_TRUE(program.frmWpos1Type.Timer1.enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, PollingPacing,
    ::testing::Values(PacingCase{nullptr, 0, std::nullopt, 1000, false},
                      PacingCase{"POS_STATUS", 0, std::nullopt, 100 + 200 + 300, true},
                      PacingCase{"POS_STATUS", 3, std::nullopt, 100 + 200 + 1500, false},
                      PacingCase{"POS_STATUS", 0, std::string("ok"), 100 + 200 + 1500, false},
                      PacingCase{"POS_STATUS", 0, std::string("OK "), 100 + 200 + 1500, false}));

TEST_F(PollingCycleTest, IdleTickShowsYellowThenRed) {
    tick();
    EXPECT_EQ(colours, (std::vector<long>{Colour::Yellow, Colour::Red}));
}

TEST_F(PollingCycleTest, CommandDeletesOldResultThenWritesNewThenDeletesCommand) {
    fake.files.addFile(Command, "POS_STATUS\r\n");
    fake.files.addFile(Result, "old block\r\n");

    tick();

    EXPECT_EQ(colours, (std::vector<long>{Colour::Yellow, Colour::Green, Colour::Red}));
    EXPECT_EQ(
        fake.files.changes(),
        (std::vector<std::string>{"delete " + Result, "append " + Result, "delete " + Command}));
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
}

TEST_F(PollingCycleTest, MissingDriveStopsPollingForGood) {
    program.params.CommandFilePath = "C:\\ECR\\SR_DATI.TXT";

    tick();

    EXPECT_EQ(fake.messages.texts(),
              (std::vector<std::string>{"Cartella per file di I/O non trovata. Creare cartella."}));
    EXPECT_EQ(fake.messages.shown()[0].title, "KvlTalvioPos");
    EXPECT_EQ(program.frmWpos1Type.Shape1.fillColour(), Colour::Red);
    EXPECT_FALSE(program.frmWpos1Type.Timer1.enabled());
}

TEST_F(PollingCycleTest, ConfirmedConnectionNoLongerChecksTheDrive) {
    program.params.CommandFilePath = "C:\\ECR\\SR_DATI.TXT";
    program.ConnectionConfirmed = true;

    tick();

    EXPECT_TRUE(fake.messages.shown().empty());
    EXPECT_TRUE(program.frmWpos1Type.Timer1.enabled());
}

TEST_F(PollingCycleTest, HiddenCommandFileIsNeverProcessed) {
    program.params.CommandFilePath = "/io/.SR_DATI.TXT";
    fake.files.addFile("/io/.SR_DATI.TXT", "POS_STATUS\r\n");

    EXPECT_EQ(tick(), 1000);
    EXPECT_TRUE(library.calls().empty());
    EXPECT_TRUE(fake.files.hasFile("/io/.SR_DATI.TXT"));
}

TEST_F(PollingCycleTest, LockedCommandFileIsRetriedEvery500msUpToTheTwentiethError) {
    fake.files.addFile(Command, "POS_STATUS\r\n");
    fake.files.failOperation(FakeFileSystem::Operation::Delete, Command,
                             ErrorNumber::PermissionDenied, 100);

    tick();

    EXPECT_EQ(sleepsOf(500), 19u);
    EXPECT_TRUE(fake.files.hasFile(Command));
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
    EXPECT_TRUE(program.frmWpos1Type.Timer1.enabled());
}

TEST_F(PollingCycleTest, ProcessedFileLeftBehindIsNotChargedAgain) {
    fake.files.addFile(Command, "POS_PAGAME,A1250\r\n");
    fake.files.failOperation(FakeFileSystem::Operation::Delete, Command,
                             ErrorNumber::PermissionDenied, 25);
    tick();
    const std::string result = fake.files.content(Result);
    ASSERT_EQ(library.count("IAE17AX_Payment"), 1u);

    tick(); // the deletion fails 5 more times, then succeeds
    EXPECT_EQ(library.count("IAE17AX_Payment"), 1u);
    EXPECT_EQ(fake.files.content(Result), result);
    EXPECT_FALSE(fake.files.hasFile(Command));

    fake.files.addFile(Command, "POS_PAGAME,A1250\r\n"); // the next payment, same text
    tick();
    EXPECT_EQ(library.count("IAE17AX_Payment"), 2u);
}

TEST_F(PollingCycleTest, SameTimeButOtherContentIsANewCommand) {
    fake.files.addFile(Command, "POS_STATUS");
    fake.files.failOperation(FakeFileSystem::Operation::Delete, Command,
                             ErrorNumber::PermissionDenied, 20);
    tick();
    const FileIdentity first = fake.files.identity(Command);
    fake.files.addFile(Command, "pos_status");
    fake.files.setModified(Command, first.modifiedNanoseconds);

    tick();

    EXPECT_EQ(library.count("IAE17AX_Status"), 2u);
}

TEST_F(PollingCycleTest, FileStillBeingWrittenIsReadOnlyOnceSettled) {
    fake.files.addFile(Command, "POS_STA");
    fake.events.duringProcessEvents = [&] {
        if (fake.files.hasFile(Command) && fake.files.content(Command) == "POS_STA")
            fake.files.addFile(Command, "POS_STATUS\r\n");
    };

    tick();
    EXPECT_TRUE(library.calls().empty());
    EXPECT_TRUE(program.frmWpos1Type.Timer1.enabled());

    tick();
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
    EXPECT_NE(fake.files.content(Result).find("POS_STATUS"), std::string::npos);
}

TEST_F(PollingCycleTest, FileThatNeverSettlesNeverHoldsTheTickUp) {
    fake.files.addFile(Command, "POS_STATUS");
    fake.events.duringProcessEvents = [&] {
        fake.files.addFile(Command, fake.files.content(Command) + " ");
    };

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tick(), 100 + 1000);
    EXPECT_TRUE(library.calls().empty());
}

} // namespace
} // namespace kvl::test
