#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text helpers with the semantics the program's data files and records rely
// on. Text is bytes in Windows-1252.
namespace kvl::text {

// Upper-cases ASCII and Windows-1252 letters; other bytes stay as they are.
std::string upperCase(std::string_view text);
void upperCaseInPlace(std::string& text);

// Removes blanks (spaces only) on both sides, on the left, on the right.
std::string trim(std::string_view text);
std::string trimLeft(std::string_view text);
std::string trimRight(std::string_view text);

// Splits at every occurrence of the separator; an empty text gives no parts,
// and a text without the separator gives one part.
std::vector<std::string> split(std::string_view text, char separator);

// "Is a number": decimal digits with blanks around them allowed and one
// optional leading sign. An empty or blank text is not a number.
bool isNumber(std::string_view text);

// The value of a text that isNumber accepts; nullopt otherwise or when it does
// not fit in 64 bits.
std::optional<long long> numberValue(std::string_view text);

// The leading number of a text: blanks skipped, an optional sign, then the
// digits up to the first other character; no digits count as 0.
long long leadingNumber(std::string_view text);

// Stores a text into a fixed width: left-aligned, padded with blanks, cut.
std::string fixedWidth(std::string_view text, std::size_t width);

// The text up to its first NUL character.
std::string upToNul(std::string_view text);

// Removes every occurrence of the character.
std::string removeAll(std::string_view text, char character);

// Case-insensitive comparison in the sense of upperCase.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// True when the text contains the needle, compared without regard to case;
// the position of its first occurrence otherwise npos.
std::size_t findIgnoringCase(std::string_view text, std::string_view needle);

} // namespace kvl::text
