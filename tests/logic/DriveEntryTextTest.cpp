#include <gtest/gtest.h>

#include <cstring>

#include "app/DriveEntryText.h"

namespace {

drive::DriveSlot Slot(int32_t kind, uint64_t capacity, const char* name) {
  drive::DriveSlot slot;
  std::memset(&slot, 0, sizeof slot);
  slot.hard.kind = kind;
  slot.hard.capacityBytes = capacity;
  std::strncpy(slot.hard.displayName, name, sizeof slot.hard.displayName - 1);
  return slot;
}

TEST(DriveEntryText, LabelsAndDecimalGigabytes) {
  struct Case {
    int32_t kind;
    uint64_t capacity;
    int number;
    const char* name;
    const char* text;
  };
  const Case cases[] = {
      {1, 500107862016ull, 0, "TV500GB0001", "[HDD0 - 500 GB]:TV500GB0001"},
      {1, 999999999ull, 1, "SMALL", "[HDD1 - 0 GB]:SMALL"},
      {1, 2000398934016ull, 2, "BIG", "[HDD2 - 2000 GB]:BIG"},
      {2, 0, 0, "ACMEOPT DVD-RW  DX-16A  ", "[ODD0]:  ACMEOPT DVD-RW  DX-16A"},  // padding trimmed
      {1, 0, 4, "ATA     PATH NONE       ", "[HDD4 - 0 GB]:ATA     PATH NONE"},
      {2, 0, 1, "        ", "[ODD1]:  "},
      {1, 18446744073709551615ull, 3, "", "[HDD3 - 18446744073 GB]:"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::DriveEntryText(Slot(c.kind, c.capacity, c.name), c.number), c.text);
}

TEST(DriveEntryText, LongNamesAreCutTo63Characters) {
  const std::string name(63, 'M');
  const std::string text = app::DriveEntryText(Slot(1, 500107862016ull, name.c_str()), 12);
  EXPECT_EQ(text.size(), 63u);
  EXPECT_EQ(text.substr(0, 17), "[HDD12 - 500 GB]:");

  // A name that fills its whole field without a terminator is read safely.
  drive::DriveSlot slot = Slot(2, 0, "");
  std::memset(slot.hard.displayName, 'X', sizeof slot.hard.displayName);
  EXPECT_EQ(app::DriveEntryText(slot, 0), "[ODD0]:  " + std::string(54, 'X'));
}

}  // namespace
