// Discovery against answers that a sound device would not give: offsets
// outside the answer, unterminated strings, short answers, extents counts
// larger than the buffer, a Windows directory that is not on a letter.
#include <gtest/gtest.h>

#include <cstring>

#include "FakeSystem.h"
#include "drive/HardDriveDiscovery.h"

namespace {

using namespace drive;

const HANDLE kDisk = reinterpret_cast<HANDLE>(0x50);
const HANDLE kVolume = reinterpret_cast<HANDLE>(0x60);

void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A disk whose INQUIRY fails, with the given storage descriptor answer and a
// geometry answer of `geometryBytes` (60801 cylinders, 255 tracks, 63 sectors).
struct DescriptorDisk {
  std::vector<uint8_t> descriptor;
  DWORD geometryBytes = sizeof(DISK_GEOMETRY);

  BOOL operator()(HANDLE, DWORD code, void*, DWORD, void* out, DWORD outSize, DWORD* returned) {
    if (code == IOCTL_STORAGE_QUERY_PROPERTY) {
      const DWORD n = std::min<DWORD>(static_cast<DWORD>(descriptor.size()), outSize);
      std::memcpy(out, descriptor.data(), n);
      *returned = n;
      return TRUE;
    }
    if (code == IOCTL_DISK_GET_DRIVE_GEOMETRY) {
      DISK_GEOMETRY g = {};
      g.Cylinders.QuadPart = 60801;
      g.TracksPerCylinder = 255;
      g.SectorsPerTrack = 63;
      g.BytesPerSector = 512;
      std::memcpy(out, &g, geometryBytes);
      *returned = geometryBytes;
      return TRUE;
    }
    return FALSE;  // no SCSI, no ATA path
  }
};

std::vector<uint8_t> Descriptor(uint32_t vendorOffset, uint32_t productOffset,
                                const std::string& strings) {
  std::vector<uint8_t> d(40, 0);
  PutLe32(d, 12, vendorOffset);
  PutLe32(d, 16, productOffset);
  d.insert(d.end(), strings.begin(), strings.end());
  return d;
}

struct Identified {
  bool listed;
  HardDriveInfo drive;
};

Identified IdentifyWith(const DescriptorDisk& disk) {
  fake::System system;
  system.ioControl = disk;
  fake::ScopedFakeSystem install(system);
  Identified result = {false, {}};
  result.drive.deviceHandle = kDisk;
  result.listed = IdentifyHardDrive(result.drive);
  return result;
}

TEST(DiscoveryAnswers, DescriptorStringsAreReadOnlyInsideTheAnswer) {
  struct Case {
    const char* name;
    std::vector<uint8_t> descriptor;
    std::string expected;
  };
  std::string longName(100, 'N');
  const Case cases[] = {
      {"vendor and product", Descriptor(40, 45, std::string("ACME\0Disk 1\0", 12)), "ACMEDisk 1"},
      {"no vendor", Descriptor(0, 40, std::string("Disk 1\0", 7)), "Disk 1"},
      {"vendor offset outside", Descriptor(9999, 40, std::string("Disk 1\0", 7)), "Disk 1"},
      {"offset at the very end", Descriptor(52, 40, std::string("Disk 1\0ABCDE", 12)), "Disk 1"},
      {"unterminated product", Descriptor(0, 40, "Disk 1"), "Disk 1"},
      {"cut at 63", Descriptor(0, 40, longName), std::string(63, 'N')},
      {"answer shorter than the offsets", std::vector<uint8_t>(10, 0x41), ""},
  };
  for (const Case& c : cases) {
    DescriptorDisk disk;
    disk.descriptor = c.descriptor;
    const Identified id = IdentifyWith(disk);
    EXPECT_TRUE(id.listed) << c.name;
    EXPECT_EQ(std::string(id.drive.displayName), c.expected) << c.name;
  }
}

TEST(DiscoveryAnswers, GeometryGivesTheCapacityOnlyWhenWhole) {
  DescriptorDisk disk;
  disk.descriptor = Descriptor(0, 40, std::string("Disk\0", 5));
  const Identified whole = IdentifyWith(disk);
  EXPECT_TRUE(whole.listed);
  EXPECT_EQ(whole.drive.capacityBytes, 500105249280ull);
  EXPECT_EQ(whole.drive.ataPath, 0);
  EXPECT_EQ(whole.drive.serialText[0], '\0');

  disk.geometryBytes = 16;  // short answer: the size is not known
  const Identified shortAnswer = IdentifyWith(disk);
  EXPECT_FALSE(shortAnswer.listed);
}

// One disk 0 whose volume claims `claimedExtents` extents, the first of them
// on disk `extentDisk`; Windows on C:, which is that volume. With
// `moreData`, the volume manager fails the query with ERROR_MORE_DATA.
struct ExtentsMachine {
  uint32_t claimedExtents;
  uint32_t extentDisk;
  DWORD answerBytes;
  bool moreData = false;

  BOOL operator()(HANDLE h, DWORD code, void*, DWORD, void* out, DWORD outSize, DWORD* returned) {
    if (h != kVolume || code != IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS) return FALSE;
    std::vector<uint8_t> answer(outSize, 0);
    PutLe32(answer, 0, claimedExtents);
    PutLe32(answer, 8, extentDisk);
    std::memcpy(out, answer.data(), answerBytes);
    *returned = answerBytes;
    return moreData ? FALSE : TRUE;
  }
};

enum class Mark { kNo, kYes, kUnknown };

Mark SystemDriveWith(const ExtentsMachine& machine, const std::string& windowsDirectory,
                     int physicalDrive = 0, DWORD lastError = 0) {
  fake::System system;
  system.ioControl = machine;
  system.lastError = lastError;
  system.windowsDirectory = windowsDirectory;
  system.mountNames[2] = "\\\\?\\Volume{c}\\";
  system.driveTypes[2] = DRIVE_FIXED;
  system.volumes = {"\\\\?\\Volume{c}\\"};
  system.open = [](const std::string& path) {
    return path == "\\\\?\\Volume{c}" ? kVolume : INVALID_HANDLE_VALUE;
  };
  fake::ScopedFakeSystem install(system);
  HardDriveInfo drive = {};
  drive.physicalDriveNumber = physicalDrive;
  DetectSystemDrive(drive);
  EXPECT_EQ(system.opened, (std::vector<std::string>{"\\\\?\\Volume{c}"}));
  EXPECT_EQ(system.closed, 1);
  EXPECT_FALSE(drive.isSystemDrive && drive.systemDriveUnknown);
  return drive.isSystemDrive ? Mark::kYes : drive.systemDriveUnknown ? Mark::kUnknown : Mark::kNo;
}

TEST(DiscoveryAnswers, ExtentsCountIsBelievedOnlyAsFarAsTheAnswerHoldsExtents) {
  EXPECT_EQ(SystemDriveWith({1, 0, 32}, "C:\\WINDOWS"), Mark::kYes);
  EXPECT_EQ(SystemDriveWith({1, 0, 32}, "c:\\windows"), Mark::kYes);
  EXPECT_EQ(SystemDriveWith({1, 0, 32}, "C:\\WINDOWS", 1), Mark::kNo);
  // A count far beyond the 512-byte buffer: the extents really there can
  // name the disk, but the missing ones could lie on any disk.
  EXPECT_EQ(SystemDriveWith({0xFFFFFFFFu, 0, 512}, "C:\\WINDOWS"), Mark::kYes);
  EXPECT_EQ(SystemDriveWith({0xFFFFFFFFu, 0, 512}, "C:\\WINDOWS", 5), Mark::kUnknown);
  // An answer too short to hold the one extent it claims tells nothing.
  EXPECT_EQ(SystemDriveWith({1, 0, 16}, "C:\\WINDOWS"), Mark::kUnknown);
  EXPECT_EQ(SystemDriveWith({1, 0, 4}, "C:\\WINDOWS"), Mark::kUnknown);
}

TEST(DiscoveryAnswers, WindowsVolumeThatCannotBeReadLeavesEveryDiskUnknown) {
  // A failed query, and ERROR_MORE_DATA whose count asks for more than the
  // program will allocate, or for no more than it already had.
  EXPECT_EQ(SystemDriveWith({1, 0, 32, true}, "C:\\WINDOWS", 0, ERROR_INVALID_FUNCTION),
            Mark::kUnknown);
  EXPECT_EQ(SystemDriveWith({0x10000000u, 0, 32, true}, "C:\\WINDOWS", 0, ERROR_MORE_DATA),
            Mark::kUnknown);
  EXPECT_EQ(SystemDriveWith({2, 0, 32, true}, "C:\\WINDOWS", 0, ERROR_MORE_DATA),
            Mark::kUnknown);
}

TEST(DiscoveryAnswers, MoreDataIsAskedAgainWithRoomForEveryExtent) {
  fake::System system;
  std::vector<DWORD> sizes;
  system.ioControl = [&](HANDLE, DWORD, void*, DWORD, void* out, DWORD outSize,
                         DWORD* returned) -> BOOL {
    sizes.push_back(outSize);
    std::vector<uint8_t> answer(outSize, 0);
    PutLe32(answer, 0, 30);                                // 30 extents: 8 + 30 x 24 bytes
    for (DWORD at = 8; at + 24 <= outSize && at < 728; at += 24) PutLe32(answer, at, 1);
    if (outSize >= 728) PutLe32(answer, 8 + 29 * 24, 3);  // all on disk 1 but the last
    const DWORD n = outSize >= 728 ? 728 : 32;
    std::memcpy(out, answer.data(), n);
    *returned = n;
    system.lastError = outSize >= 728 ? 0 : ERROR_MORE_DATA;
    return outSize >= 728;
  };
  system.mountNames[2] = "\\\\?\\Volume{c}\\";
  system.volumes = {"\\\\?\\Volume{c}\\"};
  system.open = [](const std::string&) { return kVolume; };
  fake::ScopedFakeSystem install(system);
  for (int disk : {0, 1, 3}) {
    HardDriveInfo drive = {};
    drive.physicalDriveNumber = disk;
    sizes.clear();
    DetectSystemDrive(drive);
    EXPECT_EQ(sizes, (std::vector<DWORD>{512, 728})) << disk;
    EXPECT_EQ(drive.isSystemDrive, disk != 0 ? 1 : 0) << disk;
    EXPECT_EQ(drive.systemDriveUnknown, 0) << disk;
  }
}

TEST(DiscoveryAnswers, WindowsDirectoryNotOnADiskLetterLeavesTheDiskUnknown) {
  for (const char* directory : {"\\\\server\\windows", "1:\\WINDOWS", "", "~:\\x", "A:\\WINDOWS",
                                "D:\\WINDOWS"})
    EXPECT_EQ(SystemDriveWith({1, 0, 32}, directory), Mark::kUnknown) << directory;
}

}  // namespace
