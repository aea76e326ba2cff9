#include "platform/HeadlessMessageBoxes.h"

#include <ostream>

namespace kvl {

std::string headlessBoxLine(const std::string& text, const std::string& title) {
    std::string line = title + ": ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // CR LF is one line break
        line += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return line;
}

HeadlessMessageBoxes::HeadlessMessageBoxes(std::ostream& out) : out_(out) {}

MessageAnswer HeadlessMessageBoxes::show(const std::string& text, const std::string& title,
                                         MessageButtons, MessageIcon) {
    out_ << headlessBoxLine(text, title) << '\n';
    out_.flush();
    // Standard error may be a pipe whose reader went away: the box is lost,
    // the program goes on, and the next box is tried again.
    out_.clear();
    return MessageAnswer::Ok;
}

} // namespace kvl
