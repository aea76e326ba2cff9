#include "platform/HeadlessMessageBoxes.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kvl {
namespace {

struct LineCase {
    std::string text;
    std::string line;
};

class HeadlessBoxLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(HeadlessBoxLine, IsTitleColonTextOnOneLine) {
    EXPECT_EQ(GetParam().line, headlessBoxLine(GetParam().text, "KvlTalvioPos"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeadlessBoxLine,
    ::testing::Values(LineCase{"Connessione assente", "KvlTalvioPos: Connessione assente"},
                      LineCase{"a\r\nb", "KvlTalvioPos: a b"},
                      LineCase{"a\nb\rc", "KvlTalvioPos: a b c"},
                      LineCase{"a\r\n\r\nb", "KvlTalvioPos: a  b"}, LineCase{"", "KvlTalvioPos: "},
                      LineCase{"x\r", "KvlTalvioPos: x "}));

TEST(HeadlessMessageBoxes, WritesOneLineAndAnswersOk) {
    std::ostringstream out;
    HeadlessMessageBoxes boxes(out);
    EXPECT_EQ(MessageAnswer::Ok, boxes.show("Uscire?\r\nSi", "Attenzione", MessageButtons::OkCancel,
                                            MessageIcon::Critical));
    boxes.show("Path non disponibile", ProgramTitle, MessageButtons::Ok, MessageIcon::None);
    EXPECT_EQ("Attenzione: Uscire? Si\nKvlTalvioPos: Path non disponibile\n", out.str());
}

} // namespace
} // namespace kvl
