#pragma once

#include <cstddef>

// The test terminal library leaves in a record byte it received at `offset`
// a NUL at every eleventh byte, otherwise the byte plus one.
inline char libraryByte(char received, std::size_t offset) {
    return offset % 11 == 0 ? '\0' : static_cast<char>(received + 1);
}
