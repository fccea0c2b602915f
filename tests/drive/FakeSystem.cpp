#include "FakeSystem.h"

#include <cstring>

namespace fake {

namespace {
System* current = nullptr;
size_t nextVolume = 0;

HANDLE Open(const char* path, DWORD, DWORD, DWORD, DWORD) {
  current->opened.push_back(path);
  return current->open ? current->open(path) : INVALID_HANDLE_VALUE;
}
BOOL Close(HANDLE) {
  ++current->closed;
  return TRUE;
}
BOOL IoControl(HANDLE h, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
               DWORD* returned) {
  IoCall call{code, {}, outSize};
  if (in) call.in.assign(static_cast<uint8_t*>(in), static_cast<uint8_t*>(in) + inSize);
  current->calls.push_back(call);
  *returned = 0;
  return current->ioControl ? current->ioControl(h, code, in, inSize, out, outSize, returned)
                            : FALSE;
}
UINT WindowsDirectory(char* buffer, UINT size) {
  std::strncpy(buffer, current->windowsDirectory.c_str(), size);
  buffer[size - 1] = '\0';
  return static_cast<UINT>(current->windowsDirectory.size());
}
BOOL VolumeName(const char* root, char* name, DWORD size) {
  const std::string& mount = current->mountNames[root[0] - 'A'];
  if (mount.empty()) return FALSE;
  std::strncpy(name, mount.c_str(), size);
  return TRUE;
}
UINT DriveType(const char* root) { return current->driveTypes[root[0] - 'A']; }
BOOL NextVolumeInto(char* name, DWORD size) {
  if (nextVolume >= current->volumes.size()) return FALSE;
  std::strncpy(name, current->volumes[nextVolume++].c_str(), size);
  return TRUE;
}
HANDLE FirstVolume(char* name, DWORD size) {
  nextVolume = 0;
  return NextVolumeInto(name, size) ? reinterpret_cast<HANDLE>(0x7000) : INVALID_HANDLE_VALUE;
}
BOOL NextVolume(HANDLE, char* name, DWORD size) { return NextVolumeInto(name, size); }
BOOL CloseVolumeFind(HANDLE) { return TRUE; }
DWORD LastError() { return current->lastError; }

platform::SystemCalls MakeTable() {
  platform::SystemCalls calls;
  calls.CreateFileA = Open;
  calls.CloseHandle = Close;
  calls.DeviceIoControl = IoControl;
  calls.GetWindowsDirectoryA = WindowsDirectory;
  calls.GetVolumeNameForVolumeMountPointA = VolumeName;
  calls.GetDriveTypeA = DriveType;
  calls.FindFirstVolumeA = FirstVolume;
  calls.FindNextVolumeA = NextVolume;
  calls.FindVolumeClose = CloseVolumeFind;
  calls.GetLastError = LastError;
  return calls;
}
const platform::SystemCalls table = MakeTable();
}  // namespace

ScopedFakeSystem::ScopedFakeSystem(System& system) {
  current = &system;
  platform::InstallSystemCalls(&table);
}

ScopedFakeSystem::~ScopedFakeSystem() {
  platform::InstallSystemCalls(nullptr);
  current = nullptr;
}

}  // namespace fake
