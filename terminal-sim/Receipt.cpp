#include "Receipt.h"

namespace sim {

std::string Receipt::text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace sim
