#pragma once

#include "FrameLink.h"

#include <atomic>
#include <functional>
#include <thread>

namespace iae17::test {

// A terminal listening on 127.0.0.1 (a free port), running the script for
// each connection the library opens, one at a time, until destroyed.
class FakeTcpTerminal {
public:
    using Script = std::function<void(FrameLink&)>;

    explicit FakeTcpTerminal(Script script);
    ~FakeTcpTerminal();
    FakeTcpTerminal(const FakeTcpTerminal&) = delete;
    FakeTcpTerminal& operator=(const FakeTcpTerminal&) = delete;

    int port() const { return port_; }
    int requests() const { return requests_; }
    int connections() const { return connections_; }

private:
    void serve();

    Script script_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens.
int closedPort();

} // namespace iae17::test
