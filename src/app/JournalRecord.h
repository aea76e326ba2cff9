#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvl {

// One line of the command journal: its fields separated by tabs, then a tab
// and the CRC-32 of everything before it as eight hex digits, then CR LF. A
// field keeps its bytes readable but never holds a tab, CR, LF or other
// control character of its own: those are written as \t, \r, \n or \xHH, and
// a backslash as \\.
std::string encodeJournalRecord(std::initializer_list<std::string_view> fields);

// The fields of one line without its line end, still escaped as written;
// nullopt when the checksum does not match or an escape is broken.
std::optional<std::vector<std::string_view>> checkJournalRecord(std::string_view line);
// The bytes a checked field stands for.
std::string unescapeJournalField(std::string_view field);
// checkJournalRecord, then every field unescaped.
std::optional<std::vector<std::string>> decodeJournalRecord(std::string_view line);

// CRC-32 as in zip and PNG, continued from `crc`.
std::uint32_t crc32(std::string_view bytes, std::uint32_t crc = 0);

} // namespace kvl
