#include "gui/qt/FormWindow.h"

#include "gui/GuiFixture.h"
#include "gui/qt/QtModalForms.h"
#include "gui/qt/QtTrayIcon.h"
#include "shell/forms/FrmAbout.h"
#include "shell/forms/FrmWpos1Type.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QTest>

#include <vector>

namespace kvl::qt::test {
namespace {

class ShellViews : public testing::Test {
protected:
    QtEventLoop events;
    FrmWpos1Type frmWpos1Type;
    FrmAbout frmAbout;
    FormWindow resident{frmWpos1Type, residentStyle(), events};
    FormWindow about{frmAbout, aboutStyle(), events, &resident};
};

// The menu bar's command and the drop-down's default entry, in bold, run
// their procedures; the check box's clicks reach the model and back.
TEST_F(ShellViews, MenuEntriesAndTheCheckBoxReachTheirModels) {
    QMenu* popup = resident.popupMenu("m_File");
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->actions().size(), 1);
    EXPECT_EQ(popup->actions()[0]->text(), "T&ermina KvlTalvioPos");
    EXPECT_TRUE(popup->actions()[0]->font().bold());
    int clicks = 0;
    frmWpos1Type.Manuale.onClick([&clicks] { ++clicks; });
    frmWpos1Type.m_esci.onClick([&clicks] { clicks += 10; });
    resident.menuBar()->actions()[1]->trigger();
    popup->actions()[0]->trigger();
    EXPECT_EQ(clicks, 11);

    auto* check = widgetOf<QCheckBox>(resident, "chkEnableLog");
    frmWpos1Type.show();
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(frmWpos1Type.chkEnableLog.value(), 1);
    frmWpos1Type.chkEnableLog.setValue(0);
    EXPECT_FALSE(check->isChecked());
}

TEST_F(ShellViews, MinimisingIsTheFormsWindowStateAndItsResizeProcedureDecides) {
    frmWpos1Type.onResize([this] {
        if (frmWpos1Type.windowState() == WindowState::Minimised)
            frmWpos1Type.hide();
    });
    frmWpos1Type.show();
    ASSERT_TRUE(resident.isVisible());
    resident.setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(frmWpos1Type.windowState(), WindowState::Minimised);
    EXPECT_FALSE(resident.isVisible()) << "hidden: only the tray icon is left";
    frmWpos1Type.setWindowState(WindowState::Normal);
    frmWpos1Type.show();
    EXPECT_TRUE(resident.isVisible());
    EXPECT_FALSE(resident.isMinimized());
}

TEST_F(ShellViews, TheAboutBoxIsModalFixedCentredAndClosedByEnterOrEsc) {
    QtModalForms modal{[this](Form& form) { return &form == &frmAbout ? &about : &resident; }};
    frmAbout.load();
    frmAbout.cmdOK.onClick([this] { frmAbout.unload(); });
    frmAbout.setOwner(&frmWpos1Type);
    frmWpos1Type.show();
    resident.move(100, 80);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        bool seen = false;
        whenModalOpens([&](QWidget& open) {
            seen = &open == &about;
            EXPECT_EQ(open.windowTitle(), "Informazioni su KVL TalvioPos (Ingenico)");
            EXPECT_EQ(open.minimumSize(), open.maximumSize()) << "fixed";
            EXPECT_EQ(open.size(), QSize(487, 217));
            EXPECT_LE((open.frameGeometry().center() - resident.frameGeometry().center())
                          .manhattanLength(),
                      4)
                << "centred on its owner, to the rounding of the halves";
            EXPECT_EQ(widgetOf<QLabel>(open, "lblTitle")->text(),
                      "KvlTalvioPos per sistemi Windows 32/64 bit");
            EXPECT_EQ(widgetOf<QLabel>(open, "lblVersion")->text(), "Versione 1.0.0.7");
            EXPECT_EQ(widgetOf<QLabel>(open, "lblDescription")->text().toStdString(),
                      ProgramDescription);
            QTest::keyClick(&open, key);
        });
        modal.showModal(frmAbout);
        EXPECT_TRUE(seen);
        EXPECT_FALSE(frmAbout.visible() || about.isVisible());
    }
}

TEST_F(ShellViews, TheTrayIconReportsItsMouseEventsAsTheShellNumbersThem) {
    QtTrayIcon tray(events);
    std::vector<int> reported;
    tray.onActivation([&reported](int mouseEvent) { reported.push_back(mouseEvent); });
    NotifyIconData record;
    record.tip = std::string("KvlTalvioPos in esecuzione...") + '\0' + std::string(34, ' ');
    tray.add(record);
    ASSERT_NE(tray.icon(), nullptr);
    EXPECT_EQ(tray.icon()->toolTip(), "KvlTalvioPos in esecuzione...");
    EXPECT_FALSE(tray.icon()->icon().isNull());
    for (const auto reason : {QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Context,
                              QSystemTrayIcon::Trigger, QSystemTrayIcon::MiddleClick})
        Q_EMIT tray.icon()->activated(reason);
    EXPECT_TRUE(reported.empty()) << "reported once the icon's own event is over";
    EXPECT_TRUE(QTest::qWaitFor([&reported] { return reported.size() == 3; }, 5000));
    EXPECT_EQ(reported, std::vector<int>({515, 516, 514}));
    tray.remove(record);
    EXPECT_EQ(tray.icon(), nullptr);
}

} // namespace
} // namespace kvl::qt::test
