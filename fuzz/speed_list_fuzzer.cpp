// A stored speed list from the fuzzer, read and written back: reading never
// yields a 0 or more than the table holds, the written text stays within its
// limit, and writing what was read and reading it again changes nothing.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "drive/SpeedListText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  drive::SpeedTable table = {};
  drive::ParseSpeedList(text, table);
  if (table.speedCount < 0 || table.speedCount > drive::kMaxSpeeds) std::abort();
  for (int i = 0; i < table.speedCount; ++i)
    if (table.speeds[i] == 0) std::abort();

  const std::string written = drive::FormatSpeedList(table);
  if (written.size() > drive::kSpeedListTextLimit) std::abort();
  drive::SpeedTable again = {};
  drive::ParseSpeedList(written, again);
  if (drive::FormatSpeedList(again) != written) std::abort();
  if (again.readByPerformance != table.readByPerformance ||
      again.setByStreaming != table.setByStreaming)
    std::abort();
  return 0;
}
