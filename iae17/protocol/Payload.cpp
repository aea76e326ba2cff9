#include "protocol/Payload.h"

#include "protocol/Compact.h"
#include "protocol/Frame.h"
#include "protocol/Records.h"

#include <cstdio>
#include <stdexcept>

namespace iae17::protocol {

namespace {

void appendId(std::string& out, RequestId id) {
    for (int shift = 56; shift >= 0; shift -= 8) {
        out += static_cast<char>((id >> shift) & 0xFF);
    }
}

// Reads an identifier off the front of the bytes.
std::optional<RequestId> takeId(std::string_view& bytes) {
    if (bytes.size() < IdSize) {
        return std::nullopt;
    }
    RequestId id = 0;
    for (std::size_t i = 0; i < IdSize; ++i) {
        id = id << 8 | static_cast<std::uint8_t>(bytes[i]);
    }
    bytes.remove_prefix(IdSize);
    return id;
}

} // namespace

Frame ackFrame(std::uint8_t seq) {
    return Frame{FrameType::Ack, seq, {}};
}

Frame nakFrame(std::uint8_t seq, NakReason reason) {
    return Frame{FrameType::Nak, seq, std::string(1, static_cast<char>(reason))};
}

std::optional<NakReason> nakReason(std::string_view payload) {
    if (payload.size() != 1) {
        return std::nullopt;
    }
    const auto value = static_cast<std::uint8_t>(payload[0]);
    if (value < static_cast<std::uint8_t>(NakReason::BadFrame) ||
        value > static_cast<std::uint8_t>(NakReason::Busy)) {
        return std::nullopt;
    }
    return static_cast<NakReason>(value);
}

std::string buildRequestPayload(RequestId id, std::string_view posRequest,
                                std::string_view posData) {
    if (posRequest.size() != PosRequestSize || posData.size() != PosDataSize) {
        throw std::invalid_argument("request images must be 219 and 4267 bytes");
    }
    std::string payload;
    appendId(payload, id);
    payload += compactImage(posRequestLayout(), posRequest);
    payload += compactImage(posDataLayout(), posData);
    return payload;
}

std::optional<RequestPayload> splitRequestPayload(std::string_view payload) {
    RequestPayload request;
    const auto id = takeId(payload);
    if (!id) {
        return std::nullopt;
    }
    request.id = *id;
    auto posRequest = expandImage(posRequestLayout(), payload);
    auto posData = posRequest ? expandImage(posDataLayout(), payload) : std::nullopt;
    if (!posData || !payload.empty()) {
        return std::nullopt;
    }
    request.posRequest = std::move(*posRequest);
    request.posData = std::move(*posData);
    return request;
}

std::string buildAnswerPayload(RequestId id, std::uint8_t result, std::string_view posData,
                               std::string_view givenPosData) {
    if (posData.size() != PosDataSize || givenPosData.size() != PosDataSize) {
        throw std::invalid_argument("answer images must be 4267 bytes");
    }
    std::string payload;
    appendId(payload, id);
    payload += static_cast<char>(result);
    payload += compactImage(posDataLayout(), posData, givenPosData);
    return payload;
}

std::optional<AnswerPayload> splitAnswerPayload(std::string_view payload,
                                                std::string_view givenPosData) {
    AnswerPayload answer;
    const auto id = takeId(payload);
    if (!id || payload.empty()) {
        return std::nullopt;
    }
    answer.id = *id;
    answer.result = static_cast<std::uint8_t>(payload.front());
    payload.remove_prefix(1);
    auto posData = expandImage(posDataLayout(), payload, givenPosData);
    if (!posData || !payload.empty()) {
        return std::nullopt;
    }
    answer.posData = std::move(*posData);
    return answer;
}

std::optional<RequestId> answerId(std::string_view payload) {
    return takeId(payload);
}

std::string idPayload(RequestId id) {
    std::string payload;
    appendId(payload, id);
    return payload;
}

std::optional<RequestId> splitIdPayload(std::string_view payload) {
    const auto id = takeId(payload);
    return id && payload.empty() ? id : std::nullopt;
}

std::string buildRunningPayload(RequestId id, std::string_view text) {
    std::string payload = idPayload(id);
    payload.append(text);
    return payload;
}

std::optional<RunningPayload> splitRunningPayload(std::string_view payload) {
    const auto id = takeId(payload);
    if (!id) {
        return std::nullopt;
    }
    return RunningPayload{*id, std::string(payload)};
}

std::string idText(RequestId id) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(id));
    return text;
}

} // namespace iae17::protocol
