#pragma once

namespace kvl {

// A control's position in twips (15 twips = 1 pixel at 96 dpi), relative to
// the form or to the enclosing frame.
struct Twips {
    int left = 0, top = 0, width = 0, height = 0;
};

// Fill colours are 24-bit values with red in the low byte.
namespace Colour {
constexpr long Red = 255;
constexpr long Green = 65280;
constexpr long Yellow = 65535;
} // namespace Colour

} // namespace kvl
