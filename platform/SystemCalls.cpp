#include "platform/SystemCalls.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<const SystemCalls*> installed{nullptr};

const SystemCalls& Current() {
  const SystemCalls* calls = installed.load(std::memory_order_acquire);
  return calls ? *calls : RealSystemCalls();
}
}  // namespace

void InstallSystemCalls(const SystemCalls* calls) {
  installed.store(calls, std::memory_order_release);
}

HANDLE CreateFileA(const char* path, DWORD access, DWORD share, DWORD disposition,
                   DWORD flagsAndAttributes) {
  return Current().createFile(path, access, share, disposition, flagsAndAttributes);
}

BOOL CloseHandle(HANDLE handle) { return Current().closeHandle(handle); }

BOOL DeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* bytesReturned) {
  return Current().deviceIoControl(handle, code, in, inSize, out, outSize, bytesReturned);
}

UINT GetWindowsDirectoryA(char* buffer, UINT size) {
  return Current().getWindowsDirectory(buffer, size);
}

BOOL GetVolumeNameForVolumeMountPointA(const char* mountPoint, char* volumeName, DWORD size) {
  return Current().getVolumeNameForVolumeMountPoint(mountPoint, volumeName, size);
}

UINT GetDriveTypeA(const char* rootPath) { return Current().getDriveType(rootPath); }

HANDLE FindFirstVolumeA(char* volumeName, DWORD size) {
  return Current().findFirstVolume(volumeName, size);
}

BOOL FindNextVolumeA(HANDLE find, char* volumeName, DWORD size) {
  return Current().findNextVolume(find, volumeName, size);
}

BOOL FindVolumeClose(HANDLE find) { return Current().findVolumeClose(find); }

DWORD GetLastError() { return Current().getLastError(); }

BOOL RegisterTask(const char* name, const char* xml) {
  const SystemCalls& calls = Current();
  return calls.registerTask ? calls.registerTask(name, xml) : FALSE;
}

BOOL DeleteTask(const char* name) {
  const SystemCalls& calls = Current();
  return calls.deleteTask ? calls.deleteTask(name) : FALSE;
}

}  // namespace platform
