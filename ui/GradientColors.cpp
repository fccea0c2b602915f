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

}  // namespace ui
