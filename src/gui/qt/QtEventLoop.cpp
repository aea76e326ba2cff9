#include "gui/qt/QtEventLoop.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace kvl::qt {

namespace {

std::atomic<int> signalPipe{-1};
struct sigaction previousTerm {};
struct sigaction previousInt {};

extern "C" void onQtLoopSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const char byte = static_cast<char>(signalNumber);
        const ssize_t ignored = ::write(fd, &byte, 1);
        (void)ignored;
    }
    errno = savedErrno;
}

} // namespace

QtEventLoop::QtEventLoop() {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
        throw std::runtime_error("cannot create the event loop's signal pipe");
    signalRead_ = fds[0];
    signalWrite_ = fds[1];
    signalNotifier_ = new QSocketNotifier(signalRead_, QSocketNotifier::Read, &context_);
    QObject::connect(signalNotifier_, &QSocketNotifier::activated, &context_,
                     [this] { drainSignals(); });

    // Hiding the last window must not end the program: the tray icon stays.
    QApplication::setQuitOnLastWindowClosed(false);
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(application, &QGuiApplication::commitDataRequest, &context_,
                         [this](QSessionManager&) { systemCloseRequest(); });
    }
}

QtEventLoop::~QtEventLoop() {
    restoreSignalHandlers();
    for (auto& [id, timer] : timers_)
        timer.timer->stop();
    ::close(signalRead_);
    ::close(signalWrite_);
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
        installSignalHandlers();
    else
        restoreSignalHandlers();
}

void QtEventLoop::systemCloseRequest() {
    if (quitRequested_ || !closeHandler_)
        return;
    if (beforeSystemClose_)
        beforeSystemClose_();
    const std::function<void()> handler = closeHandler_;
    runHandler(*this, handler);
}

void QtEventLoop::installSignalHandlers() {
    if (signalsInstalled_)
        return;
    signalPipe.store(signalWrite_);
    struct sigaction action {};
    action.sa_handler = onQtLoopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &previousTerm);
    ::sigaction(SIGINT, &action, &previousInt);
    signalsInstalled_ = true;
}

void QtEventLoop::restoreSignalHandlers() {
    if (!signalsInstalled_)
        return;
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    ::sigaction(SIGINT, &previousInt, nullptr);
    signalPipe.store(-1);
    signalsInstalled_ = false;
}

void QtEventLoop::drainSignals() {
    bool any = false;
    char bytes[64];
    while (::read(signalRead_, bytes, sizeof bytes) > 0)
        any = true;
    if (any)
        systemCloseRequest();
}

} // namespace kvl::qt
