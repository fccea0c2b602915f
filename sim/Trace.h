// The command trace: one line for every call that reaches the bay,
//   DEVICE CODE BYTES len=N dir=D -> RESULT
// kept in memory and, when a file is named, appended to it line by line.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <tuple>
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

// Any other call, with the texts it was given and, when it succeeded, those
// it filled in (a char* is a buffer the call fills):
//   CALL GetSecurityText "C:\Tools\Torvane.exe" -> ok "O:BAD:(A;;FA;;;SY)"
std::string CallTraceLine(const char* name, const std::string& inputs, bool ok,
                          const std::string& outputs);

namespace trace_text {
inline void Quote(std::string& line, const char* text) {
  line += " \"";
  line += text ? text : "";
  line += '"';
}
template <class T>
void Input(std::string&, const T&) {}
inline void Input(std::string& line, const char* text) { Quote(line, text); }
inline void Input(std::string&, char*) {}
template <class T>
void Output(std::string&, const T&) {}
inline void Output(std::string& line, char* text) { Quote(line, text); }
}  // namespace trace_text

template <class... Arguments>
std::string CallTraceLine(const char* name, bool ok, const Arguments&... arguments) {
  std::string inputs, outputs;
  (trace_text::Input(inputs, arguments), ...);
  if (ok) (trace_text::Output(outputs, arguments), ...);
  return CallTraceLine(name, inputs, ok, outputs);
}

// The same for a call's arguments gathered in a tuple (std::make_tuple of
// them, as the list of calls gives them).
template <class... Arguments>
std::string CallTraceLineOf(const char* name, bool ok, const std::tuple<Arguments...>& arguments) {
  return std::apply([&](const Arguments&... each) { return CallTraceLine(name, ok, each...); },
                    arguments);
}

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
