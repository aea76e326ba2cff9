#include "AppFixture.h"
#include "app/ResidentStartup.h"

#include <cstdlib>

namespace kvl::test {
namespace {

const std::string ParameterFile = "/opt/kvl/ParamTlvPos.TXT";
const std::string Settings = "1\r\n/opt/kvl/ConfigTlvPos.TXT\r\n/var/log/kvl.txt\r\n";

int load(App& app) {
    return App::endStatus([&] { frmWpos1Type_Load(app.program); });
}

TEST_F(AppTest, ResidentStartupRunsItsStepsInOrderAndStartsPollingLast) {
    writeConfig();
    fake.files.addFile("/io/SR_OUT.TXT", "stale");
    std::size_t timersDuringStatus = 99;
    LibraryReply reply;
    reply.action = [&](PosRequest&, POSDATA&) {
        timersDuringStatus = fake.events.activeTimers().size();
    };
    library.queueReply("IAE17AX_Status", reply);

    EXPECT_EQ(load(*this), -1);

    EXPECT_EQ(journal(), (std::vector<std::string>{"GetVersion", "open ParamTlvPos.TXT",
                                                   "open CONFIGTLVPOS.TXT", "delete SR_OUT.TXT",
                                                   "InitEth", "Status"}));
    EXPECT_EQ(timersDuringStatus, 0u);
    EXPECT_EQ(program.frmWpos1Type.ShapeDump.fillColour(), Colour::Green);
    EXPECT_TRUE(fake.tray.registered);
    ASSERT_EQ(fake.events.activeTimers().size(), 1u);
    EXPECT_EQ(fake.events.activeTimers()[0].interval.count(), 300);
}

// Up to five status requests, 200 ms apart; polling starts whatever the answer.
TEST(ResidentStartup, FirstStatusRequestIsRetriedThenPollingStarts) {
    const struct {
        int unanswered;
        std::size_t asked;
        long long waited;
        long colour;
    } cases[] = {{0, 1, 0, Colour::Green}, {2, 3, 400, Colour::Green}, {6, 5, 800, Colour::Red}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unanswered);
        App app;
        app.writeConfig();
        for (int i = 0; i < c.unanswered; ++i)
            app.library.queueResult("IAE17AX_Status", ResultCode::TimeoutError);

        EXPECT_EQ(load(app), -1);
        EXPECT_EQ(app.library.count("IAE17AX_Status"), c.asked);
        EXPECT_EQ(app.slept(), c.waited);
        EXPECT_EQ(app.program.frmWpos1Type.ShapeDump.fillColour(), c.colour);
        EXPECT_TRUE(app.program.frmWpos1Type.Timer1.enabled());
    }
}

// A missing configuration or data folder ends the program; a missing library
// is reported and leaves it without polling, and as the parameter file was
// never read, closing must not save the defaults over the operator's settings.
TEST(ResidentStartup, MissingPiecesAreReportedAndNothingIsPolled) {
    const struct {
        void (*setup)(App&);
        int status;
        const char* message;
    } cases[] = {
        {[](App&) {}, 1, "ERRORE: File di configurazione non trovato"},
        {[](App& app) {
             app.writeConfig();
             app.fake.system.version = {6, 1, 7601, 2};
             app.fake.system.appDataFolder = "/srv/common";
         },
         1, "/srv/common/KvlTalvioPos : DIR NON ESISTENTE"},
        {[](App& app) {
             app.writeConfig();
             unsetenv("IAE17_LIBRARY");
             app.library.failAlways(
                 RunTimeError(ErrorNumber::FileNotFound, "File not found: libiae17.so"));
         },
         -1, "Libreria del terminale non caricata (libiae17.so): File not found: libiae17.so"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        App app;
        app.fake.files.addFile(ParameterFile, Settings);
        c.setup(app);

        EXPECT_EQ(load(app), c.status);
        EXPECT_EQ(app.fake.messages.texts(), (std::vector<std::string>{c.message}));
        EXPECT_EQ(app.library.count("IAE17AX_Status"), 0u);
        EXPECT_FALSE(app.fake.tray.registered);
        EXPECT_TRUE(app.fake.events.activeTimers().empty());
        if (c.status == -1) {
            EXPECT_EQ(App::endStatus([&] { app.fake.events.requestClose(); }), 0);
        }
        EXPECT_EQ(app.fake.files.content(ParameterFile), Settings);
    }
}

// Closing saves the parameter file and asks; OK ends the program, Cancel
// keeps the service polling.
TEST(ResidentClose, SavesAsksThenEndsOrKeepsPolling) {
    for (const MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Cancel}) {
        const bool ends = answer == MessageAnswer::Ok;
        SCOPED_TRACE(ends ? "OK" : "Cancel");
        App app;
        app.writeConfig();
        load(app);
        app.fake.messages.setNextAnswer(answer);

        EXPECT_EQ(App::endStatus([&] { app.fake.events.requestClose(); }), ends ? 0 : -1);

        EXPECT_TRUE(app.fake.files.hasFile(ParameterFile));
        ASSERT_EQ(app.fake.messages.texts(),
                  (std::vector<std::string>{"Vuoi terminare l'esecuzione ?"}));
        EXPECT_EQ(app.fake.tray.registered, !ends);
        EXPECT_EQ(app.fake.events.activeTimers().size(), ends ? 0u : 1u);
        EXPECT_EQ(app.journal().back() == "Free", ends);
    }
}

} // namespace
} // namespace kvl::test
