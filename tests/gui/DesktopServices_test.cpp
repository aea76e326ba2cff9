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
#include <utility>

namespace kvl::qt::test {
namespace {

using namespace std::chrono_literals;

TEST(DesktopServices, MessageBoxesShowTheirTitleIconAndButtonsAndReturnTheAnswer) {
    std::ostringstream unattended;
    QtMessageBoxes messages(unattended);
    struct Case {
        const char *text, *title;
        MessageButtons buttons;
        MessageIcon icon;
        QMessageBox::StandardButtons shown;
        QMessageBox::Icon shownIcon;
        Qt::Key key;
        MessageAnswer expected;
    };
    const auto okCancel = QMessageBox::Ok | QMessageBox::Cancel;
    for (const Case& c : std::initializer_list<Case>{
             {"Vuoi terminare l'esecuzione ?", "KvlTalvioPos", MessageButtons::OkCancel,
              MessageIcon::None, okCancel, QMessageBox::NoIcon, Qt::Key_Escape,
              MessageAnswer::Cancel},
             {"Vuoi terminare l'esecuzione ?", "KvlTalvioPos", MessageButtons::OkCancel,
              MessageIcon::None, okCancel, QMessageBox::NoIcon, Qt::Key_Return, MessageAnswer::Ok},
             {"Velocit\xe0 \x80", "Attenzione", MessageButtons::Ok, MessageIcon::Critical,
              QMessageBox::Ok, QMessageBox::Critical, Qt::Key_Escape, MessageAnswer::Ok},
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
            QTest::keyClick(box, c.key);
        });
        EXPECT_EQ(messages.show(c.text, c.title, c.buttons, c.icon), c.expected) << c.text;
    }
    EXPECT_EQ(unattended.str(), "");
}

// The system's close request answers the open box, and the close question it
// asks, with OK; so does an end of the program from inside a box.
TEST(DesktopServices, TheSystemsCloseRequestAndTheEndAnswerTheOpenBoxesWithOk) {
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
    EXPECT_EQ(messages.show("Attenzione il campo Porta deve essere compilato", "Attenzione",
                            MessageButtons::Ok, MessageIcon::Critical),
              MessageAnswer::Ok);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !unattended.str().empty(); }, 5000));
    EXPECT_EQ(question, MessageAnswer::Ok);
    EXPECT_EQ(unattended.str(), "KvlTalvioPos: Vuoi terminare l'esecuzione ?\n");
    events.onCloseRequest(nullptr);

    // A quit before run ends it at once, the first status staying, and nothing
    // is dispatched after; a quit from inside a box ends the loop.
    QtEventLoop quitting;
    quitting.quit(1);
    quitting.quit(0);
    EXPECT_EQ(quitting.run(), 1);
    bool fired = false;
    quitting.startTimer(0ms, [&fired] { fired = true; });
    quitting.processEvents();
    EXPECT_FALSE(fired);

    QtEventLoop ending;
    QtMessageBoxes attended(unattended);
    MessageAnswer answer = MessageAnswer::Cancel;
    bool once = false;
    ending.startTimer(1ms, [&] {
        if (std::exchange(once, true))
            return;
        whenModalOpens([&ending](QWidget&) { ending.quit(0); });
        answer = attended.show("Cartella per file di I/O non trovata. Creare cartella.",
                               "KvlTalvioPos", MessageButtons::OkCancel, MessageIcon::None);
    });
    EXPECT_EQ(ending.run(), 0);
    EXPECT_EQ(answer, MessageAnswer::Ok) << "a box after the end answers its default";
}

} // namespace
} // namespace kvl::qt::test
