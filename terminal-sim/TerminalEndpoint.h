#pragma once

#include "ExchangeLog.h"
#include "Fault.h"
#include "FaultPlan.h"
#include "LocalTime.h"
#include "Operation.h"
#include "RequestMemory.h"
#include "Terminal.h"
#include "protocol/Frame.h"
#include "protocol/Payload.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

struct EndpointSettings {
    // How long an answer waits for its ACK, beyond the time the line needs
    // to carry the answer and the ACK, before it is sent again.
    std::chrono::milliseconds ackTimeout{2000};
    // Sends of one answer, the first included.
    unsigned answerSends = 3;
    // The line's speed (8 data bits, no parity, 1 stop bit); 0 on a network.
    unsigned baud = 0;
};

// What the endpoint shares with every other connection of the terminal.
struct TerminalParts {
    Terminal& terminal;
    FaultPlan& plan;
    RequestMemory& memory;
    Availability& availability;
    ExchangeLog& log;
};

// The terminal's side of the frame protocol on one connection, without any
// I/O: the transport feeds it the bytes received and the passing of time, and
// writes out what it produces. Every exchange is reported to the log once it
// ends.
class TerminalEndpoint {
public:
    TerminalEndpoint(TerminalParts parts, EndpointSettings settings = {},
                     std::function<LocalTime()> clock = currentLocalTime);

    void received(std::string_view bytes, SteadyTime now);
    // Sends whatever has fallen due by now.
    void advance(SteadyTime now);
    // The peer has gone: an exchange in progress ends here.
    void disconnected();
    // Starts over on the same line (a serial line cannot be dropped).
    void restart();

    // When advance() next has something to do.
    std::optional<SteadyTime> deadline() const;
    // The bytes to write, handed over once.
    std::string takeOutput();
    // True once a fault asks for the connection to be dropped; write the
    // pending output first.
    bool closeRequested() const { return closing_; }

private:
    enum class Stage { Refused, Answering, AwaitingAck };

    struct Call {
        std::string label; // the operation's name, or "Enquiry"
        iae17::protocol::RequestId id = 0;
        std::uint8_t seq = 0;
        Fault fault;
        std::string payload; // the request payload as received
        Stage stage = Stage::Refused;
        SteadyTime acceptedAt{};
        unsigned progressSent = 0;
        std::string answerPayload;
        unsigned answerSends = 0;
        SteadyTime ackDeadline{};
        std::string amount;
        std::string stan;
        std::string result;
    };

    void onFrame(const iae17::protocol::Frame& frame, SteadyTime now);
    void onRequest(const iae17::protocol::Frame& frame, SteadyTime now);
    void onEnquiry(const iae17::protocol::Frame& frame, SteadyTime now);
    void onAck(std::uint8_t seq);
    void onNak(std::uint8_t seq, SteadyTime now);
    void begin(const iae17::protocol::Frame& frame, Operation operation,
               const iae17::protocol::RequestPayload& request, SteadyTime now);
    void accept(SteadyTime now);
    void execute(const iae17::protocol::RequestPayload& request, SteadyTime now);
    // Takes up a remembered request on this connection: its answer is sent
    // when it is done, or at once when it already is.
    void resume(const std::string& label, iae17::protocol::RequestId id, const Remembered& entry,
                std::uint8_t seq, SteadyTime now, const std::string& result);
    void sendAnswer(SteadyTime now);
    void reply(iae17::protocol::FrameType type, std::uint8_t seq, iae17::protocol::RequestId id,
               const std::string& text, const std::string& result);
    SteadyTime progressTime(unsigned index) const;
    SteadyTime answerTime() const;
    std::chrono::milliseconds lineTime(std::size_t bytes) const;
    void endCall(const std::string& how);
    void refuse(std::uint8_t seq, iae17::protocol::NakReason reason, const std::string& operation,
                const std::string& why);
    void send(const iae17::protocol::Frame& frame);

    TerminalParts parts_;
    EndpointSettings settings_;
    std::function<LocalTime()> clock_;

    iae17::protocol::Decoder decoder_;
    std::optional<Call> call_;
    std::string output_;
    bool closing_ = false;
};

// Bytes sent in place of a frame when a fault asks for garbage: no STX among
// them, so a decoder skips them all.
std::string garbageBytes();

} // namespace sim
