#include "drive/OpticalCommands.h"

#include <cstdio>
#include <cstring>

#include "drive/Bytes.h"
#include "platform/SystemCalls.h"

namespace drive {

namespace {
constexpr uint8_t kPeripheralTypeOptical = 5;
}

// ---------------------------------------------------------------------------
// Command blocks (MMC). Bytes not set are 0.
// ---------------------------------------------------------------------------

DriveCommandResult TestUnitReady(HANDLE device) {
  const uint8_t cdb[kCdbLength] = {0x00};  // TEST UNIT READY
  return ScsiPassThrough(device, cdb, nullptr, 0);
}

DriveCommandResult GetConfiguration(HANDLE device, uint8_t rt, uint16_t feature, uint8_t* buffer,
                                    uint16_t length) {
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0x46;  // GET CONFIGURATION
  cdb[1] = rt;    // 1: current features, 2: the one feature named
  PutBe16(cdb + 2, feature);  // bytes 2-3: starting feature number
  PutBe16(cdb + 7, length);   // bytes 7-8: allocation length
  return ScsiPassThrough(device, cdb, buffer, length);
}

DriveCommandResult StartStopUnit(HANDLE device, int start, int loadEject, int condition) {
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0x1B;  // START STOP UNIT; IMMED (byte 1) clear: completes after the change
  cdb[4] = static_cast<uint8_t>(condition * 16 + loadEject * 2 + start);  // POWER CONDITION, LOEJ, START
  return ScsiPassThrough(device, cdb, nullptr, 0);
}

DriveCommandResult SetCdSpeed(HANDLE device, int32_t speed) {
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0xBB;  // SET CD SPEED
  PutBe16(cdb + 2, static_cast<uint16_t>(speed));  // bytes 2-3: read speed, KB/s (0xFFFF: fastest)
  // bytes 4-5: write speed 0; byte 1: rotational control 0
  return ScsiPassThrough(device, cdb, nullptr, 0);
}

DriveCommandResult SetStreaming(HANDLE device, uint8_t* descriptor) {
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0xB6;  // SET STREAMING
  cdb[10] = kStreamingDescriptorLength;  // bytes 9-10: parameter list length
  return ScsiPassThrough(device, cdb, descriptor, kStreamingDescriptorLength);
}

DriveCommandResult GetPerformance(HANDLE device, uint8_t* buffer) {
  uint8_t cdb[kCdbLength] = {};
  cdb[0] = 0xAC;  // GET PERFORMANCE
  cdb[1] = 0x10;  // tolerance 10b, read performance, nominal
  cdb[9] = 0x01;  // bytes 8-9: one descriptor; byte 10: type 0 (performance)
  return ScsiPassThrough(device, cdb, buffer, kPerformanceLength);
}

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

int32_t GetCurrentProfile(HANDLE device) {
  uint8_t header[8];
  if (GetConfiguration(device, 1, 0, header, sizeof header) != kCommandGood) return -1;
  return GetBe16(header + 6);  // current profile
}

int32_t ReadCapabilitiesSpeed(HANDLE device) {
  uint8_t page[kCapabilitiesLength];
  if (ModeSense10(device, kCapabilitiesPage, page, sizeof page) != kCommandGood) return -1;
  return GetBe16(page + 22);  // 8-byte header, then page bytes 14-15: current read speed
}

int32_t ReadPerformanceSpeed(HANDLE device) {
  uint8_t answer[kPerformanceLength];
  if (GetPerformance(device, answer) != kCommandGood) return -1;
  return GetBe16(answer + 22);  // low 16 bits of the first descriptor's end performance
}

DriveCommandResult SetStreamingSpeed(HANDLE device, int32_t speed) {
  // Performance descriptor (MMC SET STREAMING), zeroed in full first:
  //   0      flags (WRC, RDD, Exact, RA)   0
  //   4-7    start LBA                     0
  //   8-11   end LBA                       the medium's last LBA, 0 without one
  //   12-15  read size, KB                 the speed (low 16 bits)
  //   16-19  read time, ms                 1000
  //   20-27  write size, write time        0
  uint8_t descriptor[kStreamingDescriptorLength] = {};
  uint8_t capacity[kReadCapacityLength];
  if (ReadCapacity(device, capacity) != kNotDelivered) std::memcpy(descriptor + 8, capacity, 4);
  PutBe16(descriptor + 14, static_cast<uint16_t>(speed));
  PutBe32(descriptor + 16, 1000);
  return SetStreaming(device, descriptor);
}

DriveCommandResult ReadPowerConditionPage(HANDLE device, uint8_t* buffer, uint8_t length) {
  return ModeSense10(device, kPowerConditionPage, buffer, length);
}

bool WritePowerConditions(HANDLE device, int idleEnable, int standbyEnable, int32_t idleTimer,
                          int32_t standbyTimer) {
  // Power condition page image (no block descriptors after the header):
  //   0-7    mode parameter header   0 on writing
  //   8      page code               1Ah (PS 0)
  //   9      page length             0Ah
  //   11     bit 1 IDLE, bit 0 STANDBY
  //   12-15  idle condition timer    100 ms units
  //   16-19  standby condition timer 100 ms units
  uint8_t page[kPowerConditionPageLength] = {};
  ReadPowerConditionPage(device, page, sizeof page);  // a failed read rebuilds from zeros

  page[8] = kPowerConditionPage;
  page[9] = 0x0A;
  if (idleEnable == 0) page[11] &= ~0x02;
  if (idleEnable == 1) page[11] |= 0x02;
  if (standbyEnable == 0) page[11] &= ~0x01;
  if (standbyEnable == 1) page[11] |= 0x01;
  // A timer is never written while its own enable is being cleared.
  if (idleTimer != kLeaveUnchanged && idleEnable != 0)
    PutBe32(page + 12, static_cast<uint32_t>(idleTimer));
  if (standbyTimer != kLeaveUnchanged && standbyEnable != 0)
    PutBe32(page + 16, static_cast<uint32_t>(standbyTimer));
  std::memset(page, 0, 8);
  return ModeSelect10(device, page, sizeof page) == kCommandGood;
}

DriveCommandResult EnterPowerCondition(HANDLE device, int condition) {
  return StartStopUnit(device, 0, 0, condition);
}

PowerTimerSettings DecodePowerConditionPage(const uint8_t* page) {
  PowerTimerSettings timers;
  timers.idleEnabled = (page[11] & 0x02) != 0;
  timers.standbyEnabled = (page[11] & 0x01) != 0;
  timers.idleSeconds = GetBe32(page + 12) / 10;  // units of 100 ms
  timers.standbySeconds = GetBe32(page + 16) / 10;
  return timers;
}

// ---------------------------------------------------------------------------
// Enumeration
// ---------------------------------------------------------------------------

namespace {

// INQUIRY and the unit serial number of the drive in `drive`; false when the
// device is not an optical drive.
bool IdentifyOpticalDrive(OpticalDriveInfo& drive) {
  uint8_t inquiry[kInquiryLength];
  if (Inquiry(drive.deviceHandle, inquiry) != kCommandGood) return false;
  if ((inquiry[0] & 0x1F) != kPeripheralTypeOptical) return false;
  std::snprintf(drive.displayName, sizeof drive.displayName, "%.8s%.16s",
                reinterpret_cast<const char*>(inquiry + 8),
                reinterpret_cast<const char*>(inquiry + 16));
  drive.kind = KindOpticalDrive;

  // Feature 0108h, logical unit serial number: header, then the descriptor
  // (code 8-9, version 10, additional length 11, serial from 12). A drive
  // without the feature answers with the header only: the serial is empty.
  uint8_t feature[kSerialFeatureLength];
  if (GetConfiguration(drive.deviceHandle, 2, kSerialNumberFeature, feature, sizeof feature) ==
      kCommandGood) {
    int n = feature[11];
    if (n > kMaxSerialCharacters) n = kMaxSerialCharacters;
    drive.serialText[0] = '#';
    std::memcpy(drive.serialText + 1, feature + 12, n);
    drive.serialText[1 + n] = '\0';
  }
  return true;
}

}  // namespace

int EnumerateOpticalDrives(DriveList& list) {
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    if (list.driveCount >= kMaxDrives) break;  // no slot left: the rest are skipped
    DriveSlot& slot = list.slots[list.driveCount];
    std::memset(&slot, 0, sizeof slot);
    OpticalDriveInfo& drive = slot.optical;

    // Only CD-ROM letters are opened: opening any other volume to read or
    // write mounts it, which reads its disk and wakes a sleeping one.
    const char root[] = {letter, ':', '\\', '\0'};
    if (platform::GetDriveTypeA(root) != DRIVE_CDROM) continue;
    char path[8];
    std::snprintf(path, sizeof path, "\\\\.\\%c:", letter);
    drive.deviceHandle = platform::CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                                               FILE_FLAG_SEQUENTIAL_SCAN);
    if (drive.deviceHandle == INVALID_HANDLE_VALUE) continue;
    if (!IdentifyOpticalDrive(drive)) {
      platform::CloseHandle(drive.deviceHandle);  // nothing keeps a skipped letter's handle
      std::memset(&slot, 0, sizeof slot);
      continue;
    }
    ++list.driveCount;
  }
  return list.driveCount;
}

}  // namespace drive
