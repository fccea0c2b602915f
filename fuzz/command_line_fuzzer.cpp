// The command line from the fuzzer: whatever is typed, the request it gives
// names a level or timer only within its range (a timer within the range of
// the kind of drive it is for), and says which option was refused as a
// terminated text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  drive::CommandLineRequest request;
  std::memset(&request, 0xA5, sizeof request);
  app::ParseCommandLine(line.c_str(), request);

  const auto within = [](int32_t value, int32_t min, int32_t max) {
    return value == drive::kNotRequested || value == drive::kSettingOff ||
           (value >= min && value <= max);
  };
  constexpr int32_t kLongestWritten = (99 * 3600 + 59 * 60 + 59) * 10;  // 99:59:59
  if (!within(request.apmLevel, 1, 254) || !within(request.aamLevel, 128, 254) ||
      !within(request.idleTimer, 0, kLongestWritten) ||
      !within(request.standbyTimer, 0, kLongestWritten))
    std::abort();
  // Once the kind of drive is known, a timer it cannot hold is refused.
  for (const bool hardDrive : {false, true}) {
    drive::CommandLineRequest named = request;
    if (app::TimersFitDrive(named, hardDrive)) {
      if (hardDrive ? !within(named.standbyTimer, 0, 198000)
                    : !within(named.idleTimer, 0, 0xFFFF) || !within(named.standbyTimer, 0, 0xFFFF))
        std::abort();
    } else if (named.outcome != drive::OutcomeValueRefused ||
               std::memchr(named.refusedOption, 0, sizeof named.refusedOption) == nullptr) {
      std::abort();
    }
  }
  if (std::memchr(request.refusedOption, 0, sizeof request.refusedOption) == nullptr) std::abort();
  if ((request.refusedOption[0] != '\0') != (request.outcome == drive::OutcomeValueRefused))
    std::abort();
  if (request.requestedAction < drive::ActionNone || request.requestedAction > drive::ActionFast)
    std::abort();
  app::NumberAfter(line, "/DRIVE:HDD");
  return 0;
}
