#pragma once

#include "library/Destination.h"
#include "library/Transport.h"

#include <memory>
#include <string>

namespace iae17 {

// A TCP connection on the system's sockets, waited on with poll(): an
// exchange costs a dozen system calls, not the twice as many an event loop
// spends on one connection at a time.
class TcpTransport : public Transport {
public:
    // nullptr when the terminal cannot be reached within the time-out; why
    // then says what happened.
    static std::unique_ptr<TcpTransport> connect(const EthernetDestination& destination,
                                                 Milliseconds timeout, std::string& why);
    ~TcpTransport() override;
    TcpTransport(const TcpTransport&) = delete;
    TcpTransport& operator=(const TcpTransport&) = delete;

    TransportStatus write(const std::string& bytes, Milliseconds timeout) override;
    TransportStatus read(std::string& into, Milliseconds timeout) override;

private:
    explicit TcpTransport(int fd) : fd_(fd) {}

    int fd_;
};

} // namespace iae17
