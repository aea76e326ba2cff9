#include "TerminalEndpoint.h"

#include "FieldText.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace sim {

using iae17::protocol::Decoder;
using iae17::protocol::Frame;
using iae17::protocol::FrameType;
using iae17::protocol::NakReason;

namespace {

constexpr std::uint8_t DoneResult = 0;
constexpr std::uint8_t NotSupportedResult = 4;

const char* const ProgressTexts[] = {"INSERIRE CARTA", "DIGITARE PIN", "ATTENDERE PREGO",
                                     "CONNESSIONE IN CORSO"};

template <class Record> Record recordFromImage(std::string_view image) {
    std::array<char, Record::size> bytes{};
    std::copy(image.begin(), image.begin() + Record::size, bytes.begin());
    Record record;
    kvl::unpackImage(record, bytes);
    return record;
}

template <class Record> std::string imageOf(Record record) {
    const auto image = kvl::packImage(record);
    return std::string(image.data(), image.size());
}

std::string nakName(NakReason reason) {
    return "NAK" + std::to_string(static_cast<int>(reason));
}

} // namespace

std::string garbageBytes() {
    return std::string("\xA5\x5A"
                       "NOISE"
                       "\x00\xFF\x10\x03\x7F",
                       12);
}

TerminalEndpoint::TerminalEndpoint(Terminal& terminal, FaultPlan& plan, ExchangeLog& log,
                                   EndpointSettings settings, std::function<LocalTime()> clock)
    : terminal_(terminal), plan_(plan), log_(log), settings_(settings), clock_(std::move(clock)) {}

void TerminalEndpoint::received(std::string_view bytes, SteadyTime now) {
    if (closing_)
        return;
    decoder_.feed(bytes.data(), bytes.size());
    // A damaged frame is refused once: the decoder goes on to report what
    // followed its STX as garbage, or even as further damaged frames.
    bool damageRefused = false;
    while (!closing_) {
        const std::optional<Decoder::Event> event = decoder_.next();
        if (!event)
            break;
        if (event->kind == Decoder::Event::FrameReady) {
            onFrame(event->frame, now);
        } else if (!damageRefused) {
            damageRefused = true;
            const bool bad = event->kind == Decoder::Event::BadFrame;
            refuse(bad     ? event->frame.seq
                   : call_ ? call_->seq
                           : 0,
                   NakReason::BadFrame, {}, bad ? "bad-frame" : "garbage");
        }
    }
    advance(now);
}

void TerminalEndpoint::onFrame(const Frame& frame, SteadyTime now) {
    if (iae17::protocol::isRequest(frame.type))
        onRequest(frame, now);
    else if (frame.type == FrameType::Ack)
        onAck(frame.seq);
    else if (frame.type == FrameType::Nak)
        onNak(frame.seq, now);
    else
        refuse(frame.seq, NakReason::Unexpected, {},
               std::string("unexpected-") + iae17::protocol::typeName(frame.type));
}

void TerminalEndpoint::onRequest(const Frame& frame, SteadyTime now) {
    const auto operation =
        static_cast<Operation>(static_cast<int>(frame.type) - static_cast<int>(FrameType::Payment));
    if (frame.payload.size() != iae17::protocol::RequestPayloadSize) {
        refuse(frame.seq, NakReason::Unexpected, operationName(operation), "bad-length");
        return;
    }
    if (call_ && call_->seq == frame.seq && call_->payload == frame.payload) {
        if (call_->stage == Stage::Refused)
            accept(now);
        else
            send(iae17::protocol::ackFrame(frame.seq)); // our ACK went astray
        return;
    }
    if (call_ && call_->stage == Stage::Answering) {
        refuse(frame.seq, NakReason::Busy, operationName(operation), "busy");
        return;
    }
    // A peer moves on to a new request only once it is done with the last
    // one: an answer still waiting for its ACK was received (the ACK went
    // astray) or given up.
    if (call_)
        endCall(call_->stage == Stage::AwaitingAck ? "superseded" : "abandoned");
    if (finished_ && finished_->seq == frame.seq && finished_->payload == frame.payload) {
        replay(*finished_, now);
        return;
    }

    Call call;
    call.operation = operation;
    call.seq = frame.seq;
    call.fault = plan_.next(operation);
    call.payload = frame.payload;
    call.amount = fieldValue(
        std::string_view(frame.payload).substr(0, decltype(kvl::PosRequest::Amount)::width));
    call_ = std::move(call);

    const Fault& fault = call_->fault;
    if (fault.drop == DropPoint::BeforeAck) {
        endCall("dropped-before-ack");
        closing_ = true;
    } else if (fault.nakFirst) {
        send(iae17::protocol::nakFrame(frame.seq, NakReason::Busy));
    } else if (fault.garbage == GarbagePoint::InsteadOfAck) {
        output_ += garbageBytes();
    } else {
        accept(now);
    }
}

void TerminalEndpoint::accept(SteadyTime now) {
    Call& call = *call_;
    send(iae17::protocol::ackFrame(call.seq));
    call.accepted = true;
    execute();
    if (call.fault.drop == DropPoint::AfterAck) {
        endCall("dropped-after-ack");
        closing_ = true;
        return;
    }
    call.stage = Stage::Answering;
    call.acceptedAt = now;
}

// The terminal does the work as soon as it has taken the request: an answer
// lost afterwards does not undo it.
void TerminalEndpoint::execute() {
    Call& call = *call_;
    const std::string_view payload = call.payload;
    const std::string_view requestImage = payload.substr(0, kvl::PosRequest::size);
    const std::string_view givenImage = payload.substr(kvl::PosRequest::size);
    std::string answerPayload;
    if (call.fault.unsupported) {
        call.result = "unsupported";
        answerPayload = iae17::protocol::buildAnswerPayload(NotSupportedResult, givenImage);
    } else {
        const Answer answer =
            terminal_.execute(call.operation, recordFromImage<kvl::PosRequest>(requestImage),
                              recordFromImage<kvl::POSDATA>(givenImage), clock_());
        call.stan = answer.stan;
        call.result = verdictCodes(answer.verdict).result;
        answerPayload = iae17::protocol::buildAnswerPayload(DoneResult, imageOf(answer.data));
    }
    call.answerFrame =
        iae17::protocol::encode(Frame{FrameType::Answer, call.seq, std::move(answerPayload)});
}

void TerminalEndpoint::replay(const Finished& finished, SteadyTime now) {
    Call call;
    call.operation = finished.operation;
    call.seq = finished.seq;
    call.payload = finished.payload;
    call.answerFrame = finished.answerFrame;
    call.result = "repeat";
    call.accepted = true;
    call_ = std::move(call);
    send(iae17::protocol::ackFrame(finished.seq));
    if (call_->answerFrame.empty()) {
        endCall("no-answer");
        return;
    }
    sendAnswer(now);
}

void TerminalEndpoint::onAck(std::uint8_t seq) {
    if (call_ && call_->stage == Stage::AwaitingAck && call_->seq == seq)
        endCall("acked");
}

void TerminalEndpoint::onNak(std::uint8_t seq, SteadyTime now) {
    if (!call_ || call_->stage != Stage::AwaitingAck || call_->seq != seq)
        return;
    if (call_->answerSends < settings_.answerSends)
        sendAnswer(now);
    else
        endCall("answer-refused");
}

void TerminalEndpoint::advance(SteadyTime now) {
    if (!call_ || closing_)
        return;
    Call& call = *call_;
    if (call.stage == Stage::Answering) {
        while (call.progressSent < call.fault.progress &&
               progressTime(call.progressSent + 1) <= now) {
            const auto count = std::size(ProgressTexts);
            send(Frame{FrameType::Progress, call.seq, ProgressTexts[call.progressSent % count]});
            ++call.progressSent;
        }
        if (call.progressSent < call.fault.progress || answerTime() > now)
            return;
        if (call.fault.noAnswer) {
            endCall("no-answer");
        } else if (call.fault.garbage == GarbagePoint::InsteadOfAnswer) {
            output_ += garbageBytes();
            endCall("garbage-answer");
        } else {
            sendAnswer(now);
        }
        return;
    }
    if (call.stage == Stage::AwaitingAck && call.ackDeadline <= now) {
        if (call.answerSends < settings_.answerSends)
            sendAnswer(now);
        else
            endCall("not-acked");
    }
}

void TerminalEndpoint::sendAnswer(SteadyTime now) {
    Call& call = *call_;
    ++call.answerSends;
    std::string frame = call.answerFrame;
    if (call.answerSends <= call.fault.badChecksums)
        frame.back() = static_cast<char>(frame.back() ^ 0x5A);
    output_ += frame;
    call.stage = Stage::AwaitingAck;
    call.ackDeadline = now + settings_.ackTimeout;
    if (call.fault.drop == DropPoint::AfterAnswer) {
        endCall("dropped-after-answer");
        closing_ = true;
    }
}

SteadyTime TerminalEndpoint::progressTime(unsigned index) const {
    const auto delay = std::chrono::milliseconds(call_->fault.delayMs);
    return call_->acceptedAt + delay * index / (call_->fault.progress + 1);
}

SteadyTime TerminalEndpoint::answerTime() const {
    return call_->acceptedAt + std::chrono::milliseconds(call_->fault.delayMs);
}

std::optional<SteadyTime> TerminalEndpoint::deadline() const {
    if (!call_ || closing_)
        return std::nullopt;
    if (call_->stage == Stage::Answering)
        return call_->progressSent < call_->fault.progress ? progressTime(call_->progressSent + 1)
                                                           : answerTime();
    if (call_->stage == Stage::AwaitingAck)
        return call_->ackDeadline;
    return std::nullopt;
}

void TerminalEndpoint::disconnected() {
    if (call_)
        endCall("closed-by-peer");
}

void TerminalEndpoint::restart() {
    if (call_)
        endCall("restarted");
    decoder_.reset();
    finished_.reset();
    output_.clear();
    closing_ = false;
}

std::string TerminalEndpoint::takeOutput() {
    std::string output;
    output.swap(output_);
    return output;
}

void TerminalEndpoint::endCall(const std::string& how) {
    Call& call = *call_;
    ExchangeRecord record;
    record.operation = operationName(call.operation);
    record.seq = call.seq;
    record.amount = call.amount;
    record.stan = call.stan;
    record.result = call.result;
    record.fault = describe(call.fault);
    record.end = how;
    log_.record(record);
    // A request refused before it was taken was never run.
    if (call.accepted)
        finished_ = Finished{call.operation, call.seq, call.payload, call.answerFrame};
    call_.reset();
}

void TerminalEndpoint::refuse(std::uint8_t seq, NakReason reason, const std::string& operation,
                              const std::string& why) {
    send(iae17::protocol::nakFrame(seq, reason));
    ExchangeRecord record;
    record.operation = operation;
    record.seq = seq;
    record.result = nakName(reason);
    record.end = why;
    log_.record(record);
}

void TerminalEndpoint::send(const Frame& frame) {
    output_ += iae17::protocol::encode(frame);
}

} // namespace sim
