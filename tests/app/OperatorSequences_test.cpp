#include "AppFixture.h"

#include <utility>

namespace kvl::test {
namespace {

// The program on a good terminal, started; the calls of its start-up forgotten.
struct Started : App {
    explicit Started(const std::string& commandLine) {
        EXPECT_EQ(start(commandLine), -1);
        library.clearCalls();
    }
    bool polling() const { return program.frmWpos1Type.Timer1.enabled(); }
};

// The console in use, the operator's identity typed in.
struct Interactive : ::testing::Test, Started {
    Interactive() : Started("-I") {
        Subscription view = program.frmMain.txtTerminale.onChange([](Property) {});
        EXPECT_TRUE(program.frmMain.txtTerminale.typeText("12345678", &view));
    }
};

// A console button writes no result; a tick while the library works for it
// leaves the command file for the next tick instead of meeting a refused call.
TEST_F(Interactive, ATickDuringAConsoleOperationLeavesTheCommandForTheNextTick) {
    EXPECT_TRUE(program.frmMain.visible() && program.frmMain.txtTerminale.visible());
    fake.files.addFile(Command, "POS_STATUS\r\n");
    LibraryReply busy;
    busy.action = [&](PosRequest&, POSDATA&) { fake.events.fireActiveTimers(); };
    library.queueReply("IAE17AX_Payment", busy);

    EXPECT_TRUE(program.frmMain.btnPagamento.click());
    EXPECT_EQ(library.entryPoints(),
              (std::vector<std::string>{"IAE17AX_InitEth", "IAE17AX_Payment"}));
    EXPECT_EQ(library.amounts("IAE17AX_Payment"), std::vector<std::string>{"1"});
    EXPECT_EQ(program.frmMain.txtEsito.text(), "OK");
    EXPECT_TRUE(fake.files.appends.empty() && fake.files.hasFile(Command) && polling());

    fake.events.fireActiveTimers();
    EXPECT_FALSE(fake.files.hasFile(Command));
    EXPECT_NE(fake.files.content(Result).find("ESITO_COMANDO = OK"), std::string::npos);
}

// While a console box waits the service answers the ECR; while the About box
// is open nothing is polled, and the command is answered once it is closed.
TEST_F(Interactive, CommandsAreAnsweredWhileAConsoleBoxIsOpenAndWaitForTheAboutBox) {
    library.failAlways("IAE17AX_Refund", RunTimeError(ErrorNumber::EntryPointNotFound, "none"));
    fake.messages.whileOpen = [&](const FakeMessageBoxes::Shown&) {
        fake.files.addFile(Command, "POS_STATUS\r\n");
        fake.events.fireActiveTimers();
        EXPECT_FALSE(fake.files.hasFile(Command));
    };
    program.frmMain.btnAccredito.click();
    program.frmMain.txtCassa.setText("");
    program.frmMain.btnAccredito.click();
    EXPECT_EQ(library.count("IAE17AX_Status"), 2u);
    EXPECT_EQ(fake.messages.texts().size(), 2u);

    modal.whileOpen = [&](Form&) {
        fake.files.addFile(Command, "POS_STATUS\r\n");
        fake.events.fireActiveTimers();
        EXPECT_TRUE(fake.files.hasFile(Command));
    };
    program.frmWpos1Type.mInfo.click();
    EXPECT_TRUE(polling());
    fake.events.fireActiveTimers();
    EXPECT_FALSE(fake.files.hasFile(Command));
    EXPECT_EQ(library.count("IAE17AX_Status"), 3u);
}

TEST_F(Interactive, ConsoleClicksDuringACommandsPaymentStartNothing) {
    fake.files.addFile(Command, "POS_PAGAME,T00000001,E00000001,A000001250,P00\r\n");
    LibraryReply payment{ResultCode::Ok, {{"TransactionResult", "00"}}, {}};
    payment.action = [&](PosRequest&, POSDATA&) {
        program.frmMain.btnStatus.click();
        program.frmMain.btnPagamento.click();
        program.frmMain.btnTotali.click();
    };
    library.queueReply("IAE17AX_Payment", payment);

    fake.events.fireActiveTimers();

    EXPECT_EQ(library.amounts("IAE17AX_Payment"), std::vector<std::string>{"000001250"});
    EXPECT_EQ(library.count("IAE17AX_Status"), 1u); // the handler's own check
    EXPECT_EQ(library.count("IAE17AX_TerminalBalance"), 0u);
    EXPECT_NE(fake.files.content(Result).find("ESITO_COMANDO = OK"), std::string::npos);
}

// "T&ermina KvlTalvioPos" chosen while a tick waits.
TEST(ExitDuringATick, OkEndsTheProgramThereCancelLetsPollingGoOn) {
    for (const MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Cancel}) {
        const bool ok = answer == MessageAnswer::Ok;
        Started app("");
        bool clicked = false;
        app.fake.events.duringProcessEvents = [&] {
            if (!std::exchange(clicked, true))
                app.program.frmWpos1Type.m_esci.click();
        };
        app.fake.messages.setNextAnswer(answer);

        app.fake.events.fireActiveTimers();

        EXPECT_EQ(app.fake.messages.texts(),
                  std::vector<std::string>{"Vuoi terminare l'esecuzione ?"});
        EXPECT_EQ(app.fake.events.quitStatus().value_or(-1), ok ? 0 : -1);
        EXPECT_EQ(app.library.count("IAE17AX_Free"), ok ? 1u : 0u);
        EXPECT_EQ(app.polling(), !ok);
        EXPECT_EQ(app.fake.events.activeTimers().size(), ok ? 0u : 1u);
    }
}

} // namespace
} // namespace kvl::test
