#pragma once

#include "platform/MessageBoxes.h"

#include <iosfwd>

namespace kvl {

// Message boxes without a display: each box is one line, "title: text", with
// the text's line breaks turned into blanks, answered with OK.
class HeadlessMessageBoxes : public MessageBoxes {
public:
    explicit HeadlessMessageBoxes(std::ostream& out);
    MessageAnswer show(const std::string& text, const std::string& title, MessageButtons buttons,
                       MessageIcon icon) override;

private:
    std::ostream& out_;
};

// The one line a box becomes.
std::string headlessBoxLine(const std::string& text, const std::string& title);

} // namespace kvl
