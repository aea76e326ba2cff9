#pragma once

#include "gui/qt/FormWindow.h"
#include "gui/qt/QtEventLoop.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace kvl::qt::test {

// The widget named after a control; fails the test when there is none.
template <class Widget> Widget* widgetOf(const QWidget& window, const std::string& name) {
    auto* widget = window.findChild<Widget*>(QString::fromStdString(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Runs the action on the modal box or form once it is open. Still open after
// the deadline, it is closed and the test fails rather than waiting for ever.
inline void whenModalOpens(std::function<void(QWidget&)> action) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    auto* poll = new QTimer(QCoreApplication::instance());
    bool acted = false;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action, end, acted]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && !acted) {
            acted = true;
            action(*modal);
        } else if (!modal && acted) {
            poll->deleteLater();
        } else if (std::chrono::steady_clock::now() >= end) {
            ADD_FAILURE() << (acted ? "the modal window stayed open" : "no modal window opened");
            if (modal)
                modal->close();
            poll->deleteLater();
        }
    });
    poll->start(10);
}

} // namespace kvl::qt::test
