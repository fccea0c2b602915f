#include "app/CommandLine.h"

#include <cctype>
#include <cstring>
#include <limits>

namespace app {

int32_t NumberAfter(const std::string& text, const char* option) {
  const size_t found = text.find(option);
  if (found == std::string::npos) return -1;
  size_t at = found + std::strlen(option);
  if (at >= text.size()) return -1;

  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int64_t value = 0;
  const int64_t limit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > limit) value = limit;
  }
  if (negative) return static_cast<int32_t>(-value);  // down to INT32_MIN
  return static_cast<int32_t>(value < limit ? value : limit - 1);
}

void ParseCommandLine(const char* commandLine, drive::CommandLineRequest& request) {
  std::string line = commandLine ? commandLine : "";
  for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const auto has = [&line](const char* option) { return line.find(option) != std::string::npos; };

  request.quitAfterAction = 0;
  request.requestedDriveNumber = -1;
  request.requestedDriveKind = 0;
  request.requestedAction = drive::ActionNone;

  request.requestedDriveNumber = NumberAfter(line, "/DRIVE:HDD");
  if (request.requestedDriveNumber != -1) {
    request.requestedDriveKind = drive::KindHardDriveRequest;
  } else {
    request.requestedDriveNumber = NumberAfter(line, "/DRIVE:ODD");
    if (request.requestedDriveNumber != -1) request.requestedDriveKind = drive::KindOpticalRequest;
  }
  // Later tests win: /FAST over /SILENT over /STANDBY, whatever their order.
  if (has("/STANDBY")) request.requestedAction = drive::ActionStandby;
  if (has("/SILENT")) request.requestedAction = drive::ActionSilent;
  if (has("/FAST")) request.requestedAction = drive::ActionFast;
  if (has("/QUIT")) request.quitAfterAction = 1;
}

}  // namespace app
