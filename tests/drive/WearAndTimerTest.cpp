// The standby timer's count, and the wear counters of the SMART data.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "drive/SmartData.h"
#include "drive/StandbyTimer.h"

namespace {

using namespace drive;

TEST(StandbyTimer, TheNearestPeriodTheDriveCanHold) {
  struct Case {
    uint32_t seconds;
    uint8_t count;
    uint32_t held;  // seconds
  };
  const Case cases[] = {
      {0, 0, 0},           {5, 1, 5},            {7, 1, 5},           {8, 2, 10},
      {1200, 240, 1200},   {1230, 252, 1260},    {1250, 252, 1260},   {1270, 255, 1275},
      {1500, 255, 1275},   {1600, 241, 1800},    {2700, 242, 3600},  // 45 min: the longer
      {3600, 242, 3600},   {19800, 251, 19800},  {99999, 251, 19800}, {1, 1, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StandbyTimerCount(c.seconds), c.count) << c.seconds;
    EXPECT_EQ(StandbyTimerSeconds(StandbyTimerCount(c.seconds)), c.held) << c.seconds;
  }
  // 253 is the vendor's and 254 reserved: no count ever names them.
  for (uint32_t s = 0; s <= kLongestStandbyTimer; s += 5) {
    const uint8_t count = StandbyTimerCount(s);
    ASSERT_TRUE(count != 253 && count != 254) << s;
  }
  EXPECT_EQ(StandbyTimerSeconds(253), 0u);
}

// A SMART data block with the given (id, raw value) entries and the checksum
// made right (or wrong).
std::vector<uint8_t> SmartBlock(const std::vector<std::pair<uint8_t, uint64_t>>& entries,
                                bool goodChecksum = true) {
  std::vector<uint8_t> data(kSmartDataLength, 0);
  data[0] = 0x10;
  for (size_t i = 0; i < entries.size(); ++i) {
    uint8_t* entry = &data[2 + 12 * i];
    entry[0] = entries[i].first;
    entry[3] = entry[4] = 100;
    for (int b = 0; b < 6; ++b) entry[5 + b] = static_cast<uint8_t>(entries[i].second >> (8 * b));
  }
  uint8_t sum = 0;
  for (int i = 0; i < kSmartDataLength - 1; ++i) sum = static_cast<uint8_t>(sum + data[i]);
  data[511] = static_cast<uint8_t>(-sum + (goodChecksum ? 0 : 1));
  return data;
}

TEST(SmartData, HeadLoadsAndSpinUpsFromAnIntactTable) {
  struct Case {
    std::vector<uint8_t> data;
    WearCounts expected;  // intact, hasHeadLoads, headLoads, hasSpinUps, spinUps
  };
  const Case cases[] = {
      {SmartBlock({{1, 0}, {4, 1234}, {9, 5000}, {193, 56789}}), {true, true, 56789, true, 1234}},
      {SmartBlock({{225, 300000}, {4, 7}}), {true, true, 300000, true, 7}},
      {SmartBlock({{225, 9}, {193, 11}}), {true, true, 11, false, 0}},  // 193 wins
      {SmartBlock({{193, 0x123400000005}}), {true, true, 5, false, 0}},  // vendor bytes above
      {SmartBlock({{9, 1}}), {true, false, 0, false, 0}},
      {SmartBlock({{4, 1234}, {193, 56789}}, false), {false, false, 0, false, 0}},
      {std::vector<uint8_t>(kSmartDataLength, 0), {true, false, 0, false, 0}},
  };
  for (const Case& c : cases) {
    const WearCounts counts = ReadWearCounts(c.data.data());
    EXPECT_EQ(counts.intact, c.expected.intact);
    EXPECT_EQ(counts.hasHeadLoads, c.expected.hasHeadLoads);
    EXPECT_EQ(counts.headLoads, c.expected.headLoads);
    EXPECT_EQ(counts.hasSpinUps, c.expected.hasSpinUps);
    EXPECT_EQ(counts.spinUps, c.expected.spinUps);
  }
}

}  // namespace
