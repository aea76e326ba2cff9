#pragma once

#include "controls/Control.h"

#include <string_view>

namespace kvl {

// A text box. Like the platform's edit controls it holds text up to its first
// NUL character. The limit restricts what an operator types, not what the
// program writes.
class TextBox : public Control {
public:
    TextBox(std::string name, std::string container, Twips position, std::string text = {},
            std::size_t limit = 0);

    const std::string& text() const { return text_; }
    // Program write: cut at the first NUL, no limit applied.
    void setText(std::string_view text, Origin origin = nullptr);
    // Operator input, from the view whose subscription is the origin: refused
    // (false) when the box is disabled or the new text would exceed the limit
    // (0 = no limit).
    bool typeText(std::string_view text, Origin origin = nullptr);

    std::size_t limit() const { return limit_; }

private:
    std::string text_;
    std::size_t limit_;
};

} // namespace kvl
