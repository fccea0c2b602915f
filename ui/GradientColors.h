// The colour arithmetic of the gradient backgrounds and of disabled icons:
// plain functions, so the native tests can check them without a window.
#pragma once

#include <cstdint>

namespace ui {

// 0x00BBGGRR, as the platform's COLORREF.
using Colour = uint32_t;

constexpr Colour Rgb(int red, int green, int blue) {
  return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
         (static_cast<Colour>(blue) << 16);
}
// The colour of the value read-outs of both drive pages.
constexpr Colour kValueColour = Rgb(0, 96, 192);

constexpr int RedOf(Colour c) { return c & 0xFF; }
constexpr int GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Colour c) { return (c >> 16) & 0xFF; }

// The colour of line `line` of `lines`: each channel start + (line x delta) /
// lines, truncated toward zero, clamped to 0-255. The end colour itself is
// never reached.
Colour GradientLineColour(Colour start, Colour end, int line, int lines);

// A pixel of an icon as a disabled button shows it: its brightness only
// (0.30 red, 0.59 green, 0.11 blue), pressed into the light half of the
// greys so that it reads as faded on the button face.
Colour DisabledColour(Colour colour);

}  // namespace ui
