#include "protocol/Frame.h"

#include <array>
#include <stdexcept>

namespace iae17::protocol {

namespace {

constexpr std::array<std::uint16_t, 256> crcTable() {
    std::array<std::uint16_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        auto crc = static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<std::uint16_t>(crc << 1);
        }
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> CrcTable = crcTable();

} // namespace

std::uint16_t crc16(std::string_view bytes) {
    std::uint16_t crc = 0xFFFF;
    for (char c : bytes) {
        const auto index = static_cast<std::uint8_t>((crc >> 8) ^ static_cast<std::uint8_t>(c));
        crc = static_cast<std::uint16_t>((crc << 8) ^ CrcTable[index]);
    }
    return crc;
}

std::string encode(const Frame& frame) {
    if (frame.payload.size() > MaxPayload) {
        throw std::length_error("frame payload above 8192 bytes");
    }
    const auto length = static_cast<std::uint16_t>(frame.payload.size());
    std::string out;
    out.reserve(HeaderSize + frame.payload.size() + TrailerSize);
    out += Stx;
    out += static_cast<char>(frame.type);
    out += static_cast<char>(frame.seq);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(length & 0xFF);
    out += frame.payload;
    out += Etx;
    const std::uint16_t crc = crc16(std::string_view(out).substr(1));
    out += static_cast<char>(crc >> 8);
    out += static_cast<char>(crc & 0xFF);
    return out;
}

bool isRequest(FrameType type) {
    const auto value = static_cast<std::uint8_t>(type);
    return value >= static_cast<std::uint8_t>(FrameType::Payment) &&
           value <= static_cast<std::uint8_t>(FrameType::PreauthorizationClose);
}

bool isKnownType(std::uint8_t type) {
    const auto frameType = static_cast<FrameType>(type);
    return isRequest(frameType) || frameType == FrameType::Ack || frameType == FrameType::Nak ||
           frameType == FrameType::Progress || frameType == FrameType::Answer ||
           frameType == FrameType::Enquiry || frameType == FrameType::Unknown ||
           frameType == FrameType::Running;
}

const char* typeName(FrameType type) {
    switch (type) {
    case FrameType::Payment:
        return "Payment";
    case FrameType::PaymentExt:
        return "PaymentExt";
    case FrameType::Refund:
        return "Refund";
    case FrameType::Void:
        return "Void";
    case FrameType::TerminalBalance:
        return "TerminalBalance";
    case FrameType::Closure:
        return "Closure";
    case FrameType::Status:
        return "Status";
    case FrameType::Preauthorization:
        return "Preauthorization";
    case FrameType::PreauthorizationInt:
        return "PreauthorizationInt";
    case FrameType::PreauthorizationClose:
        return "PreauthorizationClose";
    case FrameType::Ack:
        return "ACK";
    case FrameType::Nak:
        return "NAK";
    case FrameType::Progress:
        return "PROGRESS";
    case FrameType::Answer:
        return "ANSWER";
    case FrameType::Enquiry:
        return "ENQUIRY";
    case FrameType::Unknown:
        return "UNKNOWN";
    case FrameType::Running:
        return "RUNNING";
    }
    return "Unknown";
}

} // namespace iae17::protocol
