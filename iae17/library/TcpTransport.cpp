#include "library/TcpTransport.h"

#include "library/AsioWait.h"

namespace iae17 {

namespace {

TransportStatus statusOf(const asio::error_code& error) {
    if (!error) {
        return TransportStatus::Ok;
    }
    if (error == asio::error::eof || error == asio::error::connection_reset ||
        error == asio::error::broken_pipe) {
        return TransportStatus::Closed;
    }
    return TransportStatus::Failed;
}

} // namespace

std::unique_ptr<TcpTransport> TcpTransport::connect(asio::io_context& io,
                                                    const EthernetDestination& destination,
                                                    Milliseconds timeout, std::string& why) {
    asio::error_code error;
    const auto address = asio::ip::make_address_v4(destination.address, error);
    if (error) {
        why = "address " + destination.address + " not valid";
        return nullptr;
    }
    std::unique_ptr<TcpTransport> transport(new TcpTransport(io));
    asio::ip::tcp::socket& socket = transport->socket_;
    const asio::ip::tcp::endpoint endpoint(address, destination.port);
    const auto outcome = runWithTimeout(
        transport->io_, timeout,
        [&](auto handler) {
            socket.async_connect(endpoint,
                                 [handler](const asio::error_code& e) mutable { handler(e, 0); });
        },
        [&] {
            asio::error_code ignored;
            socket.close(ignored);
        });
    if (!outcome) {
        why = "connect timed out";
        return nullptr;
    }
    if (outcome->error) {
        why = "connect failed: " + outcome->error.message();
        return nullptr;
    }
    // Frames are small and each waits for the other side: send them at once.
    socket.set_option(asio::ip::tcp::no_delay(true), error);
    return transport;
}

TransportStatus TcpTransport::write(const std::string& bytes, Milliseconds timeout) {
    const auto outcome = runWithTimeout(
        io_, timeout,
        [&](auto handler) { asio::async_write(socket_, asio::buffer(bytes), handler); },
        [&] {
            asio::error_code ignored;
            socket_.cancel(ignored);
        });
    return outcome ? statusOf(outcome->error) : TransportStatus::Timeout;
}

TransportStatus TcpTransport::read(std::string& into, Milliseconds timeout) {
    const auto outcome = runWithTimeout(
        io_, timeout,
        [&](auto handler) { socket_.async_read_some(asio::buffer(buffer_), handler); },
        [&] {
            asio::error_code ignored;
            socket_.cancel(ignored);
        });
    if (!outcome) {
        return TransportStatus::Timeout;
    }
    into.append(buffer_, outcome->bytes);
    return statusOf(outcome->error);
}

} // namespace iae17
