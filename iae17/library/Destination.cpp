#include "library/Destination.h"

#include "library/FieldText.h"

namespace iae17 {

namespace {

// Four decimal numbers of 0-255 joined by dots, nothing else.
bool isDottedAddress(std::string_view text) {
    int parts = 0;
    while (parts < 4) {
        std::size_t digits = 0;
        unsigned value = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
            value = value * 10 + static_cast<unsigned>(text[digits] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) {
            return false;
        }
        text.remove_prefix(digits);
        if (++parts < 4) {
            if (text.empty() || text.front() != '.') {
                return false;
            }
            text.remove_prefix(1);
        }
    }
    return text.empty();
}

} // namespace

Destination parseEthInit(const char* image) {
    if (image == nullptr) {
        return InvalidDestination{"no Ethernet init record"};
    }
    const std::string_view record(image, EthInitSize);
    const std::string address(trimField(record.substr(0, 16)));
    if (!isDottedAddress(address)) {
        return InvalidDestination{"IP address \"" + address + "\" not valid"};
    }
    const long port = fieldNumber(record.substr(16, 6), 1, 65535);
    if (port < 0) {
        return InvalidDestination{"port not valid"};
    }
    return EthernetDestination{address, static_cast<unsigned short>(port)};
}

Destination parseRs232Init(const char* image) {
    if (image == nullptr) {
        return InvalidDestination{"no serial init record"};
    }
    const std::string_view record(image, Rs232InitSize);
    const std::string_view port = trimField(record.substr(0, 6));
    const bool named = port.size() > 3 && (port[0] == 'C' || port[0] == 'c') &&
                       (port[1] == 'O' || port[1] == 'o') && (port[2] == 'M' || port[2] == 'm');
    const long number = named ? fieldNumber(port.substr(3), 1, 999) : -1;
    if (number < 0) {
        return InvalidDestination{"serial port name not valid"};
    }
    const auto line = decodeLineSettings(record.substr(6, 2), record.substr(8, 2),
                                         record.substr(10, 2), record.substr(12, 2));
    if (!line) {
        return InvalidDestination{"serial line codes not valid"};
    }
    return SerialDestination{static_cast<unsigned>(number), *line};
}

} // namespace iae17
