#include "TcpListener.h"

#include "LinkSession.h"

#include <random>

namespace sim {

namespace {

constexpr unsigned short LowestPicked = 1024;
constexpr unsigned short HighestPicked = 9999;
constexpr int PortsTried = 500;

} // namespace

TcpListener::TcpListener(asio::io_context& io, const asio::ip::tcp::endpoint& where,
                         EndpointFactory makeEndpoint, const Availability& availability,
                         ExchangeLog& log)
    : acceptor_(io), pause_(io), makeEndpoint_(std::move(makeEndpoint)),
      availability_(availability), log_(log) {
    acceptor_.open(where.protocol());
    acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true));
    if (where.port() != 0) {
        acceptor_.bind(where);
    } else {
        // The system would pick from its ephemeral range, above 9999.
        std::mt19937 random(std::random_device{}());
        std::uniform_int_distribution<unsigned short> ports(LowestPicked, HighestPicked);
        asio::error_code error;
        for (int tries = 0; tries < PortsTried; ++tries) {
            acceptor_.bind({where.address(), ports(random)}, error);
            if (!error)
                break;
        }
        if (error)
            throw asio::system_error(error, "no free port from 1024 to 9999");
    }
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
        if (availability_.deaf(std::chrono::steady_clock::now())) {
            socket.close(ignored);
            ExchangeRecord record;
            record.operation = "Connection";
            record.end = "refused-while-deaf";
            log_.record(record);
            acceptNext();
            return;
        }
        socket.set_option(asio::ip::tcp::no_delay(true), ignored);
        using Session = LinkSession<asio::ip::tcp::socket>;
        auto session =
            std::make_shared<Session>(std::move(socket), makeEndpoint_(), Session::Mode::Connection,
                                      [this] { acceptNext(); });
        session->start();
    });
}

} // namespace sim
