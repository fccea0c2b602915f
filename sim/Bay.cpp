#include "sim/Bay.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <thread>

#include "platform/Calendar.h"
#include "sim/BayFile.h"
#include "sim/ControlCodes.h"
#include "sim/LastError.h"
#include "sim/OpticalDrive.h"
#include "sim/OpticalMedia.h"
#include "sim/ScsiDisk.h"
#include "sim/Trace.h"
#include "sim/Volumes.h"

namespace sim {

namespace {

const char kDevicePrefix[] = "\\\\.\\";         // \\.\ before device names
const char kVolumePrefix[] = "\\\\?\\Volume{";  // \\?\Volume{
const char kPhysicalDrive[] = "physicaldrive";

bool StartsWith(const std::string& text, const std::string& prefix, bool ignoreCase) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i];
    char b = prefix[i];
    if (ignoreCase) {
      a = static_cast<char>(std::tolower(static_cast<unsigned char>(a)));
      b = static_cast<char>(std::tolower(static_cast<unsigned char>(b)));
    }
    if (a != b) return false;
  }
  return true;
}

// "PhysicalDriveN" (any case) with N in plain decimal, as the object manager names disks.
bool ParsePhysicalDrive(const std::string& name, int* number) {
  if (!StartsWith(name, kPhysicalDrive, true)) return false;
  std::string digits = name.substr(sizeof kPhysicalDrive - 1);
  if (digits.empty() || digits.size() > 4 || (digits.size() > 1 && digits[0] == '0')) return false;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  *number = value;
  return true;
}

std::string StatusText(int status) {
  char text[16];
  std::snprintf(text, sizeof text, "status=%02X", static_cast<unsigned>(status) & 0xFF);
  return text;
}

// The real local time, as the seam's clock counts it.
int64_t LocalClockNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local = {};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return platform::DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * 86400 +
         local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

bool CanOpenLetter(const VolumeConfig& volume) {
  // Fixed, removable and RAM disk volumes; a network drive has no device here.
  return volume.driveType == DRIVE_FIXED || volume.driveType == DRIVE_REMOVABLE ||
         volume.driveType == DRIVE_RAMDISK;
}

}  // namespace

struct Bay::State {
  enum class Kind { kDisk, kOptical, kVolume, kSearch };
  struct Handle {
    Kind kind;
    int disk = -1;          // kDisk
    char letter = 0;        // kOptical, in upper case
    size_t volume = 0;      // kVolume: index into config.volumes
    size_t nextVolume = 0;  // kSearch
    std::string device;     // as the trace names it
  };

  mutable std::mutex mutex;
  BayConfig config;
  // The machine's clock: its reading when loaded, running time_scale times
  // faster than the real one from then on.
  int64_t clockAtLoad = 0;
  std::chrono::steady_clock::time_point loadedAt;
  std::map<int, std::unique_ptr<SimDisk>> disks;
  std::map<char, std::unique_ptr<SimOptical>> opticals;  // by upper-case letter
  std::map<uintptr_t, Handle> handles;
  uintptr_t nextHandle = 0x1000;
  TraceLog trace;

  HANDLE AddHandle(const Handle& handle) {
    uintptr_t value = nextHandle;
    nextHandle += 4;  // distinct values, never reused, as a leak shows up then
    handles[value] = handle;
    return reinterpret_cast<HANDLE>(value);
  }

  Handle* FindHandle(HANDLE handle) {
    auto found = handles.find(reinterpret_cast<uintptr_t>(handle));
    return found == handles.end() ? nullptr : &found->second;
  }

  SimDisk* Disk(int number) {
    auto found = disks.find(number);
    return found == disks.end() ? nullptr : found->second.get();
  }
  const SimDisk* Disk(int number) const {
    auto found = disks.find(number);
    return found == disks.end() ? nullptr : found->second.get();
  }

  // A file system looks at a volume the first time it is opened to read or
  // write: it reads the volume's disks, which spin up for it.
  void Mount(size_t volume) {
    VolumeConfig& v = config.volumes[volume];
    if (v.mounted) return;
    v.mounted = true;
    for (const ExtentConfig& extent : v.extents)
      if (SimDisk* disk = Disk(static_cast<int>(extent.disk))) disk->ata().WakeUp();
  }

  // The one disk a volume handle passes disk requests to: Windows hands them
  // down only for a volume that lies on a single disk.
  SimDisk* DiskUnder(const VolumeConfig& volume) {
    if (volume.extents.size() != 1) return nullptr;
    return Disk(static_cast<int>(volume.extents[0].disk));
  }

  SimOptical* Optical(char letter) {
    auto found = opticals.find(UpperLetter(letter));
    return found == opticals.end() ? nullptr : found->second.get();
  }
  const SimOptical* Optical(char letter) const {
    auto found = opticals.find(UpperLetter(letter));
    return found == opticals.end() ? nullptr : found->second.get();
  }

  // The optical drive behind a CD-ROM volume: Windows' CD-ROM driver is the
  // volume's device, so requests on the volume reach the drive.
  SimOptical* OpticalUnder(const VolumeConfig& volume) {
    if (volume.driveType != DRIVE_CDROM || !volume.letter) return nullptr;
    return Optical(volume.letter);
  }

  // The disk a request on this handle reaches, if any.
  SimDisk* DiskBehind(const Handle& handle) {
    if (handle.kind == Kind::kDisk) return Disk(handle.disk);
    if (handle.kind == Kind::kVolume && handle.volume < config.volumes.size())
      return DiskUnder(config.volumes[handle.volume]);
    return nullptr;
  }

  // What a request on this handle waits before the device answers.
  uint32_t LatencyOf(const Handle& handle, DWORD code) {
    if (handle.kind == Kind::kDisk) {
      const SimDisk* disk = Disk(handle.disk);
      return disk ? disk->config().latencyMs : 0;
    }
    if (handle.kind == Kind::kOptical) {
      const SimOptical* drive = Optical(handle.letter);
      return drive ? drive->config().latencyMs : 0;
    }
    if (handle.kind == Kind::kVolume && code != IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS &&
        handle.volume < config.volumes.size()) {
      const VolumeConfig& volume = config.volumes[handle.volume];
      if (const SimOptical* drive = OpticalUnder(volume)) return drive->config().latencyMs;
      if (const SimDisk* disk = DiskUnder(volume)) return disk->config().latencyMs;
    }
    return 0;
  }

  int64_t Now() const {
    const auto elapsed = std::chrono::steady_clock::now() - loadedAt;
    const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return clockAtLoad + ms * config.timeScale / 1000;
  }

  // Brings each disk to the present: a standby timer may have run out.
  void AdvanceDisks() {
    const int64_t now = Now();
    for (auto& entry : disks) entry.second->ata().SetTime(now);
  }

  static char UpperLetter(char letter) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  }

  void Record(const TraceEntry& entry) { trace.Record(FormatTraceLine(entry)); }
};

namespace {

ControlResult DiskControl(SimDisk& disk, DWORD code, void* in, DWORD inSize, void* out,
                          DWORD outSize, DWORD* returned) {
  switch (code) {
    case IOCTL_SCSI_PASS_THROUGH_DIRECT:
      return ScsiPassThroughDirect(disk.config().scsiPassThrough ? &disk : nullptr, in, inSize, out,
                                   outSize, returned);
    case IOCTL_ATA_PASS_THROUGH:
      return AtaPassThrough(disk, in, inSize, out, outSize, returned);
    case SMART_SEND_DRIVE_COMMAND:
    case SMART_RCV_DRIVE_DATA:
      return SmartCommand(disk, code, in, inSize, out, outSize, returned);
    case IOCTL_STORAGE_QUERY_PROPERTY:
      return QueryStorageProperty(disk.config(), in, inSize, out, outSize, returned);
    case IOCTL_DISK_GET_DRIVE_GEOMETRY:
      return DriveGeometry(disk.config(), out, outSize, returned);
    default:
      // Volume codes on a disk, and codes the bay does not know.
      return Failed(kErrorInvalidFunction);
  }
}

// An optical drive answers command blocks only; the disk and volume codes
// are not its driver's.
ControlResult OpticalControl(SimOptical& drive, DWORD code, void* in, DWORD inSize, void* out,
                             DWORD outSize, DWORD* returned) {
  if (code == IOCTL_SCSI_PASS_THROUGH_DIRECT) {
    return ScsiPassThroughDirect(&drive, in, inSize, out, outSize, returned);
  }
  return Failed(kErrorInvalidFunction);
}

}  // namespace

Bay::Bay() : state_(new State) {}
Bay::~Bay() = default;

bool Bay::LoadText(const std::string& text, std::string* error) {
  BayConfig config;
  std::string message;
  if (!ParseBayText(text, &config, &message)) {
    if (error) *error = message;
    return false;
  }
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->config = config;
  state_->disks.clear();
  for (const auto& entry : config.disks) {
    state_->disks[entry.first].reset(new SimDisk(entry.second));
  }
  state_->opticals.clear();
  for (const auto& entry : config.opticals) {
    state_->opticals[entry.first].reset(new SimOptical(entry.second));
  }
  state_->handles.clear();
  state_->loadedAt = std::chrono::steady_clock::now();
  state_->clockAtLoad = config.clockStart >= 0 ? config.clockStart : LocalClockNow();
  state_->AdvanceDisks();
  return true;
}

bool Bay::LoadFile(const std::string& path, std::string* error) {
  std::string text;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  bool read = file != nullptr;
  if (file) {
    char block[4096];
    size_t count;
    while ((count = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, count);
    read = !std::ferror(file);  // a directory opens on Linux but cannot be read
    std::fclose(file);
  }
  if (!read) {
    if (error) *error = "cannot read the bay file " + path;
    return false;
  }
  std::string message;
  if (!LoadText(text, &message)) {
    if (error) *error = path + ": " + message;
    return false;
  }
  return true;
}

std::vector<std::string> Bay::Trace() const { return state_->trace.Lines(); }

BOOL Bay::RegisterTask(const char* name, const char* xml) {
  const platform::SystemCalls& real = platform::RealSystemCalls();
  const BOOL ok = real.RegisterTask(name, xml);
  const DWORD error = ok ? 0 : real.GetLastError();
  state_->trace.Record(TaskTraceLine("REGISTER", name, xml, ok, error));
  SetSystemError(error);
  return ok;
}

BOOL Bay::DeleteTask(const char* name) {
  const platform::SystemCalls& real = platform::RealSystemCalls();
  const BOOL ok = real.DeleteTask(name);
  const DWORD error = ok ? 0 : real.GetLastError();
  state_->trace.Record(TaskTraceLine("DELETE", name, nullptr, ok, error));
  SetSystemError(error);
  return ok;
}
void Bay::RecordPassedCall(const std::string& line) { state_->trace.Record(line); }

LONGLONG Bay::ClockSeconds() {
  LONGLONG now;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    now = state_->Now();
  }
  state_->trace.Record(CallTraceLine("GetClockSeconds", true));
  return now;
}

BOOL Bay::SecurityText(const char* path, char* text, DWORD size) {
  const FileConfig* file = nullptr;
  std::string security;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    for (const FileConfig& candidate : state_->config.files)
      if (path && candidate.path.size() == std::strlen(path) && StartsWith(path, candidate.path, true))
        file = &candidate;
    if (file) security = file->security;
  }
  BOOL ok;
  if (!file) {
    const platform::SystemCalls& real = platform::RealSystemCalls();
    ok = real.GetSecurityText(path, text, size);
    if (!ok) SetSystemError(real.GetLastError());
  } else if (!file->readable) {
    ok = FALSE;
    SetSystemError(kErrorAccessDenied);
  } else {
    ok = CopyName(security, text, size) ? TRUE : FALSE;
    if (!ok) SetSystemError(kErrorInsufficientBuffer);
  }
  state_->trace.Record(CallTraceLine("GetSecurityText", ok != FALSE, path, text));
  return ok;
}

void Bay::ClearTrace() { state_->trace.Clear(); }
void Bay::SetTraceFile(const std::string& path) { state_->trace.SetFile(path); }

bool Bay::HasDisk(int physicalDrive) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->Disk(physicalDrive) != nullptr;
}

uint8_t Bay::DiskPowerMode(int physicalDrive) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->AdvanceDisks();
  const SimDisk* disk = state_->Disk(physicalDrive);
  return disk ? disk->ata().powerMode() : kAtaPowerActive;
}

void Bay::SetDiskPowerMode(int physicalDrive, uint8_t mode) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  if (SimDisk* disk = state_->Disk(physicalDrive)) disk->ata().setPowerMode(mode);
}

Bay::FeatureState Bay::DiskApm(int physicalDrive) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  const SimDisk* disk = state_->Disk(physicalDrive);
  if (!disk) return {false, false, 0};
  FeatureLevel apm = disk->ata().apm();
  return {apm.supported, apm.enabled, apm.level};
}

Bay::FeatureState Bay::DiskAam(int physicalDrive) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  const SimDisk* disk = state_->Disk(physicalDrive);
  if (!disk) return {false, false, 0};
  FeatureLevel aam = disk->ata().aam();
  return {aam.supported, aam.enabled, aam.level};
}

int Bay::OpenHandleCount() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return static_cast<int>(state_->handles.size());
}

bool Bay::HasOptical(char letter) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->Optical(letter) != nullptr;
}

bool Bay::SetOpticalMedium(char letter, const std::string& medium, int64_t lastLba) {
  OpticalMedium wanted;
  if (!ParseMediumName(medium, &wanted) || lastLba > 0xFFFFFFFFll) return false;
  if (lastLba >= 0 && wanted.kind != MediumKind::kNone)
    wanted.lastLba = static_cast<uint32_t>(lastLba);
  std::lock_guard<std::mutex> lock(state_->mutex);
  SimOptical* drive = state_->Optical(letter);
  return drive && drive->ChangeMedium(wanted);
}

uint16_t Bay::OpticalProfile(char letter) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  const SimOptical* drive = state_->Optical(letter);
  return drive ? drive->currentProfile() : 0;
}

bool Bay::OpticalTrayOpen(char letter) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  const SimOptical* drive = state_->Optical(letter);
  return drive && drive->trayOpen();
}

int32_t Bay::OpticalCurrentSpeed(char letter) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  const SimOptical* drive = state_->Optical(letter);
  return drive ? static_cast<int32_t>(drive->currentSpeed()) : -1;
}

Bay::PowerCondition Bay::OpticalPowerCondition(char letter) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  const SimOptical* drive = state_->Optical(letter);
  if (!drive) return PowerCondition::kNoDrive;
  switch (drive->power()) {
    case OpticalPower::kIdle:
      return PowerCondition::kIdle;
    case OpticalPower::kStandby:
      return PowerCondition::kStandby;
    case OpticalPower::kActive:
      break;
  }
  return PowerCondition::kActive;
}

Bay::PowerTimers Bay::OpticalTimers(char letter) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  const SimOptical* drive = state_->Optical(letter);
  if (!drive) return {false, false, 0, 0};
  const PowerConditions& c = drive->powerConditions();
  return {c.idle, c.standby, c.idleTimer, c.standbyTimer};
}

int Bay::OpticalSpeedCommands(char letter) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  const SimOptical* drive = state_->Optical(letter);
  return drive ? drive->speedCommands() : -1;
}

std::vector<uint8_t> Bay::LastParameterData(char letter) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  const SimOptical* drive = state_->Optical(letter);
  return drive ? drive->lastParameterData() : std::vector<uint8_t>();
}

std::string Bay::StateText() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->AdvanceDisks();
  const auto level = [](const FeatureLevel& f) {
    return !f.supported ? std::string("unsupported")
           : !f.enabled ? std::string("disabled")
                        : std::to_string(f.level);
  };
  const auto mode = [](uint8_t m) {
    switch (m) {
      case kAtaPowerStandby: return "standby";
      case kAtaPowerStandbyY: return "standby_y";
      case kAtaPowerIdle: return "idle";
      case 0x81: return "idle_a";
      case 0x82: return "idle_b";
      case 0x83: return "idle_c";
      default: return "active";
    }
  };
  const auto condition = [](OpticalPower p) {
    return p == OpticalPower::kStandby ? "standby" : p == OpticalPower::kIdle ? "idle" : "active";
  };
  std::string text;
  for (const auto& entry : state_->disks) {
    const AtaDevice& ata = entry.second->ata();
    text += "disk " + std::to_string(entry.first) + " power=" + mode(ata.powerMode()) +
            " apm=" + level(ata.apm()) + " aam=" + level(ata.aam()) + " timer=" +
            (ata.standbyTimer() ? std::to_string(ata.standbyTimer()) + "s" : std::string("off"));
    std::string attributes;
    for (const auto& attribute : ata.SmartAttributes())
      attributes += (attributes.empty() ? "" : ",") + std::to_string(attribute.first) + ":" +
                    std::to_string(attribute.second);
    if (!attributes.empty()) text += " smart=" + attributes;
    text += "\n";
  }
  for (const auto& entry : state_->opticals) {
    const SimOptical& drive = *entry.second;
    const PowerConditions& c = drive.powerConditions();
    char line[160];
    std::snprintf(line, sizeof line,
                  "optical %c profile=%04X speed=%u power=%s idle=%s:%u standby=%s:%u\n",
                  entry.first, drive.currentProfile(), drive.currentSpeed(),
                  condition(drive.power()), c.idle ? "on" : "off", c.idleTimer,
                  c.standby ? "on" : "off", c.standbyTimer);
    text += line;
  }
  return text;
}

HANDLE Bay::OpenDevice(const char* path, DWORD access, DWORD, DWORD, DWORD) {
  const std::string name = path ? path : "";
  TraceEntry entry;
  entry.code = "OPEN";
  entry.device = name.empty() ? "-" : name;
  HANDLE handle = INVALID_HANDLE_VALUE;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    State::Handle opened;
    bool found = false;
    if (StartsWith(name, kDevicePrefix, false)) {
      const std::string device = name.substr(sizeof kDevicePrefix - 1);
      entry.device = device.empty() ? "-" : device;
      int number;
      if (ParsePhysicalDrive(device, &number)) {
        if (state_->Disk(number)) {
          opened.kind = State::Kind::kDisk;
          opened.disk = number;
          found = true;
        }
      } else if (device.size() == 2 && device[1] == ':' &&
                 std::isalpha(static_cast<unsigned char>(device[0]))) {
        const VolumeConfig* volume = VolumeByLetter(state_->config, device[0]);
        if (state_->Optical(device[0])) {
          opened.kind = State::Kind::kOptical;
          opened.letter = State::UpperLetter(device[0]);
          found = true;
        } else if (volume && CanOpenLetter(*volume)) {
          opened.kind = State::Kind::kVolume;
          opened.volume = static_cast<size_t>(volume - state_->config.volumes.data());
          found = true;
        }
      } else if (StartsWith(device, "Volume{", true) && device.back() != '\\') {
        const VolumeConfig* volume = VolumeByName(state_->config, "\\\\?\\" + device);
        if (volume) {
          opened.kind = State::Kind::kVolume;
          opened.volume = static_cast<size_t>(volume - state_->config.volumes.data());
          found = true;
        }
      }
    } else if (StartsWith(name, kVolumePrefix, true) && name.back() != '\\') {
      // The volume itself; with the trailing backslash the name would open
      // its root directory, and the bay has no files.
      const VolumeConfig* volume = VolumeByName(state_->config, name);
      if (volume) {
        opened.kind = State::Kind::kVolume;
        opened.volume = static_cast<size_t>(volume - state_->config.volumes.data());
        found = true;
      }
    }
    if (found) {
      opened.device = entry.device;
      handle = state_->AddHandle(opened);
      if (opened.kind == State::Kind::kVolume && (access & (GENERIC_READ | GENERIC_WRITE)))
        state_->Mount(opened.volume);
    }
  }
  entry.result = handle != INVALID_HANDLE_VALUE ? "ok" : "fail";
  state_->Record(entry);
  if (handle == INVALID_HANDLE_VALUE) SetSystemError(kErrorFileNotFound);
  return handle;
}

BOOL Bay::CloseDevice(HANDLE handle) {
  TraceEntry entry;
  entry.code = "CLOSE";
  bool closed = false;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    State::Handle* found = state_->FindHandle(handle);
    if (found && found->kind != State::Kind::kSearch) {
      entry.device = found->device;
      state_->handles.erase(reinterpret_cast<uintptr_t>(handle));
      closed = true;
    }
  }
  entry.result = closed ? "ok" : "fail";
  state_->Record(entry);
  if (!closed) SetSystemError(kErrorInvalidHandle);
  return closed ? TRUE : FALSE;
}

BOOL Bay::Control(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                  DWORD* bytesReturned) {
  if (bytesReturned) *bytesReturned = 0;
  TraceEntry entry;
  DescribeControl(code, in, inSize, outSize, &entry);

  // The device's latency is slept without holding the lock, so that other
  // devices (and other threads) go on meanwhile.
  uint32_t latencyMs = 0;
  uint32_t timeoutSeconds = 0;  // a block the device never answers: the driver's wait
  uint32_t timeScale = 1;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    State::Handle* found = state_->FindHandle(handle);
    if (found && found->kind != State::Kind::kSearch) {
      latencyMs = state_->LatencyOf(*found, code);
      entry.device = found->device;
      SimDisk* disk = state_->DiskBehind(*found);
      SCSI_PASS_THROUGH_DIRECT sptd;
      if (disk && code == IOCTL_SCSI_PASS_THROUGH_DIRECT && in && inSize >= sizeof sptd) {
        std::memcpy(&sptd, in, sizeof sptd);
        const std::vector<uint8_t>& never = disk->config().neverAnswers;
        if (std::find(never.begin(), never.end(), sptd.Cdb[0]) != never.end())
          timeoutSeconds = sptd.TimeOutValue ? sptd.TimeOutValue : 1;
      }
    }
    timeScale = state_->config.timeScale;
  }
  if (latencyMs) std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs));
  if (timeoutSeconds) {
    // The driver waits the record's time-out, in the machine's time, then
    // gives up on the command.
    std::this_thread::sleep_for(
        std::chrono::milliseconds(uint64_t{timeoutSeconds} * 1000 / timeScale));
    entry.result = "timeout=" + std::to_string(timeoutSeconds) + "s";
    state_->Record(entry);
    SetSystemError(kErrorSemTimeout);
    return FALSE;
  }

  ControlResult result = Failed(kErrorInvalidHandle);
  uint32_t spinUpMs = 0;  // a disk that a command woke answers once it has spun up
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->AdvanceDisks();
    State::Handle* found = state_->FindHandle(handle);
    if (found && found->kind == State::Kind::kDisk) {
      entry.device = found->device;
      if (SimDisk* disk = state_->Disk(found->disk)) {
        result = DiskControl(*disk, code, in, inSize, out, outSize, bytesReturned);
        if (disk->ata().TakeWokenUp()) spinUpMs = disk->config().spinUpMs;
      }
    } else if (found && found->kind == State::Kind::kOptical) {
      entry.device = found->device;
      if (SimOptical* drive = state_->Optical(found->letter)) {
        result = OpticalControl(*drive, code, in, inSize, out, outSize, bytesReturned);
      }
    } else if (found && found->kind == State::Kind::kVolume &&
               found->volume < state_->config.volumes.size()) {
      entry.device = found->device;
      const VolumeConfig& volume = state_->config.volumes[found->volume];
      if (code == IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS) {
        result = VolumeDiskExtents(volume, out, outSize, bytesReturned);
      } else if (code == IOCTL_SCSI_PASS_THROUGH_DIRECT && !volume.scsiPassThrough) {
        result = ScsiPassThroughDirect(nullptr, in, inSize, out, outSize, bytesReturned);
      } else if (volume.driveType == DRIVE_CDROM) {
        SimOptical* drive = state_->OpticalUnder(volume);
        result = drive ? OpticalControl(*drive, code, in, inSize, out, outSize, bytesReturned)
                       : Failed(kErrorInvalidFunction);
      } else if (SimDisk* disk = state_->DiskUnder(volume)) {
        result = DiskControl(*disk, code, in, inSize, out, outSize, bytesReturned);
        if (disk->ata().TakeWokenUp()) spinUpMs = disk->config().spinUpMs;
      } else if (code == IOCTL_SCSI_PASS_THROUGH_DIRECT) {
        VolumeStandIn standIn(volume.driveType == DRIVE_REMOVABLE);
        result = ScsiPassThroughDirect(&standIn, in, inSize, out, outSize, bytesReturned);
      } else {
        result = Failed(kErrorInvalidFunction);
      }
    }
  }
  if (!result.ok && bytesReturned && result.error != kErrorMoreData &&
      !(code == SMART_RCV_DRIVE_DATA || code == SMART_SEND_DRIVE_COMMAND)) {
    *bytesReturned = 0;
  }
  if (spinUpMs) std::this_thread::sleep_for(std::chrono::milliseconds(spinUpMs));
  entry.result = result.scsiStatus >= 0 ? StatusText(result.scsiStatus) : result.ok ? "ok" : "fail";
  state_->Record(entry);
  if (!result.ok) SetSystemError(result.error);
  return result.ok;
}

UINT Bay::WindowsDirectory(char* buffer, UINT size) {
  std::string directory;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    directory = state_->config.windowsDirectory;
  }
  TraceEntry entry;
  entry.code = "WINDIR";
  // As the system: the length without the zero when it fits, else the size needed.
  UINT answer = static_cast<UINT>(directory.size() + 1);
  if (CopyName(directory, buffer, size)) answer = static_cast<UINT>(directory.size());
  entry.result = answer == directory.size() ? "ok" : "fail";
  state_->Record(entry);
  return answer;
}

BOOL Bay::VolumeNameForMountPoint(const char* mountPoint, char* volumeName, DWORD size) {
  TraceEntry entry;
  entry.code = "MOUNTPOINT";
  entry.device = mountPoint && *mountPoint ? mountPoint : "-";
  std::string name;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    char letter;
    const VolumeConfig* volume = nullptr;
    if (RootPathLetter(mountPoint, &letter)) {
      volume = VolumeByLetter(state_->config, letter);
    } else if (mountPoint && StartsWith(mountPoint, kVolumePrefix, true)) {
      std::string text = mountPoint;
      if (!text.empty() && text.back() == '\\') volume = VolumeByName(state_->config, text);
    }
    if (volume) name = volume->name;
  }
  DWORD error = kErrorFileNotFound;
  bool ok = false;
  if (!name.empty()) {
    ok = CopyName(name, volumeName, size);
    error = kErrorFilenameExcedRange;
  }
  entry.result = ok ? "ok" : "fail";
  state_->Record(entry);
  if (!ok) SetSystemError(error);
  return ok ? TRUE : FALSE;
}

UINT Bay::DriveTypeOf(const char* rootPath) {
  TraceEntry entry;
  entry.code = "DRIVETYPE";
  entry.device = rootPath && *rootPath ? rootPath : "-";
  UINT type = DRIVE_NO_ROOT_DIR;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    char letter;
    const VolumeConfig* volume = nullptr;
    if (RootPathLetter(rootPath, &letter)) {
      volume = VolumeByLetter(state_->config, letter);
    } else if (rootPath && StartsWith(rootPath, kVolumePrefix, true)) {
      std::string text = rootPath;
      if (text.back() == '\\') volume = VolumeByName(state_->config, text);
    }
    if (volume) type = volume->driveType;
  }
  entry.result = "type=" + std::to_string(type);
  state_->Record(entry);
  return type;
}

HANDLE Bay::FirstVolume(char* volumeName, DWORD size) {
  TraceEntry entry;
  entry.code = "VOLUME_FIRST";
  HANDLE handle = INVALID_HANDLE_VALUE;
  DWORD error = kErrorNoMoreFiles;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->config.volumes.empty()) {
      const std::string& name = state_->config.volumes[0].name;
      error = kErrorFilenameExcedRange;
      if (CopyName(name, volumeName, size)) {
        State::Handle search;
        search.kind = State::Kind::kSearch;
        search.nextVolume = 1;
        search.device = "-";
        handle = state_->AddHandle(search);
        entry.device = name;
      }
    }
  }
  entry.result = handle != INVALID_HANDLE_VALUE ? "ok" : "fail";
  state_->Record(entry);
  if (handle == INVALID_HANDLE_VALUE) SetSystemError(error);
  return handle;
}

BOOL Bay::NextVolume(HANDLE find, char* volumeName, DWORD size) {
  TraceEntry entry;
  entry.code = "VOLUME_NEXT";
  bool ok = false;
  DWORD error = kErrorInvalidHandle;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    State::Handle* search = state_->FindHandle(find);
    if (search && search->kind == State::Kind::kSearch) {
      error = kErrorNoMoreFiles;
      if (search->nextVolume < state_->config.volumes.size()) {
        const std::string& name = state_->config.volumes[search->nextVolume].name;
        error = kErrorFilenameExcedRange;
        if (CopyName(name, volumeName, size)) {
          ++search->nextVolume;
          entry.device = name;
          ok = true;
        }
      }
    }
  }
  entry.result = ok ? "ok" : "fail";
  state_->Record(entry);
  if (!ok) SetSystemError(error);
  return ok ? TRUE : FALSE;
}

BOOL Bay::CloseVolumeSearch(HANDLE find) {
  TraceEntry entry;
  entry.code = "VOLUME_CLOSE";
  bool ok = false;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    State::Handle* search = state_->FindHandle(find);
    if (search && search->kind == State::Kind::kSearch) {
      state_->handles.erase(reinterpret_cast<uintptr_t>(find));
      ok = true;
    }
  }
  entry.result = ok ? "ok" : "fail";
  state_->Record(entry);
  if (!ok) SetSystemError(kErrorInvalidHandle);
  return ok ? TRUE : FALSE;
}

}  // namespace sim
