#include "gui/qt/FormWindow.h"

#include "console/ConsoleProcedures.h"
#include "console/form/FrmMain.h"
#include "gui/GuiFixture.h"
#include "gui/qt/Windows1252.h"
#include "support/TerminalParts.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace kvl::qt::test {
namespace {

class ConsoleView : public testing::Test {
protected:
    ConsoleView() { attachConsoleProcedures(console); }

    kvl::test::TerminalParts parts;
    QtEventLoop events;
    ConsoleContext console{parts.terminal, events};
    FrmMain& frmMain = parts.frmMain;
    FormWindow window{frmMain, consoleStyle(frmMain), events};

    QLineEdit* edit(const std::string& name) { return widgetOf<QLineEdit>(window, name); }
};

TEST_F(ConsoleView, PlacesEachControlAtItsTwipsInsideItsFrame) {
    EXPECT_EQ(window.client()->minimumSize(), QSize(504, 683));
    // Pixels are twips / 15, a frame's position added to its controls'.
    for (const auto& [name, pixels] :
         std::initializer_list<std::pair<const char*, QRect>>{{"Frame1", {8, 8, 153, 65}},
                                                              {"txtTerminale", {80, 24, 73, 19}},
                                                              {"cmbConnessione", {80, 80, 81, 21}},
                                                              {"btnPagamento", {304, 80, 81, 25}},
                                                              {"txtContratto", {16, 368, 473, 57}},
                                                              {"Label18", {16, 618, 80, 16}},
                                                              {"DllVersion", {456, 656, 41, 17}}}) {
        const QWidget* widget = widgetOf<QWidget>(window, name);
        EXPECT_EQ(QRect(widget->mapTo(window.client(), QPoint(0, 0)), widget->size()), pixels)
            << name;
    }
    for (Control* control : frmMain.controls())
        EXPECT_NE(window.findChild<QWidget*>(QString::fromStdString(control->name())), nullptr)
            << control->name();
    EXPECT_EQ(widgetOf<QLabel>(window, "Label12")->text(), QString::fromUtf8("Velocità"));
}

// Typed or pasted, the operator's text keeps to the limit and to Windows-1252;
// the program's own writes show whole and the operator cannot grow them.
TEST_F(ConsoleView, AnOperatorsInputKeepsToTheLimitAndTheProgramsText) {
    frmMain.txtTerminale.setVisible(true);
    struct Case {
        TextBox FrmMain::*field;
        bool paste;
        QString input;
        std::string model; // Windows-1252
    };
    for (const Case& c : std::initializer_list<Case>{
             {&FrmMain::txtCassa, false, "123456789", "12345678"},
             {&FrmMain::txtPorta, true, "808012345", "80801"},
             {&FrmMain::txtContratto, true, QString(1000, QLatin1Char('x')), std::string(128, 'x')},
             {&FrmMain::txtCodicePreautorizzazione, true, QString::fromUtf8("Łódź€"),
              "?\xf3"
              "d?\x80"},
             {&FrmMain::txtTerminale, true, "A\r\nB\tC", "A  B C"},
             {&FrmMain::txtImporto, false, "99", "1"}, // disabled
         }) {
        const TextBox& model = frmMain.*c.field;
        QLineEdit* box = edit(model.name());
        box->selectAll();
        box->del();
        if (c.paste) {
            QGuiApplication::clipboard()->setText(c.input);
            box->paste();
        } else {
            QTest::keyClicks(box, c.input);
        }
        EXPECT_EQ(model.text(), c.model) << model.name();
        EXPECT_EQ(box->text(), fromWindows1252(model.text())) << model.name();
    }

    frmMain.txtIP.setText("10.20.30.40.50.60.70"); // limit 15
    QLineEdit* box = edit("txtIP");
    EXPECT_EQ(box->text(), "10.20.30.40.50.60.70");
    box->end(false);
    QTest::keyClicks(box, "1");
    QTest::keyClick(box, Qt::Key_Backspace); // still past the limit: refused too
    EXPECT_EQ(frmMain.txtIP.text(), "10.20.30.40.50.60.70");
    EXPECT_EQ(box->text(), "10.20.30.40.50.60.70");
    box->selectAll();
    QTest::keyClicks(box, "127.0.0.1");
    EXPECT_EQ(frmMain.txtIP.text(), "127.0.0.1");

    frmMain.txtTermId.setText(std::string("1234\0\0\0\0", 8));
    EXPECT_EQ(edit("txtTermId")->text(), "1234");
}

TEST_F(ConsoleView, ModelChangesShowAtOnceAndTheOperatorsChoicesAndCloseReachTheForm) {
    auto* combo = widgetOf<QComboBox>(window, "cmbBaud");
    EXPECT_EQ(combo->currentIndex(), -1);
    frmMain.cmbBaud.setListIndex(4);
    EXPECT_EQ(combo->currentText(), "9600");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(frmMain.cmbBaud.listIndex(), 5);

    frmMain.txtEsito.setText("OK");
    EXPECT_EQ(edit("txtEsito")->text(), "OK");
    EXPECT_TRUE(edit("txtEsito")->isReadOnly()) << "the answer is the terminal's";
    frmMain.btnAccredito.setEnabled(false);
    EXPECT_FALSE(widgetOf<QPushButton>(window, "btnAccredito")->isEnabled());
    EXPECT_TRUE(edit("txtTerminale")->isHidden());
    frmMain.txtTerminale.setVisible(true);
    EXPECT_FALSE(edit("txtTerminale")->isHidden());

    EXPECT_FALSE(window.isVisible());
    frmMain.show();
    EXPECT_TRUE(window.isVisible());
    int unloads = 0;
    frmMain.onUnload([&unloads] { ++unloads; });
    window.close(); // the close box asks the form
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(frmMain.visible() || window.isVisible());
}

// A typed terminal id and a click on "Pagamento": the payment runs with the
// button locked and the hourglass showing, and its outcome shows.
TEST_F(ConsoleView, AClickedPaymentReachesTheLibraryAndItsOutcomeShows) {
    frmMain.cmbConnessione.setListIndex(0);
    frmMain.txtTerminale.setVisible(true);
    auto* pagamento = widgetOf<QPushButton>(window, "btnPagamento");
    bool lockedDuringCall = false;
    parts.library.queueReply("IAE17AX_Payment",
                             {ResultCode::Ok, {{"TerminalId", "12345678"}}, [&](auto&, auto&) {
                                  lockedDuringCall =
                                      !pagamento->isEnabled() && QApplication::overrideCursor() &&
                                      QApplication::overrideCursor()->shape() == Qt::WaitCursor;
                              }});
    QTest::keyClicks(edit("txtTerminale"), "T0000001");
    QTest::mouseClick(pagamento, Qt::LeftButton);
    ASSERT_EQ(parts.library.count("IAE17AX_Payment"), 1u);
    EXPECT_TRUE(lockedDuringCall);
    EXPECT_TRUE(pagamento->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(edit("txtEsito")->text(), "OK");
    EXPECT_EQ(edit("txtTermId")->text().trimmed(), "12345678");
}

} // namespace
} // namespace kvl::qt::test
