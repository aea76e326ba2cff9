#include "gui/qt/MenuEntryView.h"

#include "gui/qt/Windows1252.h"
#include "platform/EventLoop.h"

#include <QAction>
#include <QFont>

namespace kvl::qt {

MenuEntryView::MenuEntryView(MenuEntry& entry, QAction* action, EventLoop& events)
    : entry_(entry), action_(action),
      subscription_(entry.onChange([this](Property) { refresh(); })) {
    action->setObjectName(QString::fromStdString(entry.name()));
    QObject::connect(action, &QAction::triggered, action,
                     [&entry, &events] { runHandler(events, [&entry] { entry.click(); }); });
    refresh();
}

void MenuEntryView::refresh() {
    action_->setText(fromWindows1252(entry_.caption()));
    action_->setEnabled(entry_.enabled());
    action_->setVisible(entry_.visible());
    QFont font = action_->font();
    font.setBold(entry_.isDefault());
    action_->setFont(font);
}

} // namespace kvl::qt
