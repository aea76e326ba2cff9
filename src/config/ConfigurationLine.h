#pragma once

#include <string>
#include <string_view>

// How one line of the communication configuration file is read: comments,
// keys, values and the codes the line settings are stored as.
namespace kvl::config {

// Empty, or its first non-blank character is ';'.
bool isCommentLine(std::string_view line);

// True when the line's setting is the key (four letters, compared without
// regard to case) followed by a colon. The key is the line's first word:
// leading blanks are skipped, and nothing else may stand before it. A key
// word further on in the line is part of a value (a path may hold one) and
// never selects a setting.
bool hasKey(std::string_view line, std::string_view key);

// The value of TIPO .. ECRI: the text between the first colon of the line and
// the next colon (or the end of the line), trimmed of blanks.
std::string settingValue(std::string_view line);

// The value of INPF / OUTF: everything after the key's colon, trimmed, with
// every double quote removed. Paths may hold colons; quotes allow blanks.
std::string pathValue(std::string_view line);

// The baud code stored for a BAUD value: its leading number mapped to the
// index of the console's baud list, 9600 ("4") for any rate not listed.
std::string baudCode(std::string_view value);
// "1" for two stop bits, else "0".
std::string stopBitsCode(std::string_view value);
// "0" for seven data bits, else "1".
std::string dataBitsCode(std::string_view value);
// "2" even, "1" odd, "0" anything else; value must not be empty.
std::string parityCode(std::string_view value);

} // namespace kvl::config
