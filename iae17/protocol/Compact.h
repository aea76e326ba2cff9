#pragma once

// Record images travel compacted: field by field, each field's text without
// the blanks or NULs that pad it, so that a 4267-byte answer record whose
// fields hold a few hundred characters costs a few hundred bytes on the line.
//
// Every field starts with one head byte:
//   bits 7-6  00 text padded with blanks, 01 text padded with NULs,
//             10 the field is the same as in the reference image (no text
//             follows), 11 never used
//   bits 5-0  the length of the text, 0-62; 63 means the length follows in
//             two more bytes, big-endian
// then the text. The receiver rebuilds the field as the text followed by the
// padding up to the field's width, byte for byte as it was sent.

#include "protocol/Records.h"

#include <optional>
#include <string>
#include <string_view>

namespace iae17::protocol {

// The compacted form of an image of the layout's size. Fields equal to the
// same field of the reference are sent as "same"; an empty reference means
// none.
std::string compactImage(const RecordLayout& layout, std::string_view image,
                         std::string_view reference = {});

// Rebuilds one image from the front of `bytes`, which is advanced past it.
// nullopt when the bytes run out, a text is longer than its field, a field
// says "same" with no reference, or a head byte is 11.
std::optional<std::string> expandImage(const RecordLayout& layout, std::string_view& bytes,
                                       std::string_view reference = {});

} // namespace iae17::protocol
