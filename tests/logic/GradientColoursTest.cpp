#include <gtest/gtest.h>

#include "ui/GradientColors.h"

namespace {

using ui::GradientLineColour;
using ui::Rgb;

TEST(GradientColours, MainWindowTopBand) {
  const ui::Colour expected[] = {Rgb(255, 255, 255), Rgb(250, 250, 252), Rgb(245, 245, 248),
                                 Rgb(240, 240, 244), Rgb(235, 235, 240), Rgb(230, 230, 236)};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(GradientLineColour(Rgb(255, 255, 255), Rgb(224, 224, 232), i, 6), expected[i]) << i;
}

TEST(GradientColours, RisingChannelsTruncate) {
  const int expected[] = {240, 243, 247, 251};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(GradientLineColour(Rgb(240, 240, 240), Rgb(255, 255, 255), i, 4),
              Rgb(expected[i], expected[i], expected[i]))
        << i;
}

TEST(GradientColours, ChannelsMoveIndependentlyAndNeverReachTheEnd) {
  const ui::Colour start = Rgb(0, 255, 10), end = Rgb(255, 0, 10);
  EXPECT_EQ(GradientLineColour(start, end, 0, 255), start);
  EXPECT_EQ(GradientLineColour(start, end, 254, 255), Rgb(254, 1, 10));
  EXPECT_EQ(GradientLineColour(start, end, 1, 3), Rgb(85, 170, 10));
  EXPECT_EQ(GradientLineColour(start, end, 2, 3), Rgb(170, 85, 10));  // 255 - 170 = 85, truncated
  EXPECT_EQ(GradientLineColour(Rgb(255, 0, 0), Rgb(224, 0, 0), 1, 6), Rgb(250, 0, 0));
  EXPECT_EQ(GradientLineColour(Rgb(10, 20, 30), Rgb(50, 60, 70), 0, 0), Rgb(10, 20, 30));
}

TEST(DisabledColours, GreysInTheLightHalfByBrightness) {
  EXPECT_EQ(ui::DisabledColour(Rgb(0, 0, 0)), Rgb(128, 128, 128));
  EXPECT_EQ(ui::DisabledColour(Rgb(255, 255, 255)), Rgb(255, 255, 255));
  EXPECT_EQ(ui::DisabledColour(Rgb(0, 128, 0)), Rgb(165, 165, 165));  // 75 bright
  EXPECT_EQ(ui::DisabledColour(Rgb(0, 0, 255)), Rgb(142, 142, 142));  // blue weighs little
}

}  // namespace
