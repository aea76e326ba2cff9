#include "Fault.h"

#include "Count.h"

#include <cctype>

namespace sim {

namespace {

constexpr unsigned LongestDelayMs = 3600000;
constexpr unsigned MostFrames = 100;

std::string lowerCase(const std::string& text) {
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::optional<std::string> readValue(const std::string& word, const std::string& value,
                                     unsigned most, std::optional<unsigned>& target) {
    const std::optional<unsigned> count = readCount(value, most);
    if (!count)
        return "\"" + word + "\" needs a whole number from 0 to " + std::to_string(most);
    target = count;
    return std::nullopt;
}

} // namespace

bool Fault::operator==(const Fault& other) const {
    return delayMs == other.delayMs && progress == other.progress && noAnswer == other.noAnswer &&
           drop == other.drop && garbage == other.garbage && badChecksums == other.badChecksums &&
           nakFirst == other.nakFirst && unsupported == other.unsupported && mute == other.mute &&
           forget == other.forget && deafMs == other.deafMs;
}

void FaultChange::applyTo(Fault& fault) const {
    if (reset)
        fault = Fault{};
    if (delayMs)
        fault.delayMs = *delayMs;
    if (progress)
        fault.progress = *progress;
    if (noAnswer)
        fault.noAnswer = *noAnswer;
    if (drop)
        fault.drop = *drop;
    if (garbage)
        fault.garbage = *garbage;
    if (badChecksums)
        fault.badChecksums = *badChecksums;
    if (nakFirst)
        fault.nakFirst = *nakFirst;
    if (unsupported)
        fault.unsupported = *unsupported;
    if (mute)
        fault.mute = *mute;
    if (forget)
        fault.forget = *forget;
    if (deafMs)
        fault.deafMs = *deafMs;
}

std::string describe(const Fault& fault) {
    std::string text;
    const auto add = [&text](const std::string& part) {
        if (!text.empty())
            text += ',';
        text += part;
    };
    if (fault.nakFirst)
        add("nak");
    if (fault.garbage == GarbagePoint::InsteadOfAck)
        add("garbage=ack");
    if (fault.drop == DropPoint::BeforeAck)
        add("drop=before-ack");
    if (fault.drop == DropPoint::AfterAck)
        add("drop=after-ack");
    if (fault.mute)
        add("mute");
    if (fault.forget)
        add("forget");
    if (fault.deafMs != 0)
        add("deaf=" + std::to_string(fault.deafMs));
    if (fault.delayMs != 0)
        add("delay=" + std::to_string(fault.delayMs));
    if (fault.progress != 0)
        add("progress=" + std::to_string(fault.progress));
    if (fault.noAnswer)
        add("timeout");
    if (fault.unsupported)
        add("unsupported");
    if (fault.garbage == GarbagePoint::InsteadOfAnswer)
        add("garbage=answer");
    if (fault.badChecksums != 0)
        add("badcrc=" + std::to_string(fault.badChecksums));
    if (fault.drop == DropPoint::AfterAnswer)
        add("drop=after-answer");
    return text.empty() ? "none" : text;
}

std::optional<std::string> readFaultWord(const std::string& original, FaultChange& change) {
    const std::string word = lowerCase(original);
    const std::size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const bool hasValue = equals != std::string::npos;
    const std::string value = hasValue ? word.substr(equals + 1) : std::string();

    if (name == "ok" && !hasValue) {
        change.reset = true;
    } else if (name == "timeout" && !hasValue) {
        change.noAnswer = true;
    } else if (name == "nak" && !hasValue) {
        change.nakFirst = true;
    } else if (name == "unsupported" && !hasValue) {
        change.unsupported = true;
    } else if (name == "mute" && !hasValue) {
        change.mute = true;
    } else if (name == "forget" && !hasValue) {
        change.forget = true;
    } else if (name == "deaf" && hasValue) {
        return readValue(original, value, LongestDelayMs, change.deafMs);
    } else if (name == "delay" && hasValue) {
        return readValue(original, value, LongestDelayMs, change.delayMs);
    } else if (name == "progress" && hasValue) {
        return readValue(original, value, MostFrames, change.progress);
    } else if (name == "badcrc") {
        if (!hasValue)
            change.badChecksums = 1;
        else
            return readValue(original, value, MostFrames, change.badChecksums);
    } else if (name == "drop" && hasValue) {
        if (value == "before-ack")
            change.drop = DropPoint::BeforeAck;
        else if (value == "after-ack")
            change.drop = DropPoint::AfterAck;
        else if (value == "after-answer")
            change.drop = DropPoint::AfterAnswer;
        else
            return "\"" + original + "\": drop takes before-ack, after-ack or after-answer";
    } else if (name == "garbage") {
        if (!hasValue || value == "answer")
            change.garbage = GarbagePoint::InsteadOfAnswer;
        else if (value == "ack")
            change.garbage = GarbagePoint::InsteadOfAck;
        else
            return "\"" + original + "\": garbage takes ack or answer";
    } else {
        return "unknown fault \"" + original + "\"";
    }
    return std::nullopt;
}

} // namespace sim
