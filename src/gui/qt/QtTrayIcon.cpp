#include "gui/qt/QtTrayIcon.h"

#include "gui/qt/ProgramIcon.h"
#include "gui/qt/Windows1252.h"
#include "platform/EventLoop.h"
#include "platform/Text.h"

#include <QSystemTrayIcon>
#include <QTimer>

namespace kvl::qt {

namespace {

int mouseEvent(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return TrayMouseEvent::LeftDoubleClick;
    case QSystemTrayIcon::Context:
        return TrayMouseEvent::RightButtonDown;
    case QSystemTrayIcon::Trigger:
        return TrayMouseEvent::LeftButtonUp;
    default:
        return 0;
    }
}

} // namespace

QtTrayIcon::QtTrayIcon(EventLoop& events) : events_(events) {}

QtTrayIcon::~QtTrayIcon() {
    delete icon_;
}

bool QtTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::add(const NotifyIconData& data) {
    if (icon_)
        return;
    icon_ = new QSystemTrayIcon(programIcon());
    icon_->setObjectName("trayIcon");
    // The tip ends at its NUL; the blanks after it are padding.
    icon_->setToolTip(fromWindows1252(text::upToNul(data.tip)));
    QObject::connect(icon_, &QSystemTrayIcon::activated, icon_,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         const int event = mouseEvent(reason);
                         if (event == 0)
                             return;
                         // The logic may open a menu or a box and wait: it
                         // runs once the icon has finished with its mouse event.
                         QTimer::singleShot(0, icon_, [this, event] {
                             runHandler(events_, [this, event] { activate(event); });
                         });
                     });
    icon_->show();
}

void QtTrayIcon::remove(const NotifyIconData&) {
    if (!icon_)
        return;
    icon_->hide();
    // The removal may come from the icon's own mouse event.
    icon_->deleteLater();
    icon_ = nullptr;
}

} // namespace kvl::qt
