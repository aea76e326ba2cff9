#include "gui/qt/QtMessageBoxes.h"

#include "gui/qt/Windows1252.h"
#include "platform/HeadlessMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include <algorithm>
#include <ostream>

namespace kvl::qt {

QtMessageBoxes::QtMessageBoxes(std::ostream& unattendedOut) : unattendedOut_(unattendedOut) {}

MessageAnswer QtMessageBoxes::show(const std::string& text, const std::string& title,
                                   MessageButtons buttons, MessageIcon icon) {
    if (unattended_) {
        unattendedOut_ << headlessBoxLine(text, title) << '\n';
        unattendedOut_.flush();
        return MessageAnswer::Ok;
    }

    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    fromWindows1252(title), fromWindows1252(text),
                    buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName("messageBox");
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(buttons == MessageButtons::OkCancel ? QMessageBox::Cancel
                                                            : QMessageBox::Ok);
    open_.push_back(&box);
    // A loop nested after the program's end returns at once: the default.
    const int answer = box.exec();
    open_.erase(std::find(open_.begin(), open_.end(), &box));
    return answer == QMessageBox::Cancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

void QtMessageBoxes::answerUnattended() {
    unattended_ = true;
    for (QMessageBox* box : open_)
        box->done(QMessageBox::Ok);
}

} // namespace kvl::qt
