// The real system on Windows: each call passes straight to the Win32 API.
#include "platform/RealTaskScheduler.h"
#include "platform/SystemCalls.h"

namespace platform {

namespace {
HANDLE RealCreateFile(const char* path, DWORD access, DWORD share, DWORD disposition,
                      DWORD flagsAndAttributes) {
  return ::CreateFileA(path, access, share, nullptr, disposition, flagsAndAttributes, nullptr);
}
BOOL RealCloseHandle(HANDLE handle) { return ::CloseHandle(handle); }
BOOL RealDeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out,
                         DWORD outSize, DWORD* bytesReturned) {
  return ::DeviceIoControl(handle, code, in, inSize, out, outSize, bytesReturned, nullptr);
}
UINT RealGetWindowsDirectory(char* buffer, UINT size) {
  return ::GetWindowsDirectoryA(buffer, size);
}
BOOL RealGetVolumeName(const char* mountPoint, char* volumeName, DWORD size) {
  return ::GetVolumeNameForVolumeMountPointA(mountPoint, volumeName, size);
}
UINT RealGetDriveType(const char* rootPath) { return ::GetDriveTypeA(rootPath); }
HANDLE RealFindFirstVolume(char* volumeName, DWORD size) {
  return ::FindFirstVolumeA(volumeName, size);
}
BOOL RealFindNextVolume(HANDLE find, char* volumeName, DWORD size) {
  return ::FindNextVolumeA(find, volumeName, size);
}
BOOL RealFindVolumeClose(HANDLE find) { return ::FindVolumeClose(find); }
DWORD RealGetLastError() { return ::GetLastError(); }

const SystemCalls realCalls = {
    RealCreateFile,      RealCloseHandle,  RealDeviceIoControl, RealGetWindowsDirectory,
    RealGetVolumeName,   RealGetDriveType, RealFindFirstVolume, RealFindNextVolume,
    RealFindVolumeClose, RealGetLastError, RealRegisterTask,    RealDeleteTask,
};
}  // namespace

const SystemCalls& RealSystemCalls() { return realCalls; }

}  // namespace platform
