#include "TcpListener.h"

#include "LinkSession.h"

namespace sim {

TcpListener::TcpListener(asio::io_context& io, const asio::ip::tcp::endpoint& where,
                         EndpointFactory makeEndpoint)
    : acceptor_(io), pause_(io), makeEndpoint_(std::move(makeEndpoint)) {
    acceptor_.open(where.protocol());
    acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true));
    acceptor_.bind(where);
    acceptor_.listen();
}

void TcpListener::acceptNext() {
    acceptor_.async_accept([this](asio::error_code error, asio::ip::tcp::socket socket) {
        if (error == asio::error::operation_aborted)
            return;
        if (error) {
            // Out of descriptors or the like: try again shortly, not in a loop.
            pause_.expires_after(std::chrono::milliseconds(100));
            pause_.async_wait([this](asio::error_code waitError) {
                if (!waitError)
                    acceptNext();
            });
            return;
        }
        asio::error_code ignored;
        socket.set_option(asio::ip::tcp::no_delay(true), ignored);
        using Session = LinkSession<asio::ip::tcp::socket>;
        auto session =
            std::make_shared<Session>(std::move(socket), makeEndpoint_(), Session::Mode::Connection,
                                      [this] { acceptNext(); });
        session->start();
    });
}

} // namespace sim
