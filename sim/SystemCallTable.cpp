// The bay as the platform's system calls: a table of plain functions that
// forward to the installed bay, and the installation helpers.
#include <atomic>

#include "platform/SystemCalls.h"
#include "sim/Bay.h"
#include "sim/LastError.h"

namespace sim {

namespace {

std::atomic<Bay*> installedBay{nullptr};

HANDLE BayCreateFile(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->OpenDevice(path, access, share, disposition, flags) : INVALID_HANDLE_VALUE;
}

BOOL BayCloseHandle(HANDLE handle) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->CloseDevice(handle) : FALSE;
}

BOOL BayDeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                        DWORD* returned) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  if (!bay) {
    if (returned) *returned = 0;
    return FALSE;
  }
  return bay->Control(handle, code, in, inSize, out, outSize, returned);
}

UINT BayGetWindowsDirectory(char* buffer, UINT size) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->WindowsDirectory(buffer, size) : 0;
}

BOOL BayGetVolumeName(const char* mountPoint, char* volumeName, DWORD size) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->VolumeNameForMountPoint(mountPoint, volumeName, size) : FALSE;
}

UINT BayGetDriveType(const char* rootPath) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->DriveTypeOf(rootPath) : DRIVE_NO_ROOT_DIR;
}

HANDLE BayFindFirstVolume(char* volumeName, DWORD size) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->FirstVolume(volumeName, size) : INVALID_HANDLE_VALUE;
}

BOOL BayFindNextVolume(HANDLE find, char* volumeName, DWORD size) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->NextVolume(find, volumeName, size) : FALSE;
}

BOOL BayFindVolumeClose(HANDLE find) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->CloseVolumeSearch(find) : FALSE;
}

DWORD BayGetLastError() { return LastSystemError(); }

BOOL BayRegisterTask(const char* name, const char* xml) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->RegisterTask(name, xml) : FALSE;
}

BOOL BayDeleteTask(const char* name) {
  Bay* bay = installedBay.load(std::memory_order_acquire);
  return bay ? bay->DeleteTask(name) : FALSE;
}

const platform::SystemCalls kBayCalls = {
    BayCreateFile,          BayCloseHandle,    BayDeviceIoControl,
    BayGetWindowsDirectory, BayGetVolumeName,  BayGetDriveType,
    BayFindFirstVolume,     BayFindNextVolume, BayFindVolumeClose,
    BayGetLastError,        BayRegisterTask,   BayDeleteTask,
};

}  // namespace

const platform::SystemCalls& BaySystemCalls() { return kBayCalls; }

void InstallBay(Bay* bay) {
  if (bay) {
    installedBay.store(bay, std::memory_order_release);
    platform::InstallSystemCalls(&kBayCalls);
  } else {
    platform::InstallSystemCalls(nullptr);
    installedBay.store(nullptr, std::memory_order_release);
  }
}

ScopedBayInstall::ScopedBayInstall(Bay& bay) { InstallBay(&bay); }
ScopedBayInstall::~ScopedBayInstall() { InstallBay(nullptr); }

}  // namespace sim
