#include "drive/HardDriveDiscovery.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "drive/AtaCommands.h"
#include "drive/Bytes.h"
#include "drive/IdentifyData.h"
#include "drive/Transport.h"
#include "platform/SystemCalls.h"

namespace drive {

namespace {

constexpr DWORD kDeviceAccess = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kDeviceShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr int kPhysicalDriveNumbers = 64;
constexpr DWORD kDescriptorBufferSize = 10000;
constexpr DWORD kExtentsBufferSize = 512;
constexpr DWORD kMaxExtentsBufferSize = 65536;  // some 2700 extents
constexpr int kExtentsAttempts = 3;
constexpr int kVolumeEnumNameLength = 100;

// Copies text into a fixed field, cut to fit, always terminated.
void CopyText(char* field, size_t fieldSize, const std::string& text) {
  const size_t n = text.size() < fieldSize - 1 ? text.size() : fieldSize - 1;
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

std::string TrimRight(std::string text) {
  const size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

std::string Trim(const std::string& text) {
  const size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return std::string();
  return TrimRight(text.substr(begin));
}

// The zero-terminated string at `offset` of a descriptor answer of `size`
// bytes; empty when the offset lies outside the answer. A string that runs to
// the end of the answer without its terminator ends there.
std::string DescriptorString(const uint8_t* answer, DWORD size, DWORD offset) {
  if (offset == 0 || offset >= size) return std::string();
  const uint8_t* begin = answer + offset;
  const void* nul = std::memchr(begin, 0, size - offset);
  const size_t length = nul ? static_cast<const uint8_t*>(nul) - begin : size - offset;
  return std::string(reinterpret_cast<const char*>(begin), length);
}

// INQUIRY: is it a fixed direct-access disk, and its name. Returns false when
// the device must not be listed at all; `answered` tells whether it replied.
bool IdentifyByInquiry(HardDriveInfo& drive, bool& answered) {
  uint8_t inquiry[kInquiryLength];
  answered = Inquiry(drive.deviceHandle, inquiry) == kCommandGood;
  if (!answered) return true;                  // still examined
  if ((inquiry[0] & 0x1F) != 0) return false;  // not a direct-access disk
  if (inquiry[1] & 0x80) return false;         // removable medium: card readers, sticks
  CopyText(drive.displayName, sizeof drive.displayName,
           TrimRight(std::string(reinterpret_cast<const char*>(inquiry + 8), 24)));
  return true;
}

// READ CAPACITY reaches the medium: a bridge may spin a sleeping disk up to
// answer it. Asked only when the driver could not give the size.
void SizeByReadCapacity(HardDriveInfo& drive, bool& identified) {
  uint8_t capacity[kReadCapacityLength];
  if (ReadCapacity(drive.deviceHandle, capacity) != kCommandGood) return;
  const uint64_t lastLba = GetBe32(capacity + 0);
  const uint64_t blockLength = GetBe32(capacity + 4);
  drive.capacityBytes = (lastLba + 1) * blockLength;
  identified = true;
}

// A serial number as the storage driver keeps it, blanks around it dropped;
// none when it holds anything but printable ASCII, which no disk reports
// and which could not be written on a command line.
std::string DriverSerial(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
      return std::string();
  return Trim(text);
}

// The storage driver's device descriptor names the disk; its geometry gives
// the size. Neither reaches the medium.
void IdentifyByStorageProperty(HardDriveInfo& drive, bool& identified) {
  std::unique_ptr<uint8_t[]> answer(new (std::nothrow) uint8_t[kDescriptorBufferSize]);
  if (!answer) return;
  std::memset(answer.get(), 0, kDescriptorBufferSize);

  STORAGE_PROPERTY_QUERY query;
  std::memset(&query, 0, sizeof query);
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  DWORD returned = 0;
  if (!platform::DeviceIoControl(drive.deviceHandle, IOCTL_STORAGE_QUERY_PROPERTY, &query,
                                 sizeof query, answer.get(), kDescriptorBufferSize, &returned)) {
    return;
  }
  if (returned > kDescriptorBufferSize) returned = kDescriptorBufferSize;

  std::string name;
  constexpr DWORD kOffsetsEnd = offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) + 4;
  constexpr DWORD kBusTypeEnd = offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + 4;
  STORAGE_DEVICE_DESCRIPTOR descriptor;
  std::memset(&descriptor, 0, sizeof descriptor);
  std::memcpy(&descriptor, answer.get(), returned < kBusTypeEnd ? returned : kBusTypeEnd);
  if (returned >= kOffsetsEnd) {
    name += DescriptorString(answer.get(), returned, descriptor.VendorIdOffset);
    name += DescriptorString(answer.get(), returned, descriptor.ProductIdOffset);
  }
  if (returned >= kBusTypeEnd) {
    drive.busType = static_cast<uint32_t>(descriptor.BusType);
    CopyText(drive.driverSerial, sizeof drive.driverSerial,
             DriverSerial(DescriptorString(answer.get(), returned, descriptor.SerialNumberOffset)));
  }
  // A name learned from INQUIRY is not replaced by an empty one.
  if (!TrimRight(name).empty()) CopyText(drive.displayName, sizeof drive.displayName, name);

  DISK_GEOMETRY geometry;
  std::memset(&geometry, 0, sizeof geometry);
  returned = 0;
  if (platform::DeviceIoControl(drive.deviceHandle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0,
                                &geometry, sizeof geometry, &returned) &&
      returned >= sizeof geometry) {
    drive.capacityBytes = static_cast<uint64_t>(geometry.BytesPerSector) *
                          geometry.SectorsPerTrack * geometry.TracksPerCylinder *
                          static_cast<uint64_t>(geometry.Cylinders.QuadPart);
    identified = true;
  }
}

// The drive letter index (0 = A) of the Windows directory, or -1 when its
// first character is not a letter (a UNC or damaged path marks no disk).
int WindowsLetterIndex() {
  char directory[MAX_PATH] = {};
  const UINT length = platform::GetWindowsDirectoryA(directory, sizeof directory);
  if (length == 0 || length >= sizeof directory) return -1;
  const char c = directory[0];
  if (c >= 'a' && c <= 'z') return c - 'a';
  if (c >= 'A' && c <= 'Z') return c - 'A';
  return -1;
}

// What a volume's extents say about one disk.
enum class OnDisk { kNo, kYes, kUnknown };

// Reads an extents answer of `returned` bytes. Extents claimed beyond the
// answer are not believed; an answer that misses some can still say yes,
// but never no.
OnDisk DecodeExtents(const uint8_t* extents, DWORD size, DWORD returned, int diskNumber) {
  constexpr DWORD kHead = offsetof(VOLUME_DISK_EXTENTS, Extents);
  if (returned > size) returned = size;
  if (returned < kHead) return OnDisk::kUnknown;
  DWORD count = 0;
  std::memcpy(&count, extents, sizeof count);
  // A volume lies on at least one disk: an answer without any extent (as
  // Wine gives) tells nothing of where it is.
  if (count == 0) return OnDisk::kUnknown;
  const DWORD held = (returned - kHead) / sizeof(DISK_EXTENT);
  for (DWORD i = 0; i < count && i < held; ++i) {
    DISK_EXTENT extent;
    std::memcpy(&extent, extents + kHead + i * sizeof(DISK_EXTENT), sizeof extent);
    if (extent.DiskNumber == static_cast<DWORD>(diskNumber)) return OnDisk::kYes;
  }
  return count > held ? OnDisk::kUnknown : OnDisk::kNo;
}

// Does the volume opened as `volume` have an extent on disk `diskNumber`?
// Asks with the 512-byte buffer first; a volume with more extents than fit
// answers ERROR_MORE_DATA with their count, and is asked again with room for
// all of them.
OnDisk VolumeLiesOnDisk(HANDLE volume, uint8_t* firstBuffer, int diskNumber) {
  constexpr DWORD kHead = offsetof(VOLUME_DISK_EXTENTS, Extents);
  std::unique_ptr<uint8_t[]> larger;
  uint8_t* extents = firstBuffer;
  DWORD size = kExtentsBufferSize;
  for (int attempt = 0; attempt < kExtentsAttempts; ++attempt) {
    std::memset(extents, 0, size);
    DWORD returned = 0;
    if (platform::DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                  extents, size, &returned)) {
      return DecodeExtents(extents, size, returned, diskNumber);
    }
    if (platform::GetLastError() != ERROR_MORE_DATA || returned < sizeof(DWORD))
      return OnDisk::kUnknown;
    DWORD count = 0;
    std::memcpy(&count, extents, sizeof count);
    const uint64_t needed = kHead + static_cast<uint64_t>(count) * sizeof(DISK_EXTENT);
    if (needed <= size || needed > kMaxExtentsBufferSize) return OnDisk::kUnknown;
    size = static_cast<DWORD>(needed);
    larger.reset(new (std::nothrow) uint8_t[size]);
    if (!larger) return OnDisk::kUnknown;
    extents = larger.get();
  }
  return OnDisk::kUnknown;  // the volume kept growing between the answers
}

}  // namespace

int EnumerateHardDrives(DriveList& list) {
  list.driveCount = 0;
  for (int n = 0; n < kPhysicalDriveNumbers; ++n) {
    // Drives beyond the last slot are skipped; nothing is written past it.
    if (list.driveCount >= kMaxDrives) break;
    HardDriveInfo& drive = list.slots[list.driveCount].hard;
    std::memset(&list.slots[list.driveCount], 0, sizeof(DriveSlot));

    char path[32];
    std::snprintf(path, sizeof path, "\\\\.\\PhysicalDrive%d", n);
    drive.deviceHandle = platform::CreateFileA(path, kDeviceAccess, kDeviceShare, OPEN_EXISTING,
                                               FILE_FLAG_SEQUENTIAL_SCAN);
    if (drive.deviceHandle == INVALID_HANDLE_VALUE) continue;
    if (!IdentifyHardDrive(drive)) {
      platform::CloseHandle(drive.deviceHandle);
      std::memset(&list.slots[list.driveCount], 0, sizeof(DriveSlot));
      continue;
    }
    drive.kind = KindHardDrive;
    drive.physicalDriveNumber = n;
    DetectSystemDrive(drive);
    ++list.driveCount;
  }
  RefuseStandbyUnderVirtualWindowsDisk(list);
  return list.driveCount;
}

void RefuseStandbyUnderVirtualWindowsDisk(DriveList& list) {
  bool virtualWindowsDisk = false;
  for (int i = 0; i < list.driveCount; ++i) {
    const HardDriveInfo& disk = list.slots[i].hard;
    if (disk.kind == KindHardDrive && disk.isSystemDrive &&
        (disk.busType == kBusTypeFileBackedVirtual || disk.busType == kBusTypeSpaces))
      virtualWindowsDisk = true;
  }
  if (!virtualWindowsDisk) return;
  // The disks beneath it are not known: any of them may hold Windows.
  for (int i = 0; i < list.driveCount; ++i)
    if (list.slots[i].hard.kind == KindHardDrive) list.slots[i].hard.systemDriveUnknown = 1;
}

bool IdentifyHardDrive(HardDriveInfo& drive) {
  // What needs no medium comes first: a sleeping disk stays asleep.
  bool inquired = false;
  if (!IdentifyByInquiry(drive, inquired)) return false;
  bool identified = false;  // the size is known
  IdentifyByStorageProperty(drive, identified);
  if (!identified && inquired) SizeByReadCapacity(drive, identified);
  if (!identified) return false;

  uint8_t identify[kIdentifyLength];
  switch (ProbeAtaPath(drive, identify)) {
    case ProbeIdentified:
      TakeIdentity(drive, identify);
      break;
    case ProbeAsleep:  // named as the bus names it; the rest is read once it wakes
      drive.identityPending = 1;
      break;
    case ProbeNoPath:  // listed without ATA features
      break;
  }
  // Without IDENTIFY, the serial number the driver keeps names the disk.
  if (drive.serialText[0] == '\0' && drive.driverSerial[0] != '\0')
    CopyText(drive.serialText, sizeof drive.serialText, std::string("#") + drive.driverSerial);
  return true;
}

void DetectSystemDrive(HardDriveInfo& drive) {
  drive.isSystemDrive = 0;
  // Unknown until the extents of the Windows volume have been read whole.
  drive.systemDriveUnknown = 1;
  const int windowsLetter = WindowsLetterIndex();

  // Mount names of A: to Z:, and the volumes never to open: floppies and
  // optical drives (opening them could spin up or wait for a medium).
  char mountNames[26][kVolumeNameLength];
  char skipList[26][kVolumeNameLength];
  int skipCount = 0;
  for (int letter = 0; letter < 26; ++letter) {
    char root[] = "A:\\";
    root[0] = static_cast<char>('A' + letter);
    if (!platform::GetVolumeNameForVolumeMountPointA(root, mountNames[letter], kVolumeNameLength))
      mountNames[letter][0] = '\0';
    mountNames[letter][kVolumeNameLength - 1] = '\0';
    if (platform::GetDriveTypeA(root) == DRIVE_CDROM || letter < 2)
      std::memcpy(skipList[skipCount++], mountNames[letter], kVolumeNameLength);
  }
  // Only C: to Z: can hold the Windows directory's volume.
  const char* windowsVolume =
      windowsLetter >= 2 && mountNames[windowsLetter][0] != '\0' ? mountNames[windowsLetter]
                                                                 : nullptr;

  std::unique_ptr<uint8_t[]> extents(new (std::nothrow) uint8_t[kExtentsBufferSize]);
  if (!extents) return;

  char volume[kVolumeEnumNameLength] = {};
  HANDLE find = platform::FindFirstVolumeA(volume, sizeof volume);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    volume[kVolumeEnumNameLength - 1] = '\0';
    if (ContainsVolumeName(skipList, skipCount, volume)) continue;

    // The volume is opened by its name without the trailing backslash, and
    // with no access right: the extents query needs none, and a volume opened
    // to read or write is mounted, which reads its disk.
    std::string path = volume;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    HANDLE handle = platform::CreateFileA(path.c_str(), 0, kDeviceShare, OPEN_EXISTING, 0);
    if (handle == INVALID_HANDLE_VALUE) continue;
    const OnDisk onDisk = VolumeLiesOnDisk(handle, extents.get(), drive.physicalDriveNumber);
    if (windowsVolume != nullptr && std::strcmp(windowsVolume, volume) == 0 &&
        onDisk != OnDisk::kUnknown) {
      drive.isSystemDrive = onDisk == OnDisk::kYes ? 1 : 0;
      drive.systemDriveUnknown = 0;
    }
    platform::CloseHandle(handle);
  } while (platform::FindNextVolumeA(find, volume, sizeof volume));
  platform::FindVolumeClose(find);
}

void TakeIdentity(HardDriveInfo& drive, const uint8_t* identify) {
  const std::string model =
      Trim(IdentifyText(identify, IdentifyWord::modelNumber, IdentifyWord::modelNumberWords));
  // A name learned earlier is not replaced by an empty one.
  if (!model.empty() && model[0] != '\0')
    CopyText(drive.displayName, sizeof drive.displayName, model);
  // Blanks before the serial number stay: some drives right-align it.
  CopyText(drive.serialText, sizeof drive.serialText,
           "#" + TrimRight(IdentifyText(identify, IdentifyWord::serialNumber,
                                        IdentifyWord::serialNumberWords)));
  const uint16_t supported = IdentifyWordAt(identify, IdentifyWord::commandSetsSupported);
  drive.apmSupported = (supported & kApmBit) ? 1 : 0;
  drive.aamSupported = (supported & kAamBit) ? 1 : 0;
  drive.identityPending = 0;
  StoreFeatureLevels(drive, identify);
}

void StoreFeatureLevels(HardDriveInfo& drive, const uint8_t* identify) {
  drive.featuresRead = 1;
  drive.featuresEnabled = IdentifyWordAt(identify, IdentifyWord::commandSetsEnabled);
  drive.apmLevelWord = IdentifyWordAt(identify, IdentifyWord::apmLevel);
  drive.aamLevelWord = IdentifyWordAt(identify, IdentifyWord::aamLevel);
  drive.smartEnabled = (IdentifyWordAt(identify, IdentifyWord::smartSupported) &
                        IdentifyWordAt(identify, IdentifyWord::smartEnabled) & 1) != 0;
}

bool ContainsVolumeName(const char (*names)[kVolumeNameLength], int count, const char* name) {
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(names[i], name) == 0) return true;
  }
  return false;
}

}  // namespace drive
