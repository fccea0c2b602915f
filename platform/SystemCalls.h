// The seam between the drive layer and the operating system.
//
// Every device, volume and Windows-directory call of drive/ goes through the
// functions below. They pass to the installed table of system calls: the real
// system by default, or the simulated drive bay (sim/) or a test's own table
// once installed. Without an installed table, the native Linux build has no
// devices at all: every open fails.
#pragma once

#include "platform/PlatformTypes.h"

namespace platform {

struct SystemCalls {
  HANDLE (*createFile)(const char* path, DWORD access, DWORD share, DWORD disposition,
                       DWORD flagsAndAttributes);
  BOOL (*closeHandle)(HANDLE handle);
  BOOL (*deviceIoControl)(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out,
                          DWORD outSize, DWORD* bytesReturned);
  UINT (*getWindowsDirectory)(char* buffer, UINT size);
  BOOL (*getVolumeNameForVolumeMountPoint)(const char* mountPoint, char* volumeName, DWORD size);
  UINT (*getDriveType)(const char* rootPath);
  HANDLE (*findFirstVolume)(char* volumeName, DWORD size);
  BOOL (*findNextVolume)(HANDLE find, char* volumeName, DWORD size);
  BOOL (*findVolumeClose)(HANDLE find);
  // The calling thread's last error, as the calls above left it.
  DWORD (*getLastError)();
  // The Task Scheduler: registers the task `name` from its XML definition
  // (replacing one of that name), or removes it. FALSE when it could not;
  // the last error then holds the reason (an HRESULT). A table without them
  // has no scheduler: both fail.
  BOOL (*registerTask)(const char* name, const char* xml);
  BOOL (*deleteTask)(const char* name);
};

// Installs a table (kept by pointer, must outlive its use); null restores the
// real system. Safe to call while other threads are between calls.
void InstallSystemCalls(const SystemCalls* calls);
const SystemCalls& RealSystemCalls();

// The calls themselves, with the platform's argument order. Security
// attributes, template files and overlapped structures are never used.
HANDLE CreateFileA(const char* path, DWORD access, DWORD share, DWORD disposition,
                   DWORD flagsAndAttributes);
BOOL CloseHandle(HANDLE handle);
BOOL DeviceIoControl(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* bytesReturned);
UINT GetWindowsDirectoryA(char* buffer, UINT size);
BOOL GetVolumeNameForVolumeMountPointA(const char* mountPoint, char* volumeName, DWORD size);
UINT GetDriveTypeA(const char* rootPath);
HANDLE FindFirstVolumeA(char* volumeName, DWORD size);
BOOL FindNextVolumeA(HANDLE find, char* volumeName, DWORD size);
BOOL FindVolumeClose(HANDLE find);
DWORD GetLastError();
BOOL RegisterTask(const char* name, const char* xml);
BOOL DeleteTask(const char* name);

}  // namespace platform
