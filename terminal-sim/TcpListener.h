#pragma once

#include "RequestMemory.h"
#include "TerminalEndpoint.h"

#include <asio.hpp>
#include <functional>
#include <memory>

namespace sim {

using EndpointFactory = std::function<std::unique_ptr<TerminalEndpoint>()>;

// Accepts TCP connections one after another: the next is taken once the one
// being served has ended, as a terminal serves one cash desk at a time. While
// the terminal is deaf, connections are closed as soon as they are accepted.
class TcpListener {
public:
    // Binds and listens at once; throws asio::system_error when it cannot.
    // Port 0 picks a free port from 1024 to 9999, which any cash-desk
    // program can be configured with.
    TcpListener(asio::io_context& io, const asio::ip::tcp::endpoint& where,
                EndpointFactory makeEndpoint, const Availability& availability, ExchangeLog& log);

    asio::ip::tcp::endpoint local() const { return acceptor_.local_endpoint(); }
    void start() { acceptNext(); }

private:
    void acceptNext();

    asio::ip::tcp::acceptor acceptor_;
    asio::steady_timer pause_;
    EndpointFactory makeEndpoint_;
    const Availability& availability_;
    ExchangeLog& log_;
};

} // namespace sim
