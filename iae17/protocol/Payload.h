#pragma once

// What the frames of an exchange carry. Every request has an identifier of
// its own, chosen by the library, the same for every resend of the request
// and every enquiry about it; the terminal's answers and replies name it, so
// that nothing meant for another request is ever taken for this one's.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace iae17::protocol {

using RequestId = std::uint64_t;
constexpr std::size_t IdSize = 8;

// REQUEST: the identifier, then the PosRequest and POSDATA images, compacted.
struct RequestPayload {
    RequestId id = 0;
    std::string posRequest;
    std::string posData;
};
// Both images must have their exact sizes; throws std::invalid_argument else.
std::string buildRequestPayload(RequestId id, std::string_view posRequest,
                                std::string_view posData);
// nullopt unless the payload is exactly an identifier and two whole images.
std::optional<RequestPayload> splitRequestPayload(std::string_view payload);

// ANSWER: the identifier, the terminal's result byte, then the POSDATA image
// compacted against the POSDATA the request carried (fields the terminal
// left as they were go as "same").
struct AnswerPayload {
    RequestId id = 0;
    std::uint8_t result = 0;
    std::string posData;
};
// The images must be PosDataSize bytes; throws std::invalid_argument else.
std::string buildAnswerPayload(RequestId id, std::uint8_t result, std::string_view posData,
                               std::string_view givenPosData);
// nullopt unless the payload is exactly an identifier, a result byte and one
// whole image rebuilt against the POSDATA the request carried.
std::optional<AnswerPayload> splitAnswerPayload(std::string_view payload,
                                                std::string_view givenPosData);
// The identifier an ANSWER names, without rebuilding its image.
std::optional<RequestId> answerId(std::string_view payload);

// ENQUIRY and UNKNOWN: the identifier alone.
std::string idPayload(RequestId id);
// nullopt unless the payload is exactly an identifier.
std::optional<RequestId> splitIdPayload(std::string_view payload);

// RUNNING: the identifier, then the text the terminal shows, if any.
struct RunningPayload {
    RequestId id = 0;
    std::string text;
};
std::string buildRunningPayload(RequestId id, std::string_view text);
// nullopt when the payload is shorter than an identifier.
std::optional<RunningPayload> splitRunningPayload(std::string_view payload);

// "0123456789ABCDEF", as traces and logs show an identifier.
std::string idText(RequestId id);

} // namespace iae17::protocol
