// The native Linux build has no real device back end (yet): without a bay or a
// test's table installed, there are no devices, no volumes and no Windows
// directory.
#include "platform/SystemCalls.h"

namespace platform {

namespace {
HANDLE NoCreateFile(const char*, DWORD, DWORD, DWORD, DWORD) { return INVALID_HANDLE_VALUE; }
BOOL NoCloseHandle(HANDLE) { return FALSE; }
BOOL NoDeviceIoControl(HANDLE, DWORD, void*, DWORD, void*, DWORD, DWORD* bytesReturned) {
  if (bytesReturned) *bytesReturned = 0;
  return FALSE;
}
UINT NoWindowsDirectory(char* buffer, UINT size) {
  if (buffer && size) buffer[0] = '\0';
  return 0;
}
BOOL NoVolumeName(const char*, char* volumeName, DWORD size) {
  if (volumeName && size) volumeName[0] = '\0';
  return FALSE;
}
UINT NoDriveType(const char*) { return DRIVE_NO_ROOT_DIR; }
HANDLE NoFindFirstVolume(char*, DWORD) { return INVALID_HANDLE_VALUE; }
BOOL NoFindNextVolume(HANDLE, char*, DWORD) { return FALSE; }
BOOL NoFindVolumeClose(HANDLE) { return FALSE; }
DWORD NoLastError() { return ERROR_INVALID_FUNCTION; }

const SystemCalls noSystem = {
    NoCreateFile,   NoCloseHandle,    NoDeviceIoControl, NoWindowsDirectory, NoVolumeName,
    NoDriveType,    NoFindFirstVolume, NoFindNextVolume, NoFindVolumeClose, NoLastError,
    nullptr,        nullptr,  // no Task Scheduler
};
}  // namespace

const SystemCalls& RealSystemCalls() { return noSystem; }

}  // namespace platform
