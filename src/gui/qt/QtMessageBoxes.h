#pragma once

#include "platform/MessageBoxes.h"

#include <iosfwd>
#include <vector>

class QMessageBox;

namespace kvl::qt {

// Modal Qt message boxes with the program's titles, icons and buttons, OK
// the default button. Once the program is ending, or when the system asked it
// to end and nobody is there to answer, a box is answered as without a
// display: one line on the error stream, answered with OK.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(std::ostream& unattendedOut);

    MessageAnswer show(const std::string& text, const std::string& title, MessageButtons buttons,
                       MessageIcon icon) override;

    // Answers the boxes that are open with OK, and every later one too.
    void answerUnattended();

private:
    std::ostream& unattendedOut_;
    bool unattended_ = false;
    std::vector<QMessageBox*> open_;
};

} // namespace kvl::qt
