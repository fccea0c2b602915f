#include "sim/Trace.h"

#include <cstdio>

namespace sim {

std::string FormatTraceLine(const TraceEntry& e) {
  return e.device + " " + e.code + " " + e.bytes + " len=" + std::to_string(e.length) +
         " dir=" + e.direction + " -> " + e.result;
}

std::string TaskTraceLine(const char* code, const char* name, const char* xml, BOOL ok,
                          DWORD error) {
  char result[24];
  if (ok)
    std::snprintf(result, sizeof result, "ok");
  else
    std::snprintf(result, sizeof result, "error=%08lX", static_cast<unsigned long>(error));
  return std::string("TASK ") + code + " \"" + (name ? name : "") + "\" " +
         (xml && *xml ? xml : "-") + " -> " + result;
}

std::string CallTraceLine(const char* name, const std::string& inputs, bool ok,
                          const std::string& outputs) {
  return std::string("CALL ") + (name ? name : "-") + inputs + " -> " + (ok ? "ok" : "fail") +
         outputs;
}

void TraceLog::Record(const std::string& line) {
  // One lock for memory and file, so that lines of two threads never mix and
  // appear in the same order in both.
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.push_back(line);
  if (lines_.size() > kMaxLinesInMemory) lines_.pop_front();
  if (!file_.empty()) {
    // Opened for each line: the file is complete whenever the program stops.
    // The line and its end go out in one write.
    if (std::FILE* out = std::fopen(file_.c_str(), "ab")) {
      const std::string whole = line + '\n';
      std::fwrite(whole.data(), 1, whole.size(), out);
      std::fflush(out);
      std::fclose(out);
    }
  }
}

std::vector<std::string> TraceLog::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::vector<std::string>(lines_.begin(), lines_.end());
}

void TraceLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.clear();
}

void TraceLog::SetFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  file_ = path;
}

}  // namespace sim
