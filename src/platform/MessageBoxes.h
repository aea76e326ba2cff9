#pragma once

#include <string>

namespace kvl {

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Critical };
enum class MessageAnswer { Ok, Cancel };

// Modal message boxes. Without a display each box is one line on standard
// error, "title: text", answered with its default button (OK).
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const std::string& text, const std::string& title,
                               MessageButtons buttons = MessageButtons::Ok,
                               MessageIcon icon = MessageIcon::None) = 0;
};

// The program's title, the caption of its message boxes.
inline const std::string ProgramTitle = "KvlTalvioPos";

} // namespace kvl
