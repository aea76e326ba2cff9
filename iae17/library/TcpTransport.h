#pragma once

#include "library/Destination.h"
#include "library/Transport.h"

#include <asio.hpp>

#include <memory>
#include <string>

namespace iae17 {

class TcpTransport : public Transport {
public:
    // nullptr when the terminal cannot be reached within the time-out; why
    // then says what happened.
    static std::unique_ptr<TcpTransport> connect(asio::io_context& io,
                                                 const EthernetDestination& destination,
                                                 Milliseconds timeout, std::string& why);

    TransportStatus write(const std::string& bytes, Milliseconds timeout) override;
    TransportStatus read(std::string& into, Milliseconds timeout) override;

private:
    explicit TcpTransport(asio::io_context& io) : io_(io), socket_(io) {}

    asio::io_context& io_;
    asio::ip::tcp::socket socket_;
    char buffer_[4096];
};

} // namespace iae17
