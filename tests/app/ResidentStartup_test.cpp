#include "app/ResidentStartup.h"

#include "AppFixture.h"
#include "platform/ProgramEnd.h"

#include <cstdlib>

namespace kvl::test {
namespace {

class ResidentStartupTest : public AppTest {
protected:
    // Loads the window; the status of the program end, or -1 when it goes on.
    int load() {
        try {
            frmWpos1Type_Load(program);
            return -1;
        } catch (const ProgramEnd& end) {
            return end.status;
        }
    }
    const FrmWpos1Type& window() const { return program.frmWpos1Type; }
};

TEST_F(ResidentStartupTest, RunsItsStepsInOrderAndStartsPollingLast) {
    writeConfig(ethernet());
    fake.files.addFile("/io/SR_OUT.TXT", "stale");
    LibraryReply reply;
    reply.answerFields = {{"TerminalId", "123456789"}};
    library.queueReply("IAE17AX_Status", reply);

    EXPECT_EQ(load(), -1);

    EXPECT_EQ(journal(), (std::vector<std::string>{"GetVersion", "open ParamTlvPos.TXT",
                                                   "open CONFIGTLVPOS.TXT", "delete SR_OUT.TXT",
                                                   "InitEth", "Status"}));
    EXPECT_EQ(program.ConfigFilePath, "/OPT/KVL/CONFIGTLVPOS.TXT");
    EXPECT_EQ(window().ShapeDump.fillColour(), Colour::Green);
    EXPECT_EQ(window().lblValTerminalId.caption(), "12345678");
    EXPECT_EQ(program.records.posData.TerminalId.text(), "12345678 ");

    ASSERT_EQ(fake.tray.events.size(), 1u);
    const NotifyIconData& icon = fake.tray.events[0].data;
    EXPECT_EQ(icon.size, 88);
    EXPECT_EQ(icon.iconId, 1);
    EXPECT_EQ(icon.flags, 7);
    EXPECT_EQ(icon.callbackMessage, 512);
    EXPECT_EQ(icon.tip, std::string("KvlTalvioPos in esecuzione...") + '\0' + std::string(34, ' '));
    ASSERT_EQ(fake.events.activeTimers().size(), 1u);
    EXPECT_EQ(fake.events.activeTimers()[0].interval.count(), 300);
}

struct StatusCase {
    int failures;      // status requests the terminal leaves unanswered
    std::size_t asked; // status requests made
    long long waited;
    long colour; // of ShapeDump
};

class FirstStatusRequest : public ResidentStartupTest,
                           public ::testing::WithParamInterface<StatusCase> {};

// Up to five requests, 200 ms apart in 50 ms slices; polling starts anyway.
TEST_P(FirstStatusRequest, RetriesThenGoesOn) {
    writeConfig(ethernet());
    for (int i = 0; i < GetParam().failures; ++i)
        library.queueResult("IAE17AX_Status", ResultCode::TimeoutError);

    load();

    EXPECT_EQ(library.count("IAE17AX_Status"), GetParam().asked);
    EXPECT_EQ(sleepsOf(50), fake.events.sleeps().size());
    EXPECT_EQ(slept(), GetParam().waited);
    EXPECT_EQ(window().ShapeDump.fillColour(), GetParam().colour);
    EXPECT_TRUE(window().Timer1.enabled());
}

INSTANTIATE_TEST_SUITE_P(Answers, FirstStatusRequest,
                         ::testing::Values(StatusCase{0, 1, 0, Colour::Green},
                                           StatusCase{2, 3, 400, Colour::Green},
                                           StatusCase{6, 5, 800, Colour::Red}));

TEST_F(ResidentStartupTest, MissingConfigurationEndsTheProgram) {
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(fake.messages.texts(),
              (std::vector<std::string>{"ERRORE: File di configurazione non trovato"}));
    EXPECT_FALSE(fake.tray.registered);
    EXPECT_TRUE(fake.events.activeTimers().empty());
}

TEST_F(ResidentStartupTest, MissingDataFolderEndsTheProgram) {
    writeConfig(ethernet());
    fake.system.version = {6, 1, 7601, 2};
    fake.system.appDataFolder = "/srv/common";

    EXPECT_EQ(load(), 1);
    EXPECT_EQ(fake.messages.texts(),
              (std::vector<std::string>{"/srv/common/KvlTalvioPos : DIR NON ESISTENTE"}));
    EXPECT_EQ(library.count("IAE17AX_Status"), 0u);
}

TEST_F(ResidentStartupTest, EthernetLabels) {
    writeConfig(ethernet());
    load();
    EXPECT_EQ(window().lblTipo2.caption(), "ETH");
    EXPECT_EQ(program.frmMain.cmbConnessione.text(), "Ethernet");
    EXPECT_EQ(window().lblIPAD2.caption(), program.frmMain.txtIP.text());
    EXPECT_EQ(window().lblIPAD2.caption().substr(0, 13), "192.168.1.50 ");
    EXPECT_EQ(window().lblPORT2.caption(), program.frmMain.txtPorta.text());
    EXPECT_EQ(window().lblPCOM2.caption(), "0");
    EXPECT_EQ(program.frmMain.cmbCOM.listIndex(), -1);
    EXPECT_EQ(window().lblINPF2.caption(), program.params.CommandFilePath);
    EXPECT_EQ(window().lblOUTF2.caption(), program.params.ResultFilePath);
}

TEST_F(ResidentStartupTest, SerialLineLabels) {
    writeConfig("TIPO: COM\r\nPCOM: 3\r\nBAUD: 4800\r\nBITS: 7\r\nPARI: E\r\nSTOP: 2\r\n");
    load();
    EXPECT_EQ(window().lblTipo2.caption(), "COM");
    EXPECT_EQ(program.frmMain.cmbConnessione.text(), "RS232");
    EXPECT_EQ(window().lblPCOM2.caption(), "3");
    EXPECT_EQ(program.frmMain.cmbCOM.text(), "COM3");
    EXPECT_EQ(window().lblBAUD2.caption(), "4800");
    EXPECT_EQ(window().lblBITS2.caption(), "7");
    EXPECT_EQ(window().lblPARI2.caption(), "Even");
    EXPECT_EQ(window().lblSTOP2.caption(), "2");
}

TEST_F(ResidentStartupTest, MissingLibraryIsReportedAndNothingElseRuns) {
    unsetenv("IAE17_LIBRARY");
    library.failAlways(RunTimeError(ErrorNumber::FileNotFound, "File not found: libiae17.so"));

    EXPECT_EQ(load(), -1);

    EXPECT_EQ(
        fake.messages.texts(),
        (std::vector<std::string>{
            "Libreria del terminale non caricata (libiae17.so): File not found: libiae17.so"}));
    EXPECT_EQ(journal(), (std::vector<std::string>{"GetVersion"}));
    EXPECT_FALSE(window().Timer1.enabled());
}

} // namespace
} // namespace kvl::test
