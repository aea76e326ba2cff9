// The console's window: every control a widget named after it at its twips
// position, the limits an operator meets, and the binding both ways.

#include "gui/qt/FormWindow.h"

#include "console/ConsoleProcedures.h"
#include "console/form/FrmMain.h"
#include "gui/GuiFixture.h"
#include "gui/qt/Windows1252.h"
#include "support/TerminalParts.h"

#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace kvl::qt::test {
namespace {

class ConsoleView : public testing::Test {
protected:
    QtEventLoop events;
    FrmMain frmMain;
    FormWindow window{frmMain, consoleStyle(frmMain), events};

    QLineEdit* edit(const std::string& name) { return widgetOf<QLineEdit>(window, name); }
    QRect placed(const std::string& name) {
        const QWidget* widget = widgetOf<QWidget>(window, name);
        return QRect(widget->mapTo(window.client(), QPoint(0, 0)), widget->size());
    }
};

TEST_F(ConsoleView, PlacesEachControlAtItsTwipsInsideItsFrame) {
    EXPECT_EQ(window.windowTitle(), "Test Iae17  (KVL modified)");
    EXPECT_EQ(window.client()->minimumSize(), QSize(504, 683));
    struct Case {
        const char* name;
        QRect pixels;
    };
    // Left, top, width, height in pixels: twips / 15, a frame's position
    // added to the positions of the controls inside it.
    for (const Case& c : std::initializer_list<Case>{
             {"Frame1", {8, 8, 153, 65}},
             {"txtTerminale", {80, 24, 73, 19}},
             {"cmbConnessione", {80, 80, 81, 21}},
             {"btnPagamento", {304, 80, 81, 25}},
             {"btnStornoPreautorizzazione", {392, 320, 97, 25}},
             {"txtContratto", {16, 368, 473, 57}},
             {"txtData", {432, 520, 57, 19}},
             {"Label18", {16, 618, 80, 16}},
             {"txtDescrKO", {104, 616, 385, 19}},
             {"DllVersion", {456, 656, 41, 17}},
         })
        EXPECT_EQ(placed(c.name), c.pixels) << c.name;

    for (Control* control : frmMain.controls())
        EXPECT_NE(window.findChild<QWidget*>(QString::fromStdString(control->name())), nullptr)
            << control->name();
    EXPECT_EQ(widgetOf<QGroupBox>(window, "Frame8")->title(), "Esito");
    EXPECT_EQ(widgetOf<QLabel>(window, "Label12")->text(), QString::fromUtf8("Velocità"));
}

TEST_F(ConsoleView, AnOperatorsInputKeepsToTheLimitAndTheProgramsText) {
    frmMain.txtTerminale.setVisible(true);
    const QString longText(1000, QLatin1Char('x'));
    struct Case {
        const char* field;
        bool paste;
        QString input;
        std::string model; // what the model holds afterwards, Windows-1252
    };
    for (const Case& c : std::initializer_list<Case>{
             {"txtCassa", false, "123456789", "12345678"},
             {"txtPorta", true, "808012345", "80801"},
             {"txtContratto", true, longText, std::string(128, 'x')},
             {"txtCodicePreautorizzazione", true, QString::fromUtf8("Łódź€"),
              "?\xf3"
              "d?\x80"},
             {"txtTerminale", true, "A\r\nB\tC", "A  B C"},
             {"txtImporto", false, "99", "1"}, // disabled
         }) {
        QLineEdit* box = edit(c.field);
        box->selectAll();
        box->del();
        if (c.paste) {
            QGuiApplication::clipboard()->setText(c.input);
            box->paste();
        } else {
            QTest::keyClicks(box, c.input);
        }
        const auto* model = dynamic_cast<const TextBox*>([&]() -> Control* {
            for (Control* control : frmMain.controls())
                if (control->name() == c.field)
                    return control;
            return nullptr;
        }());
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->text(), c.model) << c.field;
        EXPECT_EQ(box->text(), fromWindows1252(model->text())) << c.field;
    }
}

TEST_F(ConsoleView, TheProgramsWritesShowWholeAndTheOperatorCannotGrowThem) {
    frmMain.txtIP.setText("10.20.30.40.50.60.70"); // 20 characters, limit 15
    QLineEdit* box = edit("txtIP");
    EXPECT_EQ(box->text(), "10.20.30.40.50.60.70");
    box->end(false);
    QTest::keyClicks(box, "1");
    EXPECT_EQ(frmMain.txtIP.text(), "10.20.30.40.50.60.70");
    EXPECT_EQ(box->text(), "10.20.30.40.50.60.70");
    // The model takes no operator text past the limit, even a shorter one:
    // the widget keeps showing what the model holds.
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), fromWindows1252(frmMain.txtIP.text()));
    box->selectAll();
    QTest::keyClicks(box, "127.0.0.1");
    EXPECT_EQ(frmMain.txtIP.text(), "127.0.0.1");

    // A text written with a NUL shows up to it.
    frmMain.txtTermId.setText(std::string("1234\0\0\0\0", 8));
    EXPECT_EQ(edit("txtTermId")->text(), "1234");
}

TEST_F(ConsoleView, ModelChangesShowAtOnceAndOperatorChoicesReachTheModel) {
    auto* combo = widgetOf<QComboBox>(window, "cmbBaud");
    EXPECT_EQ(combo->count(), 6);
    EXPECT_EQ(combo->currentIndex(), -1) << "nothing selected before the start-up";
    frmMain.cmbBaud.setListIndex(4);
    EXPECT_EQ(combo->currentText(), "9600");

    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(frmMain.cmbBaud.listIndex(), 5);

    frmMain.txtEsito.setText("OK");
    EXPECT_EQ(edit("txtEsito")->text(), "OK");
    EXPECT_TRUE(edit("txtEsito")->isReadOnly()) << "the answer is the terminal's";
    EXPECT_FALSE(edit("txtCassa")->isReadOnly());

    QTest::keyClicks(edit("txtCassa"), "1");
    EXPECT_EQ(frmMain.txtCassa.text(), "99999999") << "limit 8";

    frmMain.btnAccredito.setEnabled(false);
    EXPECT_FALSE(widgetOf<QPushButton>(window, "btnAccredito")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                             : Qt::ArrowCursor,
              Qt::WaitCursor)
        << "hourglass while a button is disabled";
    frmMain.btnAccredito.setEnabled(true);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    EXPECT_TRUE(widgetOf<QLineEdit>(window, "txtTerminale")->isHidden());
    frmMain.txtTerminale.setVisible(true);
    EXPECT_FALSE(widgetOf<QLineEdit>(window, "txtTerminale")->isHidden());
}

TEST_F(ConsoleView, TheWindowFollowsTheFormAndItsCloseBoxAsksTheForm) {
    EXPECT_FALSE(window.isVisible());
    frmMain.show();
    EXPECT_TRUE(window.isVisible());
    int unloads = 0;
    frmMain.onUnload([&unloads] { ++unloads; });
    window.close();
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(frmMain.visible());
    EXPECT_FALSE(window.isVisible());
}

// The operator fills the terminal id and clicks "Pagamento": the button's
// procedure runs against the scripted library, with the buttons locked and
// the hourglass showing during the call, and the outcome shows in txtEsito.
TEST(ConsoleOperationView, AClickedPaymentReachesTheLibraryAndItsOutcomeShows) {
    kvl::test::TerminalParts parts;
    QtEventLoop events;
    ConsoleContext console{parts.terminal, events};
    attachConsoleProcedures(console);
    FrmMain& form = parts.frmMain;
    form.cmbConnessione.setListIndex(0);
    form.txtTerminale.setVisible(true);
    FormWindow window(form, consoleStyle(form), events);
    auto* pagamento = widgetOf<QPushButton>(window, "btnPagamento");
    auto* esito = widgetOf<QLineEdit>(window, "txtEsito");

    bool lockedDuringCall = false;
    parts.library.queueReply("IAE17AX_Payment",
                             {ResultCode::Ok, {{"TerminalId", "12345678"}}, [&](auto&, auto&) {
                                  lockedDuringCall =
                                      !pagamento->isEnabled() && QApplication::overrideCursor() &&
                                      QApplication::overrideCursor()->shape() == Qt::WaitCursor;
                              }});

    QTest::mouseClick(pagamento, Qt::LeftButton);
    EXPECT_EQ(parts.library.count("IAE17AX_Payment"), 0u) << "no terminal id yet";
    ASSERT_EQ(parts.fake.messages.shown().size(), 1u);
    EXPECT_EQ(parts.fake.messages.shown()[0].text,
              "Attenzione il campo Id Terminale deve essere compilato");

    QTest::keyClicks(widgetOf<QLineEdit>(window, "txtTerminale"), "T0000001");
    QTest::mouseClick(pagamento, Qt::LeftButton);
    ASSERT_EQ(parts.library.count("IAE17AX_Payment"), 1u);
    EXPECT_TRUE(lockedDuringCall);
    EXPECT_TRUE(pagamento->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(esito->text(), "OK");
    EXPECT_EQ(widgetOf<QLineEdit>(window, "txtTermId")->text().trimmed(), "12345678");
}

} // namespace
} // namespace kvl::qt::test
