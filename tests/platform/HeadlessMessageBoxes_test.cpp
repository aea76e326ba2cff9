#include "platform/HeadlessMessageBoxes.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kvl {
namespace {

TEST(HeadlessMessageBoxes, WritesTitleColonTextOnOneLineAndAnswersOk) {
    std::ostringstream out;
    HeadlessMessageBoxes boxes(out);
    EXPECT_EQ(MessageAnswer::Ok, boxes.show("Uscire?\r\nSi\nNo\r", "Attenzione",
                                            MessageButtons::OkCancel, MessageIcon::Critical));
    boxes.show("", ProgramTitle, MessageButtons::Ok, MessageIcon::None);
    EXPECT_EQ("Attenzione: Uscire? Si No \nKvlTalvioPos: \n", out.str());
}

} // namespace
} // namespace kvl
