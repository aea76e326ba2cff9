#include "library/Trace.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace iae17 {

namespace {

std::string timestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03d", static_cast<int>(millis));
    return text;
}

std::string describe(const protocol::Frame& frame) {
    return std::string(protocol::typeName(frame.type)) + " seq " + std::to_string(frame.seq);
}

} // namespace

std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto value = static_cast<unsigned char>(c);
        if (!out.empty()) {
            out += ' ';
        }
        out += digits[value >> 4];
        out += digits[value & 0x0F];
    }
    return out;
}

Trace::Trace(std::string path) : path_(std::move(path)) {}

void Trace::sent(const protocol::Frame& frame) {
    if (enabled()) {
        append("send", describe(frame), protocol::encode(frame));
    }
}

void Trace::received(const protocol::Frame& frame) {
    if (enabled()) {
        append("recv", describe(frame), protocol::encode(frame));
    }
}

void Trace::receivedBad(const protocol::Decoder::Event& event) {
    if (!enabled()) {
        return;
    }
    if (event.kind == protocol::Decoder::Event::Garbage) {
        append("recv", "garbage: " + event.detail, {});
    } else {
        append("recv", "bad frame " + describe(event.frame) + ": " + event.detail, {});
    }
}

void Trace::note(std::string_view text) {
    if (enabled()) {
        append("note", text, {});
    }
}

void Trace::append(std::string_view direction, std::string_view what, std::string_view bytes) {
    std::FILE* file = std::fopen(path_.c_str(), "a");
    if (file == nullptr) {
        return;
    }
    const std::string line = timestamp() + " " + std::string(direction) + " " + std::string(what) +
                             (bytes.empty() ? "" : ": " + hex(bytes)) + "\n";
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}

} // namespace iae17
