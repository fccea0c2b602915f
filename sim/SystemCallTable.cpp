// The bay as the platform's system calls: plain functions that forward to the
// installed bay for the calls it models, and pass every other call on to the
// real system, recorded in the bay's trace all the same.
#include <atomic>

#include "platform/SystemCalls.h"
#include "sim/Bay.h"
#include "sim/LastError.h"
#include "sim/Trace.h"

namespace sim {

namespace {

std::atomic<Bay*> installedBay{nullptr};

Bay* Installed() { return installedBay.load(std::memory_order_acquire); }

HANDLE BayCreateFile(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  Bay* bay = Installed();
  return bay ? bay->OpenDevice(path, access, share, disposition, flags) : INVALID_HANDLE_VALUE;
}

BOOL BayCloseHandle(HANDLE handle) {
  Bay* bay = Installed();
  return bay ? bay->CloseDevice(handle) : FALSE;
}

BOOL BayDeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                        DWORD* returned) {
  Bay* bay = Installed();
  if (!bay) {
    if (returned) *returned = 0;
    return FALSE;
  }
  return bay->Control(handle, code, in, inSize, out, outSize, returned);
}

UINT BayGetWindowsDirectory(char* buffer, UINT size) {
  Bay* bay = Installed();
  return bay ? bay->WindowsDirectory(buffer, size) : 0;
}

BOOL BayGetVolumeName(const char* mountPoint, char* volumeName, DWORD size) {
  Bay* bay = Installed();
  return bay ? bay->VolumeNameForMountPoint(mountPoint, volumeName, size) : FALSE;
}

UINT BayGetDriveType(const char* rootPath) {
  Bay* bay = Installed();
  return bay ? bay->DriveTypeOf(rootPath) : DRIVE_NO_ROOT_DIR;
}

HANDLE BayFindFirstVolume(char* volumeName, DWORD size) {
  Bay* bay = Installed();
  return bay ? bay->FirstVolume(volumeName, size) : INVALID_HANDLE_VALUE;
}

BOOL BayFindNextVolume(HANDLE find, char* volumeName, DWORD size) {
  Bay* bay = Installed();
  return bay ? bay->NextVolume(find, volumeName, size) : FALSE;
}

BOOL BayFindVolumeClose(HANDLE find) {
  Bay* bay = Installed();
  return bay ? bay->CloseVolumeSearch(find) : FALSE;
}

DWORD BayGetLastError() { return LastSystemError(); }

BOOL BayRegisterTask(const char* name, const char* xml) {
  Bay* bay = Installed();
  return bay ? bay->RegisterTask(name, xml) : FALSE;
}

BOOL BayDeleteTask(const char* name) {
  Bay* bay = Installed();
  return bay ? bay->DeleteTask(name) : FALSE;
}

BOOL BayGetSecurityText(const char* path, char* text, DWORD size) {
  Bay* bay = Installed();
  return bay ? bay->SecurityText(path, text, size) : FALSE;
}

LONGLONG BayGetClockSeconds() {
  Bay* bay = Installed();
  return bay ? bay->ClockSeconds() : 0;
}

platform::SystemCalls ModelledCalls() {
  platform::SystemCalls calls;
  calls.CreateFileA = BayCreateFile;
  calls.CloseHandle = BayCloseHandle;
  calls.DeviceIoControl = BayDeviceIoControl;
  calls.GetWindowsDirectoryA = BayGetWindowsDirectory;
  calls.GetVolumeNameForVolumeMountPointA = BayGetVolumeName;
  calls.GetDriveTypeA = BayGetDriveType;
  calls.FindFirstVolumeA = BayFindFirstVolume;
  calls.FindNextVolumeA = BayFindNextVolume;
  calls.FindVolumeClose = BayFindVolumeClose;
  calls.GetLastError = BayGetLastError;
  calls.RegisterTask = BayRegisterTask;
  calls.DeleteTask = BayDeleteTask;
  calls.GetSecurityText = BayGetSecurityText;
  calls.GetClockSeconds = BayGetClockSeconds;
  return calls;
}

// What the bay does not model goes to the real system; its line in the trace
// says which call it was and whether it succeeded, and a failure's reason is
// the thread's last error, as for the bay's own calls.
#define TORVANE_BAY_PASS(Result, Name, Parameters, Arguments, Failure, Real)             \
  Result Pass##Name Parameters {                                                         \
    const platform::SystemCalls& real = platform::RealSystemCalls();                     \
    const Result result = real.Name Arguments;                                           \
    const bool ok = !(result == Failure);                                                \
    if (Bay* bay = Installed())                                                          \
      bay->RecordPassedCall(CallTraceLineOf(#Name, ok, std::make_tuple Arguments));      \
    if (!ok) SetSystemError(real.GetLastError());                                        \
    return result;                                                                       \
  }
TORVANE_SYSTEM_CALLS(TORVANE_BAY_PASS)
#undef TORVANE_BAY_PASS

platform::SystemCalls PassedCalls() {
  platform::SystemCalls calls;
#define TORVANE_BAY_PASS_ENTRY(Result, Name, Parameters, Arguments, Failure, Real) \
  calls.Name = Pass##Name;
  TORVANE_SYSTEM_CALLS(TORVANE_BAY_PASS_ENTRY)
#undef TORVANE_BAY_PASS_ENTRY
  return calls;
}

}  // namespace

const platform::SystemCalls& BaySystemCalls() {
  static const platform::SystemCalls calls = platform::Overlay(ModelledCalls(), PassedCalls());
  return calls;
}

void InstallBay(Bay* bay) {
  if (bay) {
    installedBay.store(bay, std::memory_order_release);
    platform::InstallSystemCalls(&BaySystemCalls());
  } else {
    platform::InstallSystemCalls(nullptr);
    installedBay.store(nullptr, std::memory_order_release);
  }
}

ScopedBayInstall::ScopedBayInstall(Bay& bay) { InstallBay(&bay); }
ScopedBayInstall::~ScopedBayInstall() { InstallBay(nullptr); }

}  // namespace sim
