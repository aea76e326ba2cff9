// What an operator can do while the resident service works: every sequence
// ends without a crash and without two terminal calls at once.

#include "AppFixture.h"
#include "app/ResidentStartup.h"

namespace kvl::test {
namespace {

const std::string Command = "/io/SR_DATI.TXT";
const std::string Result = "/io/SR_OUT.TXT";

// The resident service started on a good terminal, polling.
class OperatorSequences : public AppTest {
protected:
    void SetUp() override {
        writeConfig();
        ASSERT_TRUE(frmWpos1Type_Load(program));
        ASSERT_TRUE(program.frmWpos1Type.Timer1.enabled());
        library.clearCalls();
    }
};

// While an operation holds the terminal the command file waits, with polling
// still on; the next tick processes it.
TEST_F(OperatorSequences, ATickWhileTheTerminalIsHeldLeavesTheCommandForTheNextTick) {
    fake.files.addFile(Command, "POS_STATUS\r\n");
    {
        const auto operation = program.library.hold();
        fake.events.fireActiveTimers();
        EXPECT_TRUE(fake.files.hasFile(Command));
        EXPECT_TRUE(program.frmWpos1Type.Timer1.enabled());
    }
    fake.events.fireActiveTimers();
    EXPECT_FALSE(fake.files.hasFile(Command));
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u);
    EXPECT_TRUE(fake.files.hasFile(Result));
}

} // namespace
} // namespace kvl::test
