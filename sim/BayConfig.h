// The plain description of a simulated machine, as read from a bay file:
// its disks (with the ATA device and the command paths that reach it), its
// volumes and its Windows directory. BayFile.cpp fills these records and
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
  uint8_t powerMode = 0xFF;  // CHECK POWER MODE answer: 00h standby, 80h idle, FFh active
};

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

  uint32_t latencyMs = 0;  // slept before each control code on this device
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
};

// Optical drives ([optical X] sections) will get their own records here.

struct BayConfig {
  std::string windowsDirectory = "C:\\WINDOWS";
  std::map<int, DiskConfig> disks;
  std::vector<VolumeConfig> volumes;  // in file order, the order FindFirst/NextVolume use
};

}  // namespace sim
