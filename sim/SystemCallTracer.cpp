#include "sim/SystemCallTracer.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sim/Bay.h"
#include "sim/ControlCodes.h"

namespace sim {

namespace {

std::atomic<SystemCallTracer*> activeTracer{nullptr};

SystemCallTracer& Active() { return *activeTracer.load(std::memory_order_acquire); }

HANDLE TracedCreateFile(const char* path, DWORD access, DWORD share, DWORD disposition,
                        DWORD flags) {
  return Active().Open(path, access, share, disposition, flags);
}
BOOL TracedCloseHandle(HANDLE handle) { return Active().Close(handle); }
BOOL TracedDeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out,
                           DWORD outSize, DWORD* returned) {
  return Active().Control(handle, code, in, inSize, out, outSize, returned);
}
UINT TracedWindowsDirectory(char* buffer, UINT size) {
  return Active().WindowsDirectory(buffer, size);
}
BOOL TracedVolumeName(const char* mountPoint, char* volumeName, DWORD size) {
  return Active().VolumeName(mountPoint, volumeName, size);
}
UINT TracedDriveType(const char* rootPath) { return Active().DriveType(rootPath); }
HANDLE TracedFirstVolume(char* volumeName, DWORD size) {
  return Active().FirstVolume(volumeName, size);
}
BOOL TracedNextVolume(HANDLE find, char* volumeName, DWORD size) {
  return Active().NextVolume(find, volumeName, size);
}
BOOL TracedCloseVolumeSearch(HANDLE find) { return Active().CloseVolumeSearch(find); }
DWORD TracedLastError() { return Active().LastError(); }
BOOL TracedRegisterTask(const char* name, const char* xml) {
  return Active().RegisterTask(name, xml);
}
BOOL TracedDeleteTask(const char* name) { return Active().DeleteTask(name); }

// The calls whose lines say more than their name.
platform::SystemCalls DescribedCalls() {
  platform::SystemCalls calls;
  calls.CreateFileA = TracedCreateFile;
  calls.CloseHandle = TracedCloseHandle;
  calls.DeviceIoControl = TracedDeviceIoControl;
  calls.GetWindowsDirectoryA = TracedWindowsDirectory;
  calls.GetVolumeNameForVolumeMountPointA = TracedVolumeName;
  calls.GetDriveTypeA = TracedDriveType;
  calls.FindFirstVolumeA = TracedFirstVolume;
  calls.FindNextVolumeA = TracedNextVolume;
  calls.FindVolumeClose = TracedCloseVolumeSearch;
  calls.GetLastError = TracedLastError;
  calls.RegisterTask = TracedRegisterTask;
  calls.DeleteTask = TracedDeleteTask;
  return calls;
}

// Every other call: passed on, and named in the trace with its outcome.
#define TORVANE_TRACED_CALL(Result, Name, Parameters, Arguments, Failure, Real) \
  Result Named##Name Parameters {                                               \
    SystemCallTracer& tracer = Active();                                        \
    const Result result = tracer.Next().Name Arguments;                         \
    tracer.Log().Record(                                                        \
        CallTraceLineOf(#Name, !(result == Failure), std::make_tuple Arguments)); \
    return result;                                                              \
  }
TORVANE_SYSTEM_CALLS(TORVANE_TRACED_CALL)
#undef TORVANE_TRACED_CALL

platform::SystemCalls NamedCalls() {
  platform::SystemCalls calls;
#define TORVANE_TRACED_ENTRY(Result, Name, Parameters, Arguments, Failure, Real) \
  calls.Name = Named##Name;
  TORVANE_SYSTEM_CALLS(TORVANE_TRACED_ENTRY)
#undef TORVANE_TRACED_ENTRY
  return calls;
}

const char kDevicePrefix[] = "\\\\.\\";  // \\.\ before device names

// The device as the trace names it: the path without a leading \\.\.
std::string TraceName(const char* path) {
  std::string name = path ? path : "";
  if (name.compare(0, sizeof kDevicePrefix - 1, kDevicePrefix) == 0)
    name.erase(0, sizeof kDevicePrefix - 1);
  return name.empty() ? "-" : name;
}

const char* OkOrFail(BOOL ok) { return ok ? "ok" : "fail"; }

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

SystemCallTracer::SystemCallTracer(const platform::SystemCalls& next)
    : next_(platform::Overlay(next, platform::FailingCalls())) {}

SystemCallTracer::~SystemCallTracer() {
  if (activeTracer.load() == this) Uninstall();
}

const platform::SystemCalls& SystemCallTracer::TracedCalls() {
  static const platform::SystemCalls calls = platform::Overlay(DescribedCalls(), NamedCalls());
  return calls;
}

void SystemCallTracer::Install() {
  activeTracer.store(this, std::memory_order_release);
  platform::InstallSystemCalls(&TracedCalls());
}

void SystemCallTracer::Uninstall() {
  platform::InstallSystemCalls(nullptr);
  activeTracer.store(nullptr, std::memory_order_release);
}

std::string SystemCallTracer::DeviceOf(HANDLE handle) {
  std::lock_guard<std::mutex> lock(namesMutex_);
  auto found = names_.find(handle);
  return found == names_.end() ? "-" : found->second;
}

HANDLE SystemCallTracer::Open(const char* path, DWORD access, DWORD share, DWORD disposition,
                              DWORD flags) {
  const HANDLE handle = next_.CreateFileA(path, access, share, disposition, flags);
  TraceEntry entry;
  entry.code = "OPEN";
  entry.device = TraceName(path);
  entry.result = OkOrFail(handle != INVALID_HANDLE_VALUE);
  if (handle != INVALID_HANDLE_VALUE) {
    std::lock_guard<std::mutex> lock(namesMutex_);
    names_[handle] = entry.device;
  }
  log_.Record(FormatTraceLine(entry));
  return handle;
}

BOOL SystemCallTracer::Close(HANDLE handle) {
  TraceEntry entry;
  entry.code = "CLOSE";
  entry.device = DeviceOf(handle);
  const BOOL ok = next_.CloseHandle(handle);
  if (ok) {
    std::lock_guard<std::mutex> lock(namesMutex_);
    names_.erase(handle);
  }
  entry.result = OkOrFail(ok);
  log_.Record(FormatTraceLine(entry));
  return ok;
}

BOOL SystemCallTracer::Control(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out,
                               DWORD outSize, DWORD* returned) {
  TraceEntry entry;
  DescribeControl(code, in, inSize, outSize, &entry);  // as handed over, before the call
  entry.device = DeviceOf(handle);
  const BOOL ok = next_.DeviceIoControl(handle, code, in, inSize, out, outSize, returned);
  entry.result = OkOrFail(ok);
  // A delivered command block: the status the device answered.
  if (ok && code == IOCTL_SCSI_PASS_THROUGH_DIRECT && out &&
      outSize >= sizeof(SCSI_PASS_THROUGH_DIRECT)) {
    SCSI_PASS_THROUGH_DIRECT record;
    std::memcpy(&record, out, sizeof record);
    char status[16];
    std::snprintf(status, sizeof status, "status=%02X", record.ScsiStatus);
    entry.result = status;
  }
  log_.Record(FormatTraceLine(entry));
  return ok;
}

UINT SystemCallTracer::WindowsDirectory(char* buffer, UINT size) {
  const UINT length = next_.GetWindowsDirectoryA(buffer, size);
  TraceEntry entry;
  entry.code = "WINDIR";
  entry.result = OkOrFail(length != 0 && length < size);
  log_.Record(FormatTraceLine(entry));
  return length;
}

BOOL SystemCallTracer::VolumeName(const char* mountPoint, char* volumeName, DWORD size) {
  const BOOL ok = next_.GetVolumeNameForVolumeMountPointA(mountPoint, volumeName, size);
  TraceEntry entry;
  entry.code = "MOUNTPOINT";
  entry.device = mountPoint && *mountPoint ? mountPoint : "-";
  entry.result = OkOrFail(ok);
  log_.Record(FormatTraceLine(entry));
  return ok;
}

UINT SystemCallTracer::DriveType(const char* rootPath) {
  const UINT type = next_.GetDriveTypeA(rootPath);
  TraceEntry entry;
  entry.code = "DRIVETYPE";
  entry.device = rootPath && *rootPath ? rootPath : "-";
  entry.result = "type=" + std::to_string(type);
  log_.Record(FormatTraceLine(entry));
  return type;
}

HANDLE SystemCallTracer::FirstVolume(char* volumeName, DWORD size) {
  const HANDLE find = next_.FindFirstVolumeA(volumeName, size);
  TraceEntry entry;
  entry.code = "VOLUME_FIRST";
  const bool ok = find != INVALID_HANDLE_VALUE;
  if (ok && volumeName) entry.device = volumeName;
  entry.result = OkOrFail(ok);
  log_.Record(FormatTraceLine(entry));
  return find;
}

BOOL SystemCallTracer::NextVolume(HANDLE find, char* volumeName, DWORD size) {
  const BOOL ok = next_.FindNextVolumeA(find, volumeName, size);
  TraceEntry entry;
  entry.code = "VOLUME_NEXT";
  if (ok && volumeName) entry.device = volumeName;
  entry.result = OkOrFail(ok);
  log_.Record(FormatTraceLine(entry));
  return ok;
}

BOOL SystemCallTracer::CloseVolumeSearch(HANDLE find) {
  const BOOL ok = next_.FindVolumeClose(find);
  TraceEntry entry;
  entry.code = "VOLUME_CLOSE";
  entry.result = OkOrFail(ok);
  log_.Record(FormatTraceLine(entry));
  return ok;
}

DWORD SystemCallTracer::LastError() { return next_.GetLastError(); }

BOOL SystemCallTracer::RegisterTask(const char* name, const char* xml) {
  const BOOL ok = next_.RegisterTask(name, xml);
  log_.Record(TaskTraceLine("REGISTER", name, xml, ok, ok ? 0 : next_.GetLastError()));
  return ok;
}

BOOL SystemCallTracer::DeleteTask(const char* name) {
  const BOOL ok = next_.DeleteTask(name);
  log_.Record(TaskTraceLine("DELETE", name, nullptr, ok, ok ? 0 : next_.GetLastError()));
  return ok;
}

namespace {
// The bay of the run, for the state it leaves behind.
Bay* runBay = nullptr;

void WriteBayState() {
  const std::string path = Environment("TORVANE_SIMULATE_STATE");
  if (runBay == nullptr || path.empty()) return;
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    const std::string text = runBay->StateText();
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
}
}  // namespace

bool InstallFromEnvironment(std::string* error) {
  std::string traceFile = Environment("TORVANE_TRACE");
  if (traceFile.empty()) traceFile = Environment("TORVANE_SIMULATE_TRACE");
  const std::string bayFile = Environment("TORVANE_SIMULATE");
  if (!bayFile.empty()) {
    // Lives until the process ends: device handles stay open for the whole run.
    static Bay* bay = new Bay;
    if (!bay->LoadFile(bayFile, error)) return false;
    if (!traceFile.empty()) bay->SetTraceFile(traceFile);
    InstallBay(bay);
    // What the drives were left in, written when the program ends.
    if (runBay == nullptr && !Environment("TORVANE_SIMULATE_STATE").empty())
      std::atexit(WriteBayState);
    runBay = bay;
    return true;
  }
  if (!traceFile.empty()) {
    static SystemCallTracer* tracer = new SystemCallTracer(platform::RealSystemCalls());
    tracer->Log().SetFile(traceFile);
    tracer->Install();
  }
  return true;
}

}  // namespace sim
