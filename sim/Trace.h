// The command trace: one line for every call that reaches the bay,
//   DEVICE CODE BYTES len=N dir=D -> RESULT
// kept in memory and, when a file is named, appended to it line by line.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

namespace sim {

struct TraceEntry {
  std::string device = "-";
  std::string code;
  std::string bytes = "-";
  uint32_t length = 0;
  std::string direction = "none";
  std::string result;
};

std::string FormatTraceLine(const TraceEntry& entry);

// A call to the Task Scheduler: TASK REGISTER "name" <xml> -> ok, or
// TASK DELETE "name" - -> error=80070002 (the reason, in hexadecimal).
std::string TaskTraceLine(const char* code, const char* name, const char* xml, BOOL ok,
                          DWORD error);

// Any other call: - Name - len=0 dir=none -> ok (or fail).
std::string CallTraceLine(const char* name, bool ok);

class TraceLog {
 public:
  // Lines beyond this many are dropped from memory, oldest first; the file
  // keeps them all.
  static constexpr size_t kMaxLinesInMemory = 100000;

  void Record(const std::string& line);
  std::vector<std::string> Lines() const;
  void Clear();
  void SetFile(const std::string& path);

 private:
  mutable std::mutex mutex_;
  std::deque<std::string> lines_;
  std::string file_;
};

}  // namespace sim
