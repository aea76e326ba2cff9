#pragma once

#include <optional>
#include <string>

namespace sim {

// Where the connection is dropped during an exchange.
enum class DropPoint { None, BeforeAck, AfterAck, AfterAnswer };

// Which frame is replaced by garbage bytes.
enum class GarbagePoint { None, InsteadOfAck, InsteadOfAnswer };

// The faults applied to one exchange. The default is a well-behaved terminal.
struct Fault {
    unsigned delayMs = 0;  // wait between the ACK and the answer
    unsigned progress = 0; // "in progress" frames spread over that wait
    bool noAnswer = false; // ACK, then never answer
    DropPoint drop = DropPoint::None;
    GarbagePoint garbage = GarbagePoint::None;
    unsigned badChecksums = 0; // answers sent with a wrong CRC before a good one
    bool nakFirst = false;     // refuse the first frame of the request with NAK
    bool unsupported = false;  // answer "function not supported"
    bool mute = false;         // ACK, then never a word about the request, not even when asked
    bool forget = false;       // ACK, then restart: the request is neither run nor remembered
    unsigned deafMs = 0;       // after the ACK (and any drop), hear nothing for this long

    bool operator==(const Fault& other) const;
    bool operator!=(const Fault& other) const { return !(*this == other); }
};

// The changes one rule makes: `reset` first brings back the well-behaved
// terminal, then every value given replaces the one in force.
struct FaultChange {
    bool reset = false;
    std::optional<unsigned> delayMs;
    std::optional<unsigned> progress;
    std::optional<bool> noAnswer;
    std::optional<DropPoint> drop;
    std::optional<GarbagePoint> garbage;
    std::optional<unsigned> badChecksums;
    std::optional<bool> nakFirst;
    std::optional<bool> unsupported;
    std::optional<bool> mute;
    std::optional<bool> forget;
    std::optional<unsigned> deafMs;

    void applyTo(Fault& fault) const;
};

// The fault as the exchange log shows it: "none", or its parts in the words of
// the scenario grammar joined by commas, e.g. "delay=5000,progress=4".
std::string describe(const Fault& fault);

// Reads one word of the scenario grammar ("timeout", "delay=5000", ...) into a
// change; an error text when the word is not one.
std::optional<std::string> readFaultWord(const std::string& word, FaultChange& change);

} // namespace sim
