#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kvl::qt {

// The program's text is bytes in Windows-1252; widgets hold Unicode. Every
// byte has a character (the five bytes the code page leaves undefined map onto
// the control characters of the same number, as Windows maps them), so a
// model's text always shows and reads back unchanged.
QString fromWindows1252(std::string_view bytes);

// Whether the character has a byte in Windows-1252.
bool inWindows1252(QChar character);

// The bytes of a text; a character without a byte becomes '?', as the
// platform's conversion to ANSI text does.
std::string toWindows1252(const QString& text);

} // namespace kvl::qt
