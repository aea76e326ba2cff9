#include "AppFixture.h"
#include "app/ResidentStartup.h"

#include <cstdlib>

namespace kvl::test {
namespace {

const std::string ParameterFile = "/opt/kvl/ParamTlvPos.TXT";
const std::string Settings = "1\r\n/opt/kvl/ConfigTlvPos.TXT\r\n/var/log/kvl.txt\r\n";

int load(App& app) {
    return app.endStatus([&] { frmWpos1Type_Load(app.program); });
}

// The status request is retried 200 ms apart with no timer running; closing
// saves the parameter file and asks: Cancel keeps the service polling, OK ends.
TEST_F(AppTest, ResidentStartupRunsItsStepsInOrderAndClosingAsksFirst) {
    writeConfig();
    fake.files.addFile("/io/SR_OUT.TXT", "stale");
    std::size_t timersDuringStatus = 99;
    LibraryReply reply;
    reply.action = [&](PosRequest&, POSDATA&) {
        timersDuringStatus = fake.events.activeTimers().size();
    };
    library.queueResult("IAE17AX_Status", ResultCode::TimeoutError);
    library.queueReply("IAE17AX_Status", reply);

    EXPECT_EQ(load(*this), -1);

    EXPECT_EQ(journal(), (std::vector<std::string>{"GetVersion", "open ParamTlvPos.TXT",
                                                   "open CONFIGTLVPOS.TXT", "delete SR_OUT.TXT",
                                                   "InitEth", "Status", "InitEth", "Status"}));
    EXPECT_EQ(slept(), 200);
    EXPECT_EQ(timersDuringStatus, 0u);
    EXPECT_EQ(program.frmWpos1Type.ShapeDump.fillColour(), Colour::Green);
    ASSERT_EQ(fake.events.activeTimers().size(), 1u);
    EXPECT_EQ(fake.events.activeTimers()[0].interval.count(), 300);

    for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
        const bool ends = answer == MessageAnswer::Ok;
        fake.messages.setNextAnswer(answer);
        EXPECT_EQ(endStatus([&] { fake.events.requestClose(); }), ends ? 0 : -1);
        EXPECT_EQ(fake.tray.registered, !ends);
        EXPECT_EQ(fake.events.activeTimers().size(), ends ? 0u : 1u);
        EXPECT_EQ(journal().back() == "Free", ends);
    }
    EXPECT_TRUE(fake.files.hasFile(ParameterFile));
    EXPECT_EQ(fake.messages.texts(), std::vector<std::string>(2, "Vuoi terminare l'esecuzione ?"));
}

// A missing configuration or data folder ends the program; a missing library
// is reported and leaves it without polling, and as the parameter file was
// never read, closing must not save the defaults over the operator's settings.
TEST(ResidentStartup, MissingPiecesAreReportedAndNothingIsPolled) {
    const std::pair<int, const char*> cases[] = {
        {1, "ERRORE: File di configurazione non trovato"},
        {1, "/srv/common/KvlTalvioPos : DIR NON ESISTENTE"},
        {-1, "Libreria del terminale non caricata (libiae17.so): File not found: libiae17.so"}};
    for (int i = 0; i < 3; ++i) {
        const auto& [status, message] = cases[i];
        SCOPED_TRACE(message);
        App app;
        app.fake.files.addFile(ParameterFile, Settings);
        unsetenv("IAE17_LIBRARY");
        app.fake.system.version = {6, 1, 7601, 2}; // its data folder under a missing one
        app.fake.system.appDataFolder = "/srv/common";
        if (i > 0)
            app.writeConfig();
        if (i == 2)
            app.library.failAlways(
                RunTimeError(ErrorNumber::FileNotFound, "File not found: libiae17.so"));

        EXPECT_EQ(load(app), status);
        EXPECT_EQ(app.fake.messages.texts(), (std::vector<std::string>{message}));
        EXPECT_EQ(app.library.count("IAE17AX_Status"), 0u);
        EXPECT_FALSE(app.fake.tray.registered);
        EXPECT_TRUE(app.fake.events.activeTimers().empty());
        if (status == -1) {
            EXPECT_EQ(app.endStatus([&] { app.fake.events.requestClose(); }), 0);
        }
        EXPECT_EQ(app.fake.files.content(ParameterFile), Settings);
    }
}

// A parameter file that is there but cannot be read keeps the operator's
// settings: the defaults used meanwhile are not saved over it.
TEST(ResidentStartup, AnUnreadableParameterFileIsNotSavedOver) {
    App app;
    app.fake.files.addFile(ParameterFile, Settings);
    app.fake.files.failReadingAfter(ParameterFile, 1, ErrorNumber::PathFileAccess);
    app.writeConfig();
    EXPECT_EQ(load(app), -1);
    EXPECT_EQ(app.endStatus([&] { app.fake.events.requestClose(); }), 0);
    EXPECT_EQ(app.fake.files.content(ParameterFile), Settings);
}

// The address check refuses a port above 9999 at every exchange; the start
// says why once.
TEST(ResidentStartup, AnUnusablePortIsNamedOnceAtStart) {
    App app;
    app.fake.files.addFile("/opt/kvl/ConfigTlvPos.TXT",
                           "TIPO: ETH\r\nIPAD: 127.0.0.1\r\nPORT: 12345\r\n"
                           "INPF: /io/SR_DATI.TXT\r\nOUTF: /io/SR_OUT.TXT\r\n");
    EXPECT_EQ(load(app), -1);
    EXPECT_EQ(app.fake.messages.texts(),
              std::vector<std::string>{
                  "Porta Eth 12345 non utilizzabile: il programma accetta porte da 1 a 9999"});
    EXPECT_EQ(app.library.count("IAE17AX_Status"), 0u);
}

} // namespace
} // namespace kvl::test
