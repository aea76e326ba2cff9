#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kvl {

// One fixed-width text field of a terminal record. It always holds exactly its
// width in characters: a field never written holds NULs; a stored text is
// left-aligned, padded with blanks and cut to the width.
template <std::size_t Width> class FixedText {
public:
    static constexpr std::size_t width = Width;

    void store(std::string_view value) {
        const std::size_t kept = value.size() < Width ? value.size() : Width;
        value.copy(chars_.data(), kept);
        for (std::size_t i = kept; i < Width; ++i)
            chars_[i] = ' ';
    }
    // The whole field as it stands, NULs and blanks included.
    std::string text() const { return std::string(chars_.data(), Width); }

    void copyTo(char* image) const { std::copy(chars_.begin(), chars_.end(), image); }
    void copyFrom(const char* image) { std::copy(image, image + Width, chars_.begin()); }

private:
    std::array<char, Width> chars_{};
};

} // namespace kvl
