// Every call the program makes to the operating system through the seam, in
// one list. A new call is one entry here: the seam's table, the function that
// calls through it, the real system's implementation and the trace's default
// line all come from it. The bay and the tracer model a call of their own
// only where they need to; any other passes on to the real system.
//
//   X(result, Name, (parameters), (arguments), result on failure, the real call)
//
// The real call is compiled into the Windows build's table only. A table that
// lacks an entry answers it with the failure result.
#pragma once

// clang-format off
#define TORVANE_SYSTEM_CALLS(X)                                                              \
  X(HANDLE, CreateFileA,                                                                     \
    (const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags),          \
    (path, access, share, disposition, flags), INVALID_HANDLE_VALUE,                         \
    ::CreateFileA(path, access, share, nullptr, disposition, flags, nullptr))                \
  X(BOOL, CloseHandle, (HANDLE handle), (handle), FALSE, ::CloseHandle(handle))              \
  X(BOOL, DeviceIoControl,                                                                   \
    (HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,            \
     DWORD* returned),                                                                       \
    (handle, code, in, inSize, out, outSize, returned), FALSE,                               \
    ::DeviceIoControl(handle, code, in, inSize, out, outSize, returned, nullptr))            \
  X(UINT, GetWindowsDirectoryA, (char* buffer, UINT size), (buffer, size), 0,                \
    ::GetWindowsDirectoryA(buffer, size))                                                    \
  X(BOOL, GetVolumeNameForVolumeMountPointA,                                                 \
    (const char* mountPoint, char* volumeName, DWORD size), (mountPoint, volumeName, size),   \
    FALSE, ::GetVolumeNameForVolumeMountPointA(mountPoint, volumeName, size))                \
  X(UINT, GetDriveTypeA, (const char* root), (root), DRIVE_NO_ROOT_DIR,                      \
    ::GetDriveTypeA(root))                                                                   \
  X(HANDLE, FindFirstVolumeA, (char* volumeName, DWORD size), (volumeName, size),            \
    INVALID_HANDLE_VALUE, ::FindFirstVolumeA(volumeName, size))                              \
  X(BOOL, FindNextVolumeA, (HANDLE find, char* volumeName, DWORD size),                      \
    (find, volumeName, size), FALSE, ::FindNextVolumeA(find, volumeName, size))              \
  X(BOOL, FindVolumeClose, (HANDLE find), (find), FALSE, ::FindVolumeClose(find))            \
  /* The calling thread's last error, as the calls above left it. */                         \
  X(DWORD, GetLastError, (), (), ERROR_INVALID_FUNCTION, ::GetLastError())                   \
  /* The Task Scheduler: registers the task `name` from its XML definition   */              \
  /* (UTF-8; replacing one of that name) to run as the system, or removes   */              \
  /* it; on failure the last error holds the reason (an HRESULT).           */              \
  X(BOOL, RegisterTask, (const char* name, const char* xml), (name, xml), FALSE,             \
    RealRegisterTask(name, xml))                                                             \
  X(BOOL, DeleteTask, (const char* name), (name), FALSE, RealDeleteTask(name))               \
  /* The program's own path, in UTF-8: its length, 0 when it does not fit. */                \
  X(DWORD, GetProgramPath, (char* path, DWORD size), (path, size), 0,                        \
    RealProgramPath(path, size))                                                             \
  /* The owner and access control list of a file or folder (UTF-8 path), as */              \
  /* the platform writes a security descriptor (SDDL).                      */              \
  X(BOOL, GetSecurityText, (const char* path, char* text, DWORD size), (path, text, size),   \
    FALSE, RealSecurityText(path, text, size))                                               \
  /* The local time: seconds since 1970-01-01 00:00 of the local calendar. */                \
  X(LONGLONG, GetClockSeconds, (), (), 0, RealClockSeconds())
// clang-format on
