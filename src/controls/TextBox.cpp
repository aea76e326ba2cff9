#include "controls/TextBox.h"

namespace kvl {

namespace {
std::string_view upToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}
} // namespace

TextBox::TextBox(std::string name, std::string container, Twips position, std::string text,
                 std::size_t limit)
    : Control(std::move(name), std::move(container), position), text_(upToNul(text)),
      limit_(limit) {}

void TextBox::setText(std::string_view text, Origin origin) {
    update(text_, std::string(upToNul(text)), Property::Text, origin);
}

bool TextBox::typeText(std::string_view text, Origin origin) {
    text = upToNul(text);
    if (!enabled() || (limit_ != 0 && text.size() > limit_))
        return false;
    setText(text, origin);
    return true;
}

} // namespace kvl
