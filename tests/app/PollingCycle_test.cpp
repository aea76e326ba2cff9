#include "AppFixture.h"
#include "app/PollingCycle.h"

#include <algorithm>

namespace kvl::test {
namespace {

const std::string Command = "/io/SR_DATI.TXT";
const std::string Result = "/io/SR_OUT.TXT";

class PollingCycleTest : public AppTest {
protected:
    // What the resident start-up leaves for the polling cycle.
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
};

// A command deletes the old result, writes the new one, then the command file.
// The tick waits 100 ms for the file to settle, 200 ms, then 300 ms after an OK
// (which confirms the connection) or 1500 ms; with no command file 1000 ms.
TEST_F(PollingCycleTest, CommandFileIsProcessedAndPacesTheNextLook) {
    fake.files.addFile(Result, "old block\r\n");
    EXPECT_EQ(tick(), 1000);
    EXPECT_TRUE(fake.files.changes().empty());

    fake.files.addFile(Command, "POS_STATUS\r\n");
    library.queueResult("IAE17AX_Status", 3);
    EXPECT_EQ(tick(), 100 + 200 + 1500);
    EXPECT_EQ(
        fake.files.changes(),
        (std::vector<std::string>{"delete " + Result, "append " + Result, "delete " + Command}));
    EXPECT_FALSE(program.ConnectionConfirmed);

    fake.files.addFile(Command, "POS_STATUS\r\n");
    EXPECT_EQ(tick(), 100 + 200 + 300);
    EXPECT_TRUE(program.ConnectionConfirmed);
}

TEST_F(PollingCycleTest, MissingDriveStopsPollingUntilTheConnectionIsConfirmed) {
    program.params.CommandFilePath = "C:\\ECR\\SR_DATI.TXT";
    tick();
    EXPECT_FALSE(program.frmWpos1Type.Timer1.enabled());
    program.ConnectionConfirmed = true;
    tick();
    EXPECT_TRUE(program.frmWpos1Type.Timer1.enabled());
    EXPECT_EQ(fake.messages.texts(),
              std::vector<std::string>{"Cartella per file di I/O non trovata. Creare cartella."});
}

TEST_F(PollingCycleTest, LockedCommandFileIsRetriedEvery500msUpToTheTwentiethError) {
    fake.files.addFile(Command, "POS_STATUS\r\n");
    fake.files.failOperation(FakeFileSystem::Operation::Delete, Command,
                             ErrorNumber::PermissionDenied, 100);

    tick();

    const auto& sleeps = fake.events.sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), std::chrono::milliseconds(500)), 19);
    EXPECT_TRUE(fake.files.hasFile(Command));
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
    EXPECT_TRUE(program.frmWpos1Type.Timer1.enabled());
}

// A processed file whose deletion failed is only deleted on the next look,
// unless its bytes changed while its size and time stayed the same.
TEST_F(PollingCycleTest, ProcessedFileLeftBehindIsNotChargedAgain) {
    fake.files.addFile(Command, "POS_PAGAME,A1250\r\n");
    fake.files.failOperation(FakeFileSystem::Operation::Delete, Command,
                             ErrorNumber::PermissionDenied, 40); // two ticks' worth
    tick();
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

TEST_F(PollingCycleTest, FileStillBeingWrittenIsReadOnlyOnceSettled) {
    fake.files.addFile(Command, "POS_STA");
    fake.events.duringProcessEvents = [&] {
        if (fake.files.hasFile(Command) && fake.files.content(Command) == "POS_STA")
            fake.files.addFile(Command, "POS_STATUS\r\n");
    };

    tick();
    EXPECT_TRUE(library.calls().empty());

    tick();
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
}

// A close answered while a tick waits for a new file to settle ends the
// program: the tick stops there, the file is not processed and polling stays off.
TEST_F(PollingCycleTest, ACloseDuringATicksWaitStopsTheTick) {
    fake.files.addFile(Command, "POS_STATUS\r\n");
    int events = 0; // the close comes with the last slice of the wait
    fake.events.duringProcessEvents = [&] {
        if (++events == 2)
            program.frmWpos1Type.requestClose();
    };
    program.frmWpos1Type.Timer1.setEnabled(true);

    tick();

    EXPECT_EQ(fake.events.quitStatus(), 0);
    EXPECT_TRUE(library.count("IAE17AX_Status") == 0u && fake.files.hasFile(Command));
    EXPECT_FALSE(program.frmWpos1Type.Timer1.enabled());
    EXPECT_EQ(fake.events.sleeps().size(), 2u);
}

} // namespace
} // namespace kvl::test
