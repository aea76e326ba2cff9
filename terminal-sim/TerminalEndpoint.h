#pragma once

#include "ExchangeLog.h"
#include "Fault.h"
#include "FaultPlan.h"
#include "LocalTime.h"
#include "Operation.h"
#include "Terminal.h"
#include "protocol/Frame.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

using SteadyTime = std::chrono::steady_clock::time_point;

struct EndpointSettings {
    // How long an answer waits for its ACK before it is sent again.
    std::chrono::milliseconds ackTimeout{2000};
    // Sends of one answer, the first included.
    unsigned answerSends = 3;
};

// The terminal's side of the frame protocol on one connection, without any
// I/O: the transport feeds it the bytes received and the passing of time, and
// writes out what it produces. Every exchange is reported to the log once it
// ends.
class TerminalEndpoint {
public:
    TerminalEndpoint(Terminal& terminal, FaultPlan& plan, ExchangeLog& log,
                     EndpointSettings settings = {},
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
        Operation operation = Operation::Status;
        std::uint8_t seq = 0;
        Fault fault;
        std::string payload; // the request payload as received
        Stage stage = Stage::Refused;
        bool accepted = false; // ACKed and run
        SteadyTime acceptedAt{};
        unsigned progressSent = 0;
        std::string answerFrame;
        unsigned answerSends = 0;
        SteadyTime ackDeadline{};
        std::string amount;
        std::string stan;
        std::string result;
    };

    // An exchange that has ended, kept so that a repeat of its request is
    // acknowledged and answered again instead of run a second time.
    struct Finished {
        Operation operation = Operation::Status;
        std::uint8_t seq = 0;
        std::string payload;
        std::string answerFrame; // empty when no answer was ever built
    };

    void onFrame(const iae17::protocol::Frame& frame, SteadyTime now);
    void onRequest(const iae17::protocol::Frame& frame, SteadyTime now);
    void onAck(std::uint8_t seq);
    void onNak(std::uint8_t seq, SteadyTime now);
    void accept(SteadyTime now);
    void replay(const Finished& finished, SteadyTime now);
    void execute();
    void sendAnswer(SteadyTime now);
    SteadyTime progressTime(unsigned index) const;
    SteadyTime answerTime() const;
    void endCall(const std::string& how);
    void refuse(std::uint8_t seq, iae17::protocol::NakReason reason, const std::string& operation,
                const std::string& why);
    void send(const iae17::protocol::Frame& frame);

    Terminal& terminal_;
    FaultPlan& plan_;
    ExchangeLog& log_;
    EndpointSettings settings_;
    std::function<LocalTime()> clock_;

    iae17::protocol::Decoder decoder_;
    std::optional<Call> call_;
    std::optional<Finished> finished_;
    std::string output_;
    bool closing_ = false;
};

// Bytes sent in place of a frame when a fault asks for garbage: no STX among
// them, so a decoder skips them all.
std::string garbageBytes();

} // namespace sim
