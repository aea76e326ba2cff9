#include "TerminalEndpoint.h"

#include "FieldText.h"

#include <algorithm>
#include <iterator>

namespace sim {

using iae17::protocol::Decoder;
using iae17::protocol::Frame;
using iae17::protocol::FrameType;
using iae17::protocol::NakReason;
using iae17::protocol::RequestField;
using iae17::protocol::RequestId;

namespace {

constexpr std::uint8_t DoneResult = 0;
constexpr std::uint8_t NotSupportedResult = 4;
constexpr std::size_t AckBytes = iae17::protocol::HeaderSize + iae17::protocol::TrailerSize;

const char* const ProgressTexts[] = {"INSERIRE CARTA", "DIGITARE PIN", "ATTENDERE PREGO",
                                     "CONNESSIONE IN CORSO"};

std::string nakName(NakReason reason) {
    return "NAK" + std::to_string(static_cast<int>(reason));
}

// Only the waiting of a request goes with it to another connection: the
// faults of its first exchange were that exchange's.
Fault scheduleOnly(const Remembered& entry) {
    Fault fault;
    fault.delayMs = entry.delayMs;
    fault.progress = entry.progress;
    return fault;
}

} // namespace

std::string garbageBytes() {
    return std::string("\xA5\x5A"
                       "NOISE"
                       "\x00\xFF\x10\x03\x7F",
                       12);
}

TerminalEndpoint::TerminalEndpoint(TerminalParts parts, EndpointSettings settings,
                                   std::function<LocalTime()> clock)
    : parts_(parts), settings_(settings), clock_(std::move(clock)) {}

void TerminalEndpoint::received(std::string_view bytes, SteadyTime now) {
    if (closing_)
        return;
    if (parts_.availability.deaf(now)) {
        decoder_.reset();
        return;
    }
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
    else if (frame.type == FrameType::Enquiry)
        onEnquiry(frame, now);
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
    const auto request = iae17::protocol::splitRequestPayload(frame.payload);
    if (!request) {
        refuse(frame.seq, NakReason::BadFrame, operationName(operation), "bad-request");
        return;
    }
    if (call_ && call_->id == request->id) {
        if (call_->payload != frame.payload)
            refuse(frame.seq, NakReason::Unexpected, operationName(operation), "id-reused");
        else if (call_->stage == Stage::Refused)
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
    if (const Remembered* known = parts_.memory.find(request->id)) {
        if (known->payload != frame.payload) {
            refuse(frame.seq, NakReason::Unexpected, operationName(operation), "id-reused");
            return;
        }
        // Taken before, on this connection or another: never run twice.
        send(iae17::protocol::ackFrame(frame.seq));
        resume(operationName(operation), request->id, *known, frame.seq, now, "repeat");
        return;
    }
    begin(frame, operation, *request, now);
}

void TerminalEndpoint::begin(const Frame& frame, Operation operation,
                             const iae17::protocol::RequestPayload& request, SteadyTime now) {
    Call call;
    call.label = operationName(operation);
    call.id = request.id;
    call.seq = frame.seq;
    call.fault = parts_.plan.next(operation);
    call.payload = frame.payload;
    call.amount = fieldValue(PosRequest::fromImage(request.posRequest).text(RequestField::Amount));
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
    if (call.fault.deafMs != 0)
        parts_.availability.deafUntil(now + std::chrono::milliseconds(call.fault.deafMs));
    if (call.fault.forget) {
        // Restarted before it did anything: nothing run, nothing remembered.
        endCall("forgotten");
        closing_ = true;
        return;
    }
    execute(*iae17::protocol::splitRequestPayload(call.payload), now);
    if (call.fault.mute) {
        endCall("muted");
        return;
    }
    if (call.fault.drop == DropPoint::AfterAck) {
        endCall("dropped-after-ack");
        closing_ = true;
        return;
    }
    call.stage = Stage::Answering;
    call.acceptedAt = now;
}

// The terminal does the work as soon as it has taken the request: an answer
// lost afterwards does not undo it. What it answered is remembered.
void TerminalEndpoint::execute(const iae17::protocol::RequestPayload& request, SteadyTime now) {
    Call& call = *call_;
    const Operation operation = *operationFromName(call.label);
    Remembered entry;
    entry.operation = operation;
    entry.payload = call.payload;
    entry.acceptedAt = now;
    entry.delayMs = call.fault.delayMs;
    entry.progress = call.fault.progress;
    entry.amount = call.amount;
    entry.fault = describe(call.fault);
    if (call.fault.mute) {
        // Stuck before it could do anything: never run, never a word about it.
        entry.mute = true;
    } else if (call.fault.unsupported) {
        call.result = "unsupported";
        call.answerPayload = iae17::protocol::buildAnswerPayload(request.id, NotSupportedResult,
                                                                 request.posData, request.posData);
    } else {
        const Answer answer =
            parts_.terminal.execute(operation, PosRequest::fromImage(request.posRequest),
                                    PosData::fromImage(request.posData), clock_());
        call.stan = answer.stan;
        call.result = verdictCodes(answer.verdict).result;
        call.answerPayload = iae17::protocol::buildAnswerPayload(
            request.id, DoneResult, answer.data.image(), request.posData);
    }
    entry.answerPayload = call.answerPayload;
    entry.stan = call.stan;
    entry.result = call.result;
    parts_.memory.remember(call.id, std::move(entry));
}

void TerminalEndpoint::resume(const std::string& label, RequestId id, const Remembered& entry,
                              std::uint8_t seq, SteadyTime now, const std::string& result) {
    Call call;
    call.label = label;
    call.id = id;
    call.seq = seq;
    call.fault = scheduleOnly(entry);
    call.payload = entry.payload;
    call.amount = entry.amount;
    call.stan = entry.stan;
    call.result = result;
    call.answerPayload = entry.answerPayload;
    call.acceptedAt = entry.acceptedAt;
    call.stage = Stage::Answering;
    call_ = std::move(call);
    if (entry.mute) {
        endCall("muted");
        return;
    }
    // Progress already due went out on the first connection.
    while (call_->progressSent < call_->fault.progress &&
           progressTime(call_->progressSent + 1) <= now)
        ++call_->progressSent;
    advance(now);
}

void TerminalEndpoint::onEnquiry(const Frame& frame, SteadyTime now) {
    const auto id = iae17::protocol::splitIdPayload(frame.payload);
    if (!id) {
        refuse(frame.seq, NakReason::BadFrame, "Enquiry", "bad-enquiry");
        return;
    }
    if (call_ && call_->id == *id) {
        // The library lost track on this very line: it is told again.
        call_->seq = frame.seq;
        if (call_->stage == Stage::Refused)
            reply(FrameType::Unknown, frame.seq, *id, {}, "unknown");
        else if (call_->stage == Stage::Answering)
            send(Frame{
                FrameType::Running, frame.seq,
                iae17::protocol::buildRunningPayload(
                    *id, call_->progressSent > 0
                             ? ProgressTexts[(call_->progressSent - 1) % std::size(ProgressTexts)]
                             : "")});
        else
            sendAnswer(now);
        return;
    }
    const Remembered* entry = parts_.memory.find(*id);
    if (entry == nullptr) {
        reply(FrameType::Unknown, frame.seq, *id, {}, "unknown");
        return;
    }
    if (entry->mute) {
        ExchangeRecord record{"Enquiry", frame.seq, iae17::protocol::idText(*id), "", "", "ignored",
                              "",        "silent"};
        parts_.log.record(record);
        return;
    }
    const bool running = entry->readyAt() > now;
    if (call_ && call_->stage == Stage::Answering) {
        // Busy with another request on this line: told, but not taken up.
        if (running)
            reply(FrameType::Running, frame.seq, *id, {}, "running");
        else
            send(Frame{FrameType::Answer, frame.seq, entry->answerPayload});
        return;
    }
    if (call_)
        endCall("superseded");
    if (running)
        send(Frame{FrameType::Running, frame.seq, iae17::protocol::buildRunningPayload(*id, {})});
    resume("Enquiry", *id, *entry, frame.seq, now, running ? "running" : "done");
}

void TerminalEndpoint::reply(FrameType type, std::uint8_t seq, RequestId id,
                             const std::string& text, const std::string& result) {
    send(Frame{type, seq,
               type == FrameType::Unknown ? iae17::protocol::idPayload(id)
                                          : iae17::protocol::buildRunningPayload(id, text)});
    ExchangeRecord record{"Enquiry", seq,      iae17::protocol::idText(id), "", "", result,
                          "",        "replied"};
    parts_.log.record(record);
}

void TerminalEndpoint::onAck(std::uint8_t seq) {
    if (!call_ || call_->stage != Stage::AwaitingAck || call_->seq != seq)
        return;
    if (Remembered* entry = parts_.memory.find(call_->id))
        entry->delivered = true;
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
        } else if (call.fault.garbage == GarbagePoint::InsteadOfAnswer && call.answerSends == 0) {
            // Garbage in place of the answer counts as its first send: a NAK
            // brings the real one.
            output_ += garbageBytes();
            ++call.answerSends;
            call.stage = Stage::AwaitingAck;
            call.ackDeadline =
                now + lineTime(garbageBytes().size() + AckBytes) + settings_.ackTimeout;
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
    std::string frame =
        iae17::protocol::encode(Frame{FrameType::Answer, call.seq, call.answerPayload});
    if (call.answerSends <= call.fault.badChecksums)
        frame.back() = static_cast<char>(frame.back() ^ 0x5A);
    output_ += frame;
    call.stage = Stage::AwaitingAck;
    call.ackDeadline = now + lineTime(frame.size() + AckBytes) + settings_.ackTimeout;
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

std::chrono::milliseconds TerminalEndpoint::lineTime(std::size_t bytes) const {
    if (settings_.baud == 0)
        return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(1 + bytes * 10 * 1000 / settings_.baud);
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
    output_.clear();
    closing_ = false;
}

std::string TerminalEndpoint::takeOutput() {
    std::string output;
    output.swap(output_);
    return output;
}

void TerminalEndpoint::endCall(const std::string& how) {
    const Call& call = *call_;
    ExchangeRecord record;
    record.operation = call.label;
    record.seq = call.seq;
    record.id = iae17::protocol::idText(call.id);
    record.amount = call.amount;
    record.stan = call.stan;
    record.result = call.result;
    record.fault = call.label == "Enquiry" ? "" : describe(call.fault);
    record.end = how;
    parts_.log.record(record);
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
    parts_.log.record(record);
}

void TerminalEndpoint::send(const Frame& frame) {
    output_ += iae17::protocol::encode(frame);
}

} // namespace sim
