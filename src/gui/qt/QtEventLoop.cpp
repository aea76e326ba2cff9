#include "gui/qt/QtEventLoop.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <thread>

namespace kvl::qt {

QtEventLoop::QtEventLoop() {
    auto* signalNotifier =
        new QSocketNotifier(closeSignals_.readEnd(), QSocketNotifier::Read, &context_);
    QObject::connect(signalNotifier, &QSocketNotifier::activated, &context_, [this] {
        if (closeSignals_.drain())
            systemCloseRequest();
    });

    // Hiding the last window must not end the program: the tray icon stays.
    QApplication::setQuitOnLastWindowClosed(false);
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(application, &QGuiApplication::commitDataRequest, &context_,
                         [this](QSessionManager&) { systemCloseRequest(); });
    }
}

QtEventLoop::~QtEventLoop() {
    for (auto& [id, timer] : timers_)
        timer.timer->stop();
}

void QtEventLoop::processEvents() {
    if (!quitRequested_)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventLoop::sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

EventLoop::TimerId QtEventLoop::startTimer(std::chrono::milliseconds interval,
                                           std::function<void()> handler) {
    const TimerId id = nextId_++;
    auto* timer = new QTimer(&context_);
    timer->setInterval(interval);
    QObject::connect(timer, &QTimer::timeout, &context_, [this, id] { fire(id); });
    timers_.emplace(id, Timer{timer, std::move(handler)});
    timer->start();
    return id;
}

void QtEventLoop::stopTimer(TimerId id) {
    const auto found = timers_.find(id);
    if (found == timers_.end())
        return;
    found->second.timer->stop();
    // The timer may be the one whose timeout is being dispatched.
    found->second.timer->deleteLater();
    timers_.erase(found);
}

void QtEventLoop::fire(TimerId id) {
    const auto found = timers_.find(id);
    if (found == timers_.end() || found->second.running || quitRequested_)
        return;
    found->second.running = true;
    const std::function<void()> handler = found->second.handler;
    runHandler(*this, handler);
    // The handler may have stopped its own timer.
    const auto after = timers_.find(id);
    if (after != timers_.end())
        after->second.running = false;
}

int QtEventLoop::run() {
    if (!quitRequested_)
        QApplication::exec();
    return quitStatus_;
}

void QtEventLoop::quit(int status) {
    if (!quitRequested_) {
        quitRequested_ = true;
        quitStatus_ = status;
    }
    // Leaves the application's loop and every loop nested in it.
    QCoreApplication::exit(quitStatus_);
}

void QtEventLoop::onCloseRequest(std::function<void()> handler) {
    closeHandler_ = std::move(handler);
    if (closeHandler_)
        closeSignals_.install();
    else
        closeSignals_.restore();
}

void QtEventLoop::systemCloseRequest() {
    if (quitRequested_ || !closeHandler_)
        return;
    if (beforeSystemClose_)
        beforeSystemClose_();
    const std::function<void()> handler = closeHandler_;
    runHandler(*this, handler);
}

} // namespace kvl::qt
