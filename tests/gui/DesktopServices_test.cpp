// The desktop's event loop and message boxes: boxes with the program's
// titles, icons and buttons answered by the test, timers that never overlap,
// the end of the program from inside a box, and the system's close request.

#include "gui/qt/QtEventLoop.h"

#include "gui/GuiFixture.h"
#include "gui/qt/QtMessageBoxes.h"
#include "gui/qt/Windows1252.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <sstream>

namespace kvl::qt::test {
namespace {

using namespace std::chrono_literals;

TEST(DesktopServices, MessageBoxesShowTheirTitleIconAndButtonsAndReturnTheAnswer) {
    std::ostringstream unattended;
    QtMessageBoxes messages(unattended);
    struct Case {
        const char* text;
        const char* title;
        MessageButtons buttons;
        MessageIcon icon;
        QMessageBox::StandardButtons shown;
        QMessageBox::Icon shownIcon;
        std::function<void(QMessageBox&)> answer;
        MessageAnswer expected;
    };
    const auto press = [](QMessageBox::StandardButton which) {
        return [which](QMessageBox& box) { box.button(which)->click(); };
    };
    const auto key = [](Qt::Key key) {
        return [key](QMessageBox& box) { QTest::keyClick(&box, key); };
    };
    for (const Case& c : std::initializer_list<Case>{
             {"Vuoi terminare l'esecuzione ?", "KvlTalvioPos", MessageButtons::OkCancel,
              MessageIcon::None, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoIcon,
              press(QMessageBox::Cancel), MessageAnswer::Cancel},
             {"Vuoi terminare l'esecuzione ?", "KvlTalvioPos", MessageButtons::OkCancel,
              MessageIcon::None, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoIcon,
              key(Qt::Key_Escape), MessageAnswer::Cancel},
             {"Vuoi terminare l'esecuzione ?", "KvlTalvioPos", MessageButtons::OkCancel,
              MessageIcon::None, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoIcon,
              key(Qt::Key_Return), MessageAnswer::Ok},
             {"Attenzione il campo Id Terminale deve essere compilato", "Attenzione",
              MessageButtons::Ok, MessageIcon::Critical, QMessageBox::Ok, QMessageBox::Critical,
              press(QMessageBox::Ok), MessageAnswer::Ok},
             {"Velocit\xe0 \x80", "KvlTalvioPos", MessageButtons::Ok, MessageIcon::None,
              QMessageBox::Ok, QMessageBox::NoIcon, key(Qt::Key_Escape), MessageAnswer::Ok},
         }) {
        whenModalOpens([&c](QWidget& open) {
            auto* box = qobject_cast<QMessageBox*>(&open);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QString::fromLatin1(c.title));
            EXPECT_EQ(box->text(), fromWindows1252(c.text));
            EXPECT_EQ(box->standardButtons(), c.shown);
            EXPECT_EQ(box->icon(), c.shownIcon);
            EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
                      box->button(QMessageBox::Ok));
            c.answer(*box);
        });
        EXPECT_EQ(messages.show(c.text, c.title, c.buttons, c.icon), c.expected) << c.text;
    }
    EXPECT_EQ(unattended.str(), "");
}

TEST(DesktopServices, TheSystemsCloseRequestAnswersTheOpenBoxesAndEveryLaterOneWithOk) {
    QtEventLoop events;
    std::ostringstream unattended;
    QtMessageBoxes messages(unattended);
    events.beforeSystemClose([&messages] { messages.answerUnattended(); });
    MessageAnswer question = MessageAnswer::Cancel;
    events.onCloseRequest([&] {
        question = messages.show("Vuoi terminare l'esecuzione ?", "KvlTalvioPos",
                                 MessageButtons::OkCancel, MessageIcon::None);
    });

    whenModalOpens([](QWidget&) { ::raise(SIGTERM); });
    const MessageAnswer open =
        messages.show("Attenzione il campo Porta deve essere compilato", "Attenzione",
                      MessageButtons::Ok, MessageIcon::Critical);
    EXPECT_EQ(open, MessageAnswer::Ok);
    ASSERT_TRUE(eventually([&] { return !unattended.str().empty(); }));
    EXPECT_EQ(question, MessageAnswer::Ok);
    EXPECT_EQ(unattended.str(), "KvlTalvioPos: Vuoi terminare l'esecuzione ?\n");
    events.onCloseRequest(nullptr);
}

TEST(DesktopServices, ATimerIsNotEnteredAgainWhileItsHandlerRuns) {
    QtEventLoop events;
    int entered = 0, running = 0, overlaps = 0;
    EventLoop::TimerId id = 0;
    id = events.startTimer(1ms, [&] {
        overlaps += running;
        ++running;
        ++entered;
        // The handler lets events run, as SleepDelay does, for longer than
        // the interval.
        for (int i = 0; i < 5; ++i) {
            events.sleep(2ms);
            events.processEvents();
        }
        --running;
        if (entered == 3)
            events.stopTimer(id);
    });
    ASSERT_TRUE(eventually([&] { return entered >= 3; }));
    QTest::qWait(20);
    EXPECT_EQ(entered, 3) << "stopped from inside its own handler";
    EXPECT_EQ(overlaps, 0);
}

TEST(DesktopServices, QuitEndsEveryLoopAtOnceAndFromThenOnNothingIsDispatched) {
    {
        QtEventLoop events;
        events.quit(1);
        events.quit(0);
        EXPECT_EQ(events.run(), 1) << "a quit before run ends it at once; the first status stays";
        int fired = 0;
        events.startTimer(0ms, [&fired] { ++fired; });
        events.processEvents();
        EXPECT_EQ(fired, 0);
    }
    {
        // A procedure ends the program while a box is open, as the close
        // from the tray menu does during a tick's box.
        QtEventLoop events;
        std::ostringstream unattended;
        QtMessageBoxes messages(unattended);
        MessageAnswer answer = MessageAnswer::Cancel;
        events.startTimer(1ms, [&] {
            static bool once = false;
            if (once)
                return;
            once = true;
            whenModalOpens([&events](QWidget&) { events.quit(0); });
            answer = messages.show("Cartella per file di I/O non trovata. Creare cartella.",
                                   "KvlTalvioPos", MessageButtons::OkCancel, MessageIcon::None);
        });
        EXPECT_EQ(events.run(), 0);
        EXPECT_EQ(answer, MessageAnswer::Ok) << "a box after the end answers its default";
        EXPECT_TRUE(events.quitRequested());
    }
}

} // namespace
} // namespace kvl::qt::test
