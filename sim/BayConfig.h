// The plain description of a simulated machine, as read from a bay file:
// its disks (with the ATA device and the command paths that reach it), its
// optical drives, its volumes and its Windows directory. BayFile.cpp fills these records and
// resolves every default; the device models only read them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sim {

// The ATA command paths a disk's driver or bridge honours.
struct AtaPaths {
  bool smart = false;           // SMART_RCV_DRIVE_DATA / SMART_SEND_DRIVE_COMMAND
  bool ataPassThrough = false;  // IOCTL_ATA_PASS_THROUGH
  bool sat12 = false;           // ATA PASS-THROUGH (12), opcode A1h
  bool vendorDF = false;        // USB bridge vendor CDB DFh
  bool vendorF8 = false;        // USB bridge vendor CDB F8h
};

// The ATA device behind the paths, as it is when the bay is loaded.
struct AtaDeviceConfig {
  std::string model;     // up to 40 characters
  std::string serial;    // up to 20 characters, leading blanks kept
  std::string firmware;  // up to 8 characters
  uint64_t sectors = 0;  // user addressable sectors of 512 bytes
  bool apmSupported = false;
  bool apmEnabled = false;
  uint8_t apmLevel = 0;  // 1-254 while enabled
  bool aamSupported = false;
  bool aamEnabled = false;
  uint8_t aamLevel = 0;  // 128-254 while enabled
  uint8_t aamRecommended = 0xFE;
  // CHECK POWER MODE answer: 00h standby, 80h idle, FFh active; with
  // Extended Power Conditions also 01h Standby_y and 81h-83h Idle_a to Idle_c.
  uint8_t powerMode = 0xFF;
  // ATA commands that take the drive from standby to active (ATA lets a
  // drive spin up to serve a command; which commands do differs).
  std::vector<uint8_t> wakeCommands;
  // SMART: the attributes READ DATA reports (id, raw value); without SMART
  // the drive has none and aborts the command.
  bool smart = false;
  std::vector<std::pair<uint8_t, uint64_t>> smartAttributes;
  bool smartChecksumBad = false;  // a damaged table: its checksum does not add up
  // Head loads (attribute 193, or 225) an hour of the machine's time.
  uint32_t loadCyclesPerHour = 0;
};

// The power condition mode page (1Ah): there and writable, there but
// MODE SELECT of it refused, or not there at all.
enum class PowerPageAnswer { kWritable, kRefused, kAbsent };

// The power condition the drive is in (MMC-6, SPC-4 power conditions).
enum class OpticalPower { kActive, kIdle, kStandby };

enum class CapacityAnswer { kOk, kNoMedium, kUnsupported };

struct DiskConfig {
  int number = 0;  // N of \\.\PhysicalDriveN
  int line = 0;    // where its section starts in the bay file

  // SCSI side (SPC-4 INQUIRY, SBC-3 READ CAPACITY(10)).
  bool scsiPassThrough = true;  // false: the driver refuses every SPTD
  uint8_t deviceType = 0;       // peripheral device type
  bool removable = false;       // RMB
  bool inquiryFails = false;
  std::string vendor;    // 8 characters, blank padded
  std::string product;   // 16 characters, blank padded
  std::string revision;  // 4 characters, blank padded
  CapacityAnswer capacity = CapacityAnswer::kOk;
  uint64_t lastLba = 0;
  uint32_t blockLength = 512;

  // IOCTL_STORAGE_QUERY_PROPERTY.
  bool propertyFails = false;
  bool hasPropertyVendor = true;
  bool hasPropertyProduct = true;
  std::string propertyVendor;
  std::string propertyProduct;
  int64_t propertyVendorOffset = -1;  // raw override of the answer's offset; -1: none
  int64_t propertyProductOffset = -1;
  bool propertyUnterminated = false;
  uint32_t busType = 0;
  bool hasPropertySerial = false;  // the driver keeps a serial number for the disk
  std::string propertySerial;

  // IOCTL_DISK_GET_DRIVE_GEOMETRY.
  bool geometryFails = false;
  uint64_t cylinders = 0;
  uint32_t tracksPerCylinder = 255;
  uint32_t sectorsPerTrack = 63;
  uint32_t bytesPerSector = 512;

  // ATA command paths and how the bridge reads them.
  AtaPaths paths;
  bool satStrict = false;    // T_LENGTH 01b with FEATURES 0 moves no data
  int dfLayoutBase = 0;      // 0 or 4: where the DFh read-back puts the registers
  bool smartFilter = false;  // SMART codes carry only the commands the disk driver allows
  bool satFixedSense = false;   // CK_COND answers in fixed-format sense (D_SENSE 0)
  bool dfWideReadBack = true;   // the DFh read-back returns more than 16 bytes
  bool ataRegistersZero = false;  // IOCTL_ATA_PASS_THROUGH hands back an all-zero task file
  // Command block opcodes the device never answers: the driver gives up on
  // them after the record's time-out.
  std::vector<uint8_t> neverAnswers;

  uint32_t latencyMs = 0;  // slept before each control code on this device
  // A power condition page 1Ah of its own (SCSI disks): its standby
  // condition timer is the disk's standby timer.
  PowerPageAnswer powerPage = PowerPageAnswer::kAbsent;
  // SCSI commands that wake the drive behind the bridge (READ CAPACITY, ...),
  // and how long the command that wakes it takes to complete.
  std::vector<uint8_t> wakeOpcodes;
  uint32_t spinUpMs = 0;
  AtaDeviceConfig ata;
};

struct ExtentConfig {
  uint32_t disk = 0;
  uint64_t start = 0;   // bytes
  uint64_t length = 0;  // bytes
};

struct VolumeConfig {
  int line = 0;
  char letter = 0;         // 'A'-'Z', or 0 for a volume without a drive letter
  std::string name;        // \\?\Volume{...}\ with the trailing backslash
  uint32_t driveType = 3;  // DRIVE_FIXED
  std::vector<ExtentConfig> extents;
  int64_t extentsCountOverride = -1;  // claimed NumberOfDiskExtents; -1: the true count
  // The query succeeds with no extent at all, as Wine answers for any volume.
  bool extentsEmpty = false;
  // false: the volume's device refuses every SCSI pass-through, as Wine's
  // drive letters do (they are folders of the host, not devices).
  bool scsiPassThrough = true;
  // false: no file system has looked at it yet. Opening it to read or write
  // mounts it, which reads its disks.
  bool mounted = true;
};

// The kind of medium, which decides the drive's speed list and block size.
enum class MediumKind { kNone, kCd, kDvd, kBd };

// A medium as the drive sees it: its MMC profile (0000h: none) and size.
struct OpticalMedium {
  uint16_t profile = 0;
  MediumKind kind = MediumKind::kNone;
  uint32_t lastLba = 0;  // in 2048-byte blocks
};

// How a drive treats one of the two speed commands.
enum class SpeedCommandAnswer {
  kHonoured,    // steps to a supported speed
  kIgnored,     // GOOD, nothing changes
  kUnsupported  // INVALID COMMAND OPERATION CODE
};

// What the drive reports as its current read speed while it holds a medium.
enum class ReportedSpeed { kCurrent, kFastest, kFixed };

struct PowerConditions {
  bool idle = true;              // IDLE bit: idle condition timer active
  bool standby = true;           // STANDBY bit: standby condition timer active
  uint32_t idleTimer = 3000;     // 100 ms units: 5 minutes
  uint32_t standbyTimer = 6000;  // 100 ms units: 10 minutes
};

struct OpticalConfig {
  char letter = 0;  // 'A'-'Z'
  int line = 0;     // where its section starts in the bay file

  std::string vendor;    // INQUIRY, 8 characters, blank padded
  std::string product;   // 16 characters, blank padded
  std::string revision;  // 4 characters, blank padded

  // GET CONFIGURATION feature 0108h, Logical Unit Serial Number.
  bool hasSerial = true;
  std::string serial;
  bool serialPadded = true;  // blanks up to a multiple of 4 bytes, as MMC-6 asks
  // GET CONFIGURATION answers only a starting feature of 0; any other is
  // INVALID FIELD IN CDB (as QEMU's emulated drive does).
  bool featureZeroOnly = false;

  // Read speeds in KB/s, fastest first; an empty list: the drive cannot read
  // that kind of medium.
  std::vector<uint32_t> cdSpeeds;
  std::vector<uint32_t> dvdSpeeds;
  std::vector<uint32_t> bdSpeeds;
  SpeedCommandAnswer setCdSpeed = SpeedCommandAnswer::kHonoured;
  SpeedCommandAnswer setStreaming = SpeedCommandAnswer::kHonoured;
  bool capabilitiesPage = true;  // MODE SENSE page 2Ah
  bool getPerformance = true;    // GET PERFORMANCE
  // What page 2Ah and GET PERFORMANCE each report while a medium is in.
  ReportedSpeed capabilitiesReport = ReportedSpeed::kCurrent;
  uint32_t capabilitiesFixed = 0;  // with ReportedSpeed::kFixed
  ReportedSpeed performanceReport = ReportedSpeed::kCurrent;
  uint32_t performanceFixed = 0;
  uint32_t idleSpeed = 0;  // current read speed reported without a medium

  OpticalMedium medium;  // in the drive when the bay is loaded

  PowerPageAnswer powerPage = PowerPageAnswer::kWritable;
  bool modeSelect = true;  // false: MODE SELECT(10) is an invalid opcode
  PowerConditions power;  // also the page's default values
  OpticalPower powerCondition = OpticalPower::kActive;

  bool unitAttention = false;  // report a medium change once (06h/28h/00h)
  uint32_t latencyMs = 0;      // slept before each control code on this drive
};

// A file or folder whose security descriptor the bay gives, in place of the
// real system's (which under Wine is made from the Unix owner and mode).
struct FileConfig {
  int line = 0;
  std::string path;      // as the program names it, UTF-8
  bool readable = true;  // false: asking for its descriptor fails
  std::string security;  // owner and access control list, as SDDL
};

struct BayConfig {
  std::string windowsDirectory = "C:\\WINDOWS";
  // Seconds of the machine's time to one real second: a driver's time-out
  // passes that much sooner, and so do the disks' standby timers.
  uint32_t timeScale = 1;
  // The machine's local time when the bay is loaded, in seconds since
  // 1970-01-01 00:00 of the local calendar; -1: the real time then.
  int64_t clockStart = -1;
  std::map<int, DiskConfig> disks;
  std::map<char, OpticalConfig> opticals;  // by upper-case drive letter
  std::vector<VolumeConfig> volumes;       // in file order, the order FindFirst/NextVolume use
  std::vector<FileConfig> files;
};

}  // namespace sim
