#pragma once

#include "TerminalEndpoint.h"

#include <asio.hpp>
#include <functional>
#include <memory>

namespace sim {

using EndpointFactory = std::function<std::unique_ptr<TerminalEndpoint>()>;

// Accepts TCP connections one after another: the next is taken once the one
// being served has ended, as a terminal serves one cash desk at a time.
class TcpListener {
public:
    // Binds and listens at once; throws asio::system_error when it cannot.
    TcpListener(asio::io_context& io, const asio::ip::tcp::endpoint& where,
                EndpointFactory makeEndpoint);

    asio::ip::tcp::endpoint local() const { return acceptor_.local_endpoint(); }
    void start() { acceptNext(); }

private:
    void acceptNext();

    asio::ip::tcp::acceptor acceptor_;
    asio::steady_timer pause_;
    EndpointFactory makeEndpoint_;
};

} // namespace sim
