#include "app/ResidentMode.h"

#include "AppFixture.h"
#include "app/ResidentStartup.h"
#include "platform/ProgramEnd.h"

#include <cstdlib>

namespace kvl::test {
namespace {

const std::string ParameterFile = "/opt/kvl/ParamTlvPos.TXT";

class ResidentModeTest : public AppTest {
protected:
    // What SIGTERM does; the status of the program end, or -1.
    int requestClose() {
        try {
            fake.events.requestClose();
        } catch (const ProgramEnd& end) {
            return end.status;
        }
        return -1;
    }
};

TEST_F(ResidentModeTest, CloseRequestSavesAsksAndEnds) {
    writeConfig(ethernet());
    frmWpos1Type_Load(program);

    EXPECT_EQ(requestClose(), 0);

    EXPECT_TRUE(fake.files.hasFile(ParameterFile));
    ASSERT_EQ(fake.messages.shown().size(), 1u);
    EXPECT_EQ(fake.messages.shown()[0].text, "Vuoi terminare l'esecuzione ?");
    EXPECT_EQ(fake.messages.shown()[0].buttons, MessageButtons::OkCancel);
    EXPECT_FALSE(fake.tray.registered);
    EXPECT_EQ(journal().back(), "Free");
    EXPECT_TRUE(fake.events.activeTimers().empty());
}

TEST_F(ResidentModeTest, CancelledCloseKeepsPolling) {
    writeConfig(ethernet());
    frmWpos1Type_Load(program);
    fake.messages.setNextAnswer(MessageAnswer::Cancel);

    EXPECT_EQ(requestClose(), -1);

    EXPECT_TRUE(fake.files.hasFile(ParameterFile));
    EXPECT_TRUE(fake.tray.registered);
    EXPECT_EQ(fake.events.activeTimers().size(), 1u);
}

TEST_F(ResidentModeTest, CloseWithoutLibraryLeavesTheParameterFileAlone) {
    unsetenv("IAE17_LIBRARY");
    fake.files.addFile(ParameterFile, "1\r\n/etc/kvl/Config.TXT\r\n/var/log/kvl.txt\r\n");
    library.failAlways(RunTimeError(ErrorNumber::FileNotFound, "File not found"));
    frmWpos1Type_Load(program);

    EXPECT_EQ(requestClose(), 0);

    EXPECT_EQ(fake.files.content(ParameterFile),
              "1\r\n/etc/kvl/Config.TXT\r\n/var/log/kvl.txt\r\n");
}

} // namespace
} // namespace kvl::test
