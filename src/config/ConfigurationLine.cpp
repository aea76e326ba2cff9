#include "config/ConfigurationLine.h"

#include "platform/Text.h"

namespace kvl::config {

namespace {

constexpr std::size_t keyLength = 5; // four letters and the colon

std::string_view withoutLeadingBlanks(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : line.substr(first);
}

} // namespace

bool isCommentLine(std::string_view line) {
    const std::string_view rest = withoutLeadingBlanks(line);
    return rest.empty() || rest.front() == ';';
}

bool hasKey(std::string_view line, std::string_view key) {
    const std::string_view rest = withoutLeadingBlanks(line);
    return rest.size() >= keyLength && rest[keyLength - 1] == ':' &&
           text::equalsIgnoringCase(rest.substr(0, keyLength - 1), key);
}

std::string settingValue(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return {};
    const std::string_view rest = line.substr(colon + 1);
    return text::trim(rest.substr(0, rest.find(':')));
}

std::string pathValue(std::string_view line) {
    const std::string_view rest = withoutLeadingBlanks(line);
    if (rest.size() <= keyLength)
        return {};
    return text::removeAll(text::trim(rest.substr(keyLength)), '"');
}

std::string baudCode(std::string_view value) {
    switch (text::leadingNumber(value)) {
    case 300:
        return "0";
    case 1200:
        return "1";
    case 2400:
        return "2";
    case 4800:
        return "3";
    case 19200:
        return "5";
    default:
        return "4";
    }
}

std::string stopBitsCode(std::string_view value) {
    return text::numberValue(value) == 2 ? "1" : "0";
}

std::string dataBitsCode(std::string_view value) {
    return text::numberValue(value) == 7 ? "0" : "1";
}

std::string parityCode(std::string_view value) {
    const std::string upper = text::upperCase(value);
    if (upper == "E")
        return "2";
    if (upper == "O")
        return "1";
    return "0";
}

} // namespace kvl::config
