#pragma once

#include "platform/EventLoop.h"
#include "platform/posix/CloseSignals.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>

class QTimer;

namespace kvl::qt {

// The event loop on Qt's: timers are QTimers, processEvents() lets Qt
// dispatch what is pending, run() is the application's exec() and quit()
// leaves it together with every loop nested in it (a modal box or form).
// SIGTERM, SIGINT and the end of the desktop session are the close request;
// they reach its handler on the loop's thread, after the hook that lets the
// message boxes answer on their own (nobody is there to answer them).
class QtEventLoop : public EventLoop {
public:
    QtEventLoop();
    ~QtEventLoop() override;
    QtEventLoop(const QtEventLoop&) = delete;
    QtEventLoop& operator=(const QtEventLoop&) = delete;

    void processEvents() override;
    void sleep(std::chrono::milliseconds duration) override;
    TimerId startTimer(std::chrono::milliseconds interval, std::function<void()> handler) override;
    void stopTimer(TimerId id) override;
    int run() override;
    void quit(int status) override;
    bool quitRequested() const override { return quitRequested_; }
    void onCloseRequest(std::function<void()> handler) override;

    // Runs first when the system, not the operator, asks the program to end.
    void beforeSystemClose(std::function<void()> hook) { beforeSystemClose_ = std::move(hook); }
    // The close request as the system makes it (a signal, the session's end).
    void systemCloseRequest();

private:
    struct Timer {
        QTimer* timer;
        std::function<void()> handler;
        bool running = false;
    };

    void fire(TimerId id);

    // Outlives context_, whose notifier watches its pipe.
    CloseSignals closeSignals_;
    QObject context_; // owns the timers and the notifier
    std::map<TimerId, Timer> timers_;
    TimerId nextId_ = 1;
    std::function<void()> closeHandler_;
    std::function<void()> beforeSystemClose_;
    bool quitRequested_ = false;
    int quitStatus_ = 0;
};

} // namespace kvl::qt
