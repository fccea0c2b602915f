// The simulated drive bay: disks, bridges, optical drives and volumes of a
// simulated Windows machine that answer the program's system calls the way real devices and
// drivers do. A bay is described by a bay file (docs/simulated-bay.md) and
// installed as the platform's system calls; every call that reaches it is
// recorded in its trace.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/PlatformTypes.h"
#include "platform/SystemCalls.h"

namespace sim {

class Bay {
 public:
  Bay();
  ~Bay();
  Bay(const Bay&) = delete;
  Bay& operator=(const Bay&) = delete;

  // Replaces the machine with the one described; open handles are dropped.
  // On error returns false with "line N: ..." (LoadFile: "PATH: line N: ...")
  // and keeps the machine it had.
  bool LoadText(const std::string& text, std::string* error);
  bool LoadFile(const std::string& path, std::string* error);

  // Trace lines recorded so far (always kept in memory).
  std::vector<std::string> Trace() const;
  void ClearTrace();
  // Also appends each new line to this file ("" stops it).
  void SetTraceFile(const std::string& path);

  // State of a disk, by physical drive number, for tests and demos.
  bool HasDisk(int physicalDrive) const;
  uint8_t DiskPowerMode(int physicalDrive) const;  // 00h standby, 80h idle, FFh active
  void SetDiskPowerMode(int physicalDrive, uint8_t mode);
  struct FeatureState {
    bool supported;
    bool enabled;
    int level;  // 0 while disabled
  };
  FeatureState DiskApm(int physicalDrive) const;
  FeatureState DiskAam(int physicalDrive) const;
  // Device handles and volume searches opened through the bay and not yet closed.
  int OpenHandleCount() const;

  // State of an optical drive, by drive letter (either case), for tests and
  // demos.
  bool HasOptical(char letter) const;
  // Changes the disc as a user does while the program runs: `medium` is
  // "none" (the disc taken out) or a medium as the bay file names it
  // ("dvd-rom", "cd-rw", "0x0050", ...); lastLba -1 gives the medium's usual
  // size. The tray is closed afterwards. False, with nothing changed, when
  // the letter has no optical drive, the medium is unknown or the drive
  // cannot read its kind.
  bool SetOpticalMedium(char letter, const std::string& medium, int64_t lastLba = -1);
  uint16_t OpticalProfile(char letter) const;  // current profile; 0 without a medium
  bool OpticalTrayOpen(char letter) const;
  // The speed the drive reads at now, KB/s: 0 without a medium, -1 when the
  // letter has no optical drive. Not what the drive reports, which the bay
  // file can make differ.
  int32_t OpticalCurrentSpeed(char letter) const;
  enum class PowerCondition { kNoDrive, kActive, kIdle, kStandby };
  PowerCondition OpticalPowerCondition(char letter) const;
  // The power condition page's current values (all zero without a drive).
  struct PowerTimers {
    bool idle;              // IDLE bit
    bool standby;           // STANDBY bit
    uint32_t idleTimer;     // 100 ms units
    uint32_t standbyTimer;  // 100 ms units
  };
  PowerTimers OpticalTimers(char letter) const;
  // SET CD SPEED and SET STREAMING commands the drive received, whatever it
  // answered; -1 without a drive.
  int OpticalSpeedCommands(char letter) const;
  // The parameter list of the last data-out command the drive received
  // (MODE SELECT(10), SET STREAMING), as far as the drive took it; empty
  // before the first one.
  std::vector<uint8_t> LastParameterData(char letter) const;

  // The state of every device as text, one line each, for a run judged from
  // outside the program:
  //   disk 1 power=standby apm=254 aam=disabled timer=1200s smart=4:1234,193:56789
  //   optical E profile=001B speed=2770 power=active idle=on:3000 standby=on:6000
  std::string StateText() const;

  // The system calls, as the installed table forwards them.
  HANDLE OpenDevice(const char* path, DWORD access, DWORD share, DWORD disposition,
                    DWORD flagsAndAttributes);
  BOOL CloseDevice(HANDLE handle);
  BOOL Control(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
               DWORD* bytesReturned);
  UINT WindowsDirectory(char* buffer, UINT size);
  BOOL VolumeNameForMountPoint(const char* mountPoint, char* volumeName, DWORD size);
  UINT DriveTypeOf(const char* rootPath);
  HANDLE FirstVolume(char* volumeName, DWORD size);
  BOOL NextVolume(HANDLE find, char* volumeName, DWORD size);
  BOOL CloseVolumeSearch(HANDLE find);
  // The bay has drives, not a Task Scheduler: tasks go to the real system's,
  // and the trace records them.
  BOOL RegisterTask(const char* name, const char* xml);
  BOOL DeleteTask(const char* name);
  // The machine's clock ([system] clock, running time_scale times faster).
  LONGLONG ClockSeconds();
  // The descriptor of a [file] of the bay file; any other path's comes from
  // the real system.
  BOOL SecurityText(const char* path, char* text, DWORD size);
  // A call the bay does not model, passed on to the real system: its line.
  void RecordPassedCall(const std::string& line);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Installs the bay as the platform's system calls for the life of the object.
class ScopedBayInstall {
 public:
  explicit ScopedBayInstall(Bay& bay);
  ~ScopedBayInstall();
  ScopedBayInstall(const ScopedBayInstall&) = delete;
  ScopedBayInstall& operator=(const ScopedBayInstall&) = delete;
};

// Installs `bay` as the platform's system calls; nullptr restores the real system.
void InstallBay(Bay* bay);

// The table that forwards to the installed bay (for a tracer over the bay).
const platform::SystemCalls& BaySystemCalls();

}  // namespace sim
