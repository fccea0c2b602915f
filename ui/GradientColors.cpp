#include "ui/GradientColors.h"

namespace ui {

namespace {
int Channel(int start, int end, int line, int lines) {
  const int value = start + (line * (end - start)) / lines;  // C++ division truncates toward zero
  return value < 0 ? 0 : value > 255 ? 255 : value;
}
}  // namespace

Colour GradientLineColour(Colour start, Colour end, int line, int lines) {
  if (lines <= 0) return start;
  return Rgb(Channel(RedOf(start), RedOf(end), line, lines),
             Channel(GreenOf(start), GreenOf(end), line, lines),
             Channel(BlueOf(start), BlueOf(end), line, lines));
}

Colour DisabledColour(Colour colour) {
  const int brightness =
      (30 * RedOf(colour) + 59 * GreenOf(colour) + 11 * BlueOf(colour)) / 100;  // 0-255
  const int grey = 128 + brightness / 2;  // 128-255
  return Rgb(grey, grey, grey);
}

}  // namespace ui
