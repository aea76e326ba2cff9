#include "protocol/Frame.h"

#include <stdexcept>

namespace iae17::protocol {

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

std::string buildRequestPayload(std::string_view posRequest, std::string_view posData) {
    if (posRequest.size() != PosRequestSize || posData.size() != PosDataSize) {
        throw std::invalid_argument("request images must be 219 and 4267 bytes");
    }
    std::string payload;
    payload.reserve(RequestPayloadSize);
    payload.append(posRequest);
    payload.append(posData);
    return payload;
}

std::optional<RequestPayload> splitRequestPayload(std::string_view payload) {
    if (payload.size() != RequestPayloadSize) {
        return std::nullopt;
    }
    return RequestPayload{std::string(payload.substr(0, PosRequestSize)),
                          std::string(payload.substr(PosRequestSize))};
}

std::string buildAnswerPayload(std::uint8_t result, std::string_view posData) {
    if (posData.size() != PosDataSize) {
        throw std::invalid_argument("answer image must be 4267 bytes");
    }
    std::string payload;
    payload.reserve(AnswerPayloadSize);
    payload += static_cast<char>(result);
    payload.append(posData);
    return payload;
}

std::optional<AnswerPayload> splitAnswerPayload(std::string_view payload) {
    if (payload.size() != AnswerPayloadSize) {
        return std::nullopt;
    }
    return AnswerPayload{static_cast<std::uint8_t>(payload[0]), std::string(payload.substr(1))};
}

} // namespace iae17::protocol
