#include "gui/qt/QtModalForms.h"

#include "gui/qt/FormWindow.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

namespace kvl::qt {

namespace {

void centreOnOwner(QWidget& window, const QWidget* owner) {
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry()
                                                   : QGuiApplication::primaryScreen()->geometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}

} // namespace

void QtModalForms::showModal(Form& form) {
    FormWindow* window = windowOf_(form);
    if (!window) {
        form.show();
        form.hide();
        return;
    }
    window->setWindowModality(Qt::ApplicationModal);
    centreOnOwner(*window, form.owner() ? windowOf_(*form.owner()) : nullptr);

    QEventLoop loop;
    const Subscription closed = form.onChange([&form, &loop](Property property) {
        if (property == Property::Visible && !form.visible())
            loop.quit();
    });
    form.show();
    // Returns at once when the program ended meanwhile.
    if (form.visible())
        loop.exec();
    form.hide();
    window->setWindowModality(Qt::NonModal);
}

void QtModalForms::popupMenu(Form& form, MenuEntry& menu) {
    FormWindow* window = windowOf_(form);
    QMenu* popup = window ? window->popupMenu(menu.name()) : nullptr;
    if (popup)
        popup->exec(QCursor::pos());
}

} // namespace kvl::qt
