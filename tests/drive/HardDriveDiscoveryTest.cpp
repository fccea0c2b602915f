// Hard drive discovery and the ATA commands on simulated machines.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "BayMachine.h"
#include "drive/AtaCommands.h"
#include "drive/HardDriveDiscovery.h"

namespace {

using namespace drive;

const char* const kVolumes = R"(
[volume C]
name = \\?\Volume{c}\
extents = 0
)";

// DriveList is large: keep it off the test's stack.
std::unique_ptr<DriveList> Discover() {
  auto list = std::make_unique<DriveList>();
  std::memset(list.get(), 0, sizeof *list);
  EnumerateHardDrives(*list);
  return list;
}

TEST(HardDriveDiscovery, DrivesTakeSlotsInNumberOrderWithoutGaps) {
  BayMachine machine(std::string(R"(
[disk 0]
model = FIRST
ata_paths = ata_pass_through
[disk 2]
model = THIRD
ata_paths = smart
)") + kVolumes);
  auto list = Discover();

  ASSERT_EQ(list->driveCount, 2);
  EXPECT_EQ(list->slots[0].hard.physicalDriveNumber, 0);
  EXPECT_EQ(list->slots[1].hard.physicalDriveNumber, 2);
  EXPECT_EQ(list->slots[0].hard.kind, KindHardDrive);
  EXPECT_STREQ(list->slots[0].hard.displayName, "FIRST");
  EXPECT_STREQ(list->slots[1].hard.displayName, "THIRD");
  EXPECT_EQ(list->slots[0].hard.ataPath, PathAtaPassThrough);
  EXPECT_EQ(list->slots[1].hard.ataPath, PathSmart);
  EXPECT_EQ(list->slots[2].hard.kind, 0);
  // All 64 numbers are tried; only the listed drives keep their handles open.
  EXPECT_EQ(machine.TraceWith(" OPEN ").size(), 64u + 2u);  // + the volume, once per disk
  EXPECT_EQ(machine.bay().OpenHandleCount(), 2);
}

TEST(HardDriveDiscovery, RemovableAndOpticalDevicesAreNotListed) {
  BayMachine machine(std::string(R"(
[disk 0]
vendor = Generic
product = Flash Disk
removable = yes
ata_paths = none
[disk 1]
type = 5
vendor = ACMEOPT
product = DVD-ROM 16X
[disk 2]
model = REAL DISK
ata_paths = sat12
)") + kVolumes);
  auto list = Discover();

  ASSERT_EQ(list->driveCount, 1);
  EXPECT_EQ(list->slots[0].hard.physicalDriveNumber, 2);
  EXPECT_EQ(machine.bay().OpenHandleCount(), 1);  // the skipped devices were closed
}

struct CapacityCase {
  const char* name;
  const char* disk;
  uint64_t capacity;
};

TEST(HardDriveDiscovery, CapacityFromReadCapacityThenGeometry) {
  const CapacityCase cases[] = {
      {"read capacity only", "last_lba = 976773167\nproperty = fail\n", 500107862016ull},
      {"geometry replaces it",
       "last_lba = 976773167\ncylinders = 60801\ntracks_per_cylinder = 255\n"
       "sectors_per_track = 63\nbytes_per_sector = 512\n",
       500105249280ull},
      {"property but no geometry", "last_lba = 976773167\ngeometry = fail\n", 500107862016ull},
      {"last LBA with the top bit set", "last_lba = 0x80000000\nproperty = fail\n",
       0x80000001ull * 512},
      {"largest 32-bit LBA, 4K blocks",
       "last_lba = 0xFFFFFFFF\nblock_length = 4096\nproperty = fail\n", 0x100000000ull * 4096},
  };
  for (const CapacityCase& c : cases) {
    BayMachine machine(std::string("[disk 0]\nata_paths = none\n") + c.disk + kVolumes);
    auto list = Discover();
    ASSERT_EQ(list->driveCount, 1) << c.name;
    EXPECT_EQ(list->slots[0].hard.capacityBytes, c.capacity) << c.name;
  }
}

TEST(HardDriveDiscovery, NameComesFromTheLastSourceThatAnswered) {
  struct Case {
    const char* name;
    const char* disk;
    const char* displayName;
  };
  const Case cases[] = {
      {"INQUIRY only", "vendor = ACME\nproduct = Disk 3000\nproperty = fail\nata_paths = none\n",
       "ACME    Disk 3000"},
      {"property strings",
       "vendor = ACME\nproduct = Disk 3000\nproperty_vendor = none\n"
       "property_product = \"Storage Disk\"\nata_paths = none\n",
       "Storage Disk"},
      {"INQUIRY fails, property names it",
       "inquiry = fail\nproperty_vendor = \"USB \"\nproperty_product = \"Bridge Disk\"\n"
       "ata_paths = none\n",
       "USB Bridge Disk"},
      {"INQUIRY fails, IDENTIFY names it",
       "inquiry = fail\nproperty_vendor = \"USB \"\nmodel = \"  ACME AD3200BXT  \"\n"
       "ata_paths = vendor_df\n",
       "ACME AD3200BXT"},
  };
  for (const Case& c : cases) {
    BayMachine machine(std::string("[disk 0]\n") + c.disk + kVolumes);
    auto list = Discover();
    ASSERT_EQ(list->driveCount, 1) << c.name;
    EXPECT_STREQ(list->slots[0].hard.displayName, c.displayName) << c.name;
  }
}

TEST(HardDriveDiscovery, DiskWithNoWorkingPathIsListedWithoutAtaFeatures) {
  BayMachine machine(std::string("[disk 0]\nmodel = QUIET\napm = 128\naam = 128\n"
                                 "ata_paths = none\n") +
                     kVolumes);
  auto list = Discover();

  ASSERT_EQ(list->driveCount, 1);
  const HardDriveInfo& drive = list->slots[0].hard;
  EXPECT_EQ(drive.ataPath, PathNone);
  EXPECT_STREQ(drive.serialText, "");
  EXPECT_EQ(drive.apmSupported, 0);
  EXPECT_EQ(drive.aamSupported, 0);
  // The probe tried all five paths in order.
  std::vector<std::string> probes;
  for (const std::string& line : machine.bay().Trace()) {
    if (line.find(" ATA ") != std::string::npos) probes.push_back("ATA");
    if (line.find(" SMART_RCV ") != std::string::npos) probes.push_back("SMART");
    if (line.find(" SPTD A1") != std::string::npos) probes.push_back("A1");
    if (line.find(" SPTD DF") != std::string::npos) probes.push_back("DF");
    if (line.find(" SPTD F8") != std::string::npos) probes.push_back("F8");
  }
  // The power mode on each path that returns registers, then IDENTIFY, SMART last.
  EXPECT_EQ(probes, (std::vector<std::string>{"ATA", "A1", "DF", "F8", "ATA", "A1", "DF", "F8",
                                              "SMART"}));
}

TEST(HardDriveDiscovery, SerialAndFeatureBitsFromIdentify) {
  struct Case {
    const char* serial;
    const char* serialText;
    const char* features;
    int apm, aam;
  };
  const Case cases[] = {
      {"\"    S012345678ABCDEF\"", "#    S012345678ABCDEF", "apm = 128\naam = unsupported", 1, 0},
      {"\"S012345678ABCDEF    \"", "#S012345678ABCDEF", "apm = unsupported\naam = 200", 0, 1},
      {"\"12345678901234567890\"", "#12345678901234567890", "apm = disabled\naam = disabled", 1,
       1},
  };
  for (const Case& c : cases) {
    BayMachine machine(std::string("[disk 0]\nata_paths = ata_pass_through\nserial = ") +
                       c.serial + "\n" + c.features + "\n" + kVolumes);
    auto list = Discover();
    ASSERT_EQ(list->driveCount, 1);
    EXPECT_STREQ(list->slots[0].hard.serialText, c.serialText);
    EXPECT_EQ(list->slots[0].hard.apmSupported, c.apm) << c.features;
    EXPECT_EQ(list->slots[0].hard.aamSupported, c.aam) << c.features;
  }
}

// Each path, with the disk awake and asleep. An awake disk is identified
// once; a sleeping one (which spins up for IDENTIFY and READ CAPACITY, as many
// USB bridges do) is listed under the bus's name and left asleep. A disk that
// SMART reaches as well gets the path that can tell its power mode.
TEST(HardDriveDiscovery, EachPathIsFoundWithoutWakingASleepingDisk) {
  struct Case {
    const char* paths;
    int32_t expected;
  };
  const Case cases[] = {
      {"smart, sat12", PathSat12},          {"ata_pass_through, smart", PathAtaPassThrough},
      {"sat12", PathSat12},                 {"vendor_df", PathVendorDF},
      {"vendor_df\ndf_layout = 4", PathVendorDF},
      {"vendor_f8, vendor_df", PathVendorDF}, {"vendor_f8", PathVendorF8},
      {"smart", PathSmart},
  };
  for (const Case& c : cases) {
    for (const char* power : {"active", "standby"}) {
      const bool asleep = std::string(power) == "standby" && c.expected != PathSmart;
      BayMachine machine(std::string("[disk 0]\nvendor = USB\nproduct = BRIDGE\nmodel = M\n") +
                         "serial = S1\napm = 128\npower_mode = " + power +
                         "\nwakes_on = identify, read_capacity\nata_paths = " + c.paths + "\n" +
                         kVolumes);
      auto list = Discover();
      const std::string what = std::string(c.paths) + ", " + power;
      ASSERT_EQ(list->driveCount, 1) << what;
      const HardDriveInfo& drive = list->slots[0].hard;
      EXPECT_EQ(drive.ataPath, c.expected) << what;
      // IDENTIFY that reached the drive: SMART comes after the others failed.
      const char* identify = c.expected == PathSmart ? "SMART_RCV" : "A0EC";
      EXPECT_EQ(machine.TraceWith(identify).size(), asleep ? 0u : 1u) << what;
      EXPECT_TRUE(machine.TraceWith(" SPTD 25").empty()) << what;  // the geometry gave the size
      EXPECT_EQ(drive.identityPending, asleep ? 1 : 0) << what;
      EXPECT_STREQ(drive.displayName, asleep ? "USB     BRIDGE          " : "M") << what;
      EXPECT_STREQ(drive.serialText, asleep ? "" : "#S1") << what;
      EXPECT_EQ(drive.apmSupported, asleep ? 0 : 1) << what;
      if (asleep) {
        EXPECT_EQ(machine.bay().DiskPowerMode(0), 0x00) << what;
      }
    }
  }
}

// Answers the standards allow beyond the common ones. A disk that can say it
// sleeps (Standby_y too, and behind a bridge that answers in fixed-format
// sense) is left asleep; one whose answers cannot be judged (a read-back that
// fails, a driver that hands back zeros) is found by IDENTIFY instead; a
// bridge that never answers a vendor block costs one time-out, not two.
TEST(HardDriveDiscovery, EveryAnswerTheStandardsAllow) {
  struct Case {
    const char* disk;
    int32_t path;
    bool pending;
    size_t identifies;
    const char* serial;
  };
  const Case cases[] = {
      {"ata_paths = sat12\nsat_sense = fixed\npower_mode = standby", PathSat12, true, 0, ""},
      {"ata_paths = sat12\nsat_sense = fixed", PathSat12, false, 1, "#S1"},
      {"ata_paths = ata_pass_through\npower_mode = standby_y", PathAtaPassThrough, true, 0, ""},
      {"ata_paths = vendor_f8\npower_mode = standby_y", PathVendorF8, true, 0, ""},
      {"ata_paths = sat12, vendor_df\npower_mode = idle_b", PathSat12, false, 1, "#S1"},
      {"ata_paths = vendor_df\ndf_layout = 4\ndf_wide_read = no", PathVendorDF, false, 1, "#S1"},
      {"ata_paths = ata_pass_through\nata_pass_through_registers = zero\npower_mode = standby",
       PathAtaPassThrough, false, 1, "#S1"},
      {"ata_paths = vendor_f8\npower_mode = standby\nproperty_serial = \" BRIDGE-7 \"",
       PathVendorF8, true, 0, "#BRIDGE-7"},
      {"ata_paths = none\nnever_answers = DF F8\nproperty_serial = U1", PathNone, false, 0, "#U1"},
  };
  for (const Case& c : cases) {
    BayMachine machine(std::string("[system]\ntime_scale = 600\n[disk 0]\nmodel = M\n") +
                       "serial = S1\nwakes_on = identify, read_capacity\n" + c.disk + "\n" +
                       kVolumes);
    auto list = Discover();
    ASSERT_EQ(list->driveCount, 1) << c.disk;
    const HardDriveInfo& drive = list->slots[0].hard;
    EXPECT_EQ(drive.ataPath, c.path) << c.disk;
    EXPECT_EQ(drive.identityPending, c.pending ? 1 : 0) << c.disk;
    size_t identifies = 0;  // that reached the drive
    for (const std::string& line : machine.TraceWith("A0EC"))
      if (line.find("-> ok") != std::string::npos || line.find("-> status=00") != std::string::npos)
        ++identifies;
    EXPECT_EQ(identifies, c.identifies) << c.disk;
    EXPECT_TRUE(machine.TraceWith(" SPTD 25").empty()) << c.disk;  // no READ CAPACITY either
    EXPECT_STREQ(drive.serialText, c.serial) << c.disk;
    if (c.pending) {
      EXPECT_NE(machine.bay().DiskPowerMode(0) & 0x80, 0x80) << c.disk;
    }
    // The vendor blocks a bridge never answers: one, given up after a minute.
    const std::vector<std::string> timeouts = machine.TraceWith("-> timeout");
    EXPECT_EQ(timeouts.size(), c.path == PathNone ? 1u : 0u) << c.disk;
    for (const std::string& line : timeouts) EXPECT_NE(line.find("timeout=60s"), std::string::npos);
  }
}

// Windows in a VHD file, or on a Storage Spaces disk: the disks beneath it
// are not known, so none may be sent to standby.
TEST(HardDriveDiscovery, WindowsOnAVirtualDiskLeavesEveryDiskUnknown) {
  for (const char* bus : {"sata", "file_backed_virtual", "spaces"}) {
    BayMachine machine(std::string("[disk 0]\nata_paths = sat12\n[disk 1]\nata_paths = sat12\n"
                                   "[disk 2]\nbus_type = ") + bus + "\n[volume C]\nextents = 2\n");
    auto list = Discover();
    ASSERT_EQ(list->driveCount, 3);
    const bool virtualDisk = std::string(bus) != "sata";
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(list->slots[i].hard.systemDriveUnknown, virtualDisk ? 1 : 0) << bus << " " << i;
  }
}

TEST(HardDriveDiscovery, ReadCapacityOnlyWhenTheDriverGivesNoSize) {
  for (const char* geometry : {"ok", "fail"}) {
    BayMachine machine(std::string("[disk 0]\nata_paths = sat12\nlast_lba = 976773167\n") +
                       "geometry = " + geometry + "\n" + kVolumes);
    auto list = Discover();
    ASSERT_EQ(list->driveCount, 1);
    EXPECT_EQ(machine.TraceWith(" SPTD 25").size(), std::string(geometry) == "ok" ? 0u : 1u);
  }
}

TEST(HardDriveDiscovery, StrictBridgeThatMovesNoIdentifyDataIsNoPath) {
  // The property query's name stays; no serial and no features are invented.
  BayMachine strictOnly(std::string("[disk 0]\nmodel = REAL MODEL\nvendor = ACME\nproduct = BRIDGE\n"
                                    "ata_paths = sat12\nsat_strict = yes\napm = 128\naam = 200\n") +
                        kVolumes);
  auto list = Discover();
  ASSERT_EQ(list->driveCount, 1);
  EXPECT_EQ(list->slots[0].hard.ataPath, PathNone);
  EXPECT_STREQ(list->slots[0].hard.displayName, "ACME    BRIDGE          ");
  EXPECT_STREQ(list->slots[0].hard.serialText, "");
}

TEST(HardDriveDiscovery, StrictBridgeWithAVendorPathBehindIt) {
  BayMachine machine(std::string("[disk 0]\nmodel = REAL MODEL\nserial = S1\n"
                                 "ata_paths = sat12, vendor_f8\nsat_strict = yes\napm = 128\n"
                                 "aam = 200\n") +
                     kVolumes);
  auto list = Discover();
  ASSERT_EQ(list->driveCount, 1);
  EXPECT_EQ(list->slots[0].hard.ataPath, PathVendorF8);
  EXPECT_STREQ(list->slots[0].hard.displayName, "REAL MODEL");
  EXPECT_STREQ(list->slots[0].hard.serialText, "#S1");
  EXPECT_EQ(list->slots[0].hard.apmSupported, 1);
  EXPECT_EQ(list->slots[0].hard.aamSupported, 1);
}

const char* const kTwoDisks = R"(
[system]
windows_directory = %s
[disk 0]
ata_paths = sat12
[disk 1]
ata_paths = sat12
[volume C]
name = \\?\Volume{c}\
extents = 0
[volume D]
name = \\?\Volume{d}\
extents = %s
[volume E]
name = \\?\Volume{e}\
type = cdrom
extents = none
)";

std::string TwoDisks(const char* windowsDirectory, const char* dExtents) {
  char text[1024];
  std::snprintf(text, sizeof text, kTwoDisks, windowsDirectory, dExtents);
  return text;
}

TEST(HardDriveDiscovery, SystemDriveIsTheDiskOfTheWindowsVolume) {
  struct Case {
    const char* windows;
    const char* dExtents;
    uint8_t disk0, disk1;
  };
  const Case cases[] = {
      {"C:\\WINDOWS", "1", 1, 0},
      {"D:\\WINDOWS", "1", 0, 1},
      {"d:\\windows", "1", 0, 1},
      {"D:\\WINDOWS", "0:1048576:1000000 1:1048576:1000000", 1, 1},  // spanning both
      {"C:\\WINDOWS", "0:1048576:1000000 1:1048576:1000000", 1, 0},
      {"E:\\WINDOWS", "1", 0, 0},
  };
  for (const Case& c : cases) {
    BayMachine machine(TwoDisks(c.windows, c.dExtents));
    auto list = Discover();
    ASSERT_EQ(list->driveCount, 2);
    EXPECT_EQ(list->slots[0].hard.isSystemDrive, c.disk0) << c.windows << " " << c.dExtents;
    EXPECT_EQ(list->slots[1].hard.isSystemDrive, c.disk1) << c.windows << " " << c.dExtents;
  }
}

// A Windows volume of `count` extents: all on disk 1 but the last, which
// lies on disk `lastDisk`.
std::string ManyExtents(int count, int lastDisk) {
  std::string extents;
  for (int i = 0; i < count - 1; ++i) extents += "1:" + std::to_string(1048576 + i * 4096) + ":4096 ";
  extents += std::to_string(lastDisk) + ":1048576:4096";
  return "[disk 0]\nata_paths = sat12\n[disk 1]\nata_paths = sat12\n[disk 2]\n"
         "ata_paths = sat12\n[volume C]\nextents = " + extents + "\n";
}

TEST(HardDriveDiscovery, WindowsVolumeWithMoreExtentsThanTheFirstAnswerHolds) {
  // 21 extents fit the 512-byte answer; 22 need a second, larger one.
  for (int count : {21, 22, 200}) {
    BayMachine machine(ManyExtents(count, 0));
    auto list = Discover();
    ASSERT_EQ(list->driveCount, 3);
    EXPECT_EQ(list->slots[0].hard.isSystemDrive, 1) << count;
    EXPECT_EQ(list->slots[1].hard.isSystemDrive, 1) << count;
    EXPECT_EQ(list->slots[2].hard.isSystemDrive, 0) << count;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list->slots[i].hard.systemDriveUnknown, 0) << count;
    const size_t queries = machine.TraceWith(" EXTENTS ").size();
    EXPECT_EQ(queries, count > 21 ? 6u : 3u) << count;  // per disk: 512 bytes, then whole
  }
}

TEST(HardDriveDiscovery, WindowsVolumeWithoutReadableExtentsMarksEveryDiskUnknown) {
  // The Windows volume lies on no disk the query can name (as a volume
  // that cannot be opened or queried): no disk is known to be free of it.
  BayMachine machine(
      "[disk 0]\nata_paths = sat12\n[disk 1]\nata_paths = sat12\n[volume C]\nextents = none\n"
      "[volume D]\nextents = 1\n");
  auto list = Discover();
  ASSERT_EQ(list->driveCount, 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(list->slots[i].hard.isSystemDrive, 0) << i;
    EXPECT_EQ(list->slots[i].hard.systemDriveUnknown, 1) << i;
  }
}

TEST(HardDriveDiscovery, OpticalVolumesAreNeverOpened) {
  BayMachine machine(TwoDisks("C:\\WINDOWS", "1"));
  auto list = Discover();
  ASSERT_EQ(list->driveCount, 2);
  EXPECT_TRUE(machine.TraceWith("Volume{e}").size() > 0);  // it was enumerated...
  EXPECT_TRUE(machine.TraceWith("\\\\?\\Volume{e} OPEN").empty());  // ...never opened
  EXPECT_EQ(machine.TraceWith("\\\\?\\Volume{c} OPEN").size(), 2u);  // once per disk
  EXPECT_EQ(machine.bay().OpenHandleCount(), 2);  // volume handles closed again
}

// ---------------------------------------------------------------------------
// The four ATA commands against the simulated drive on every path.
// ---------------------------------------------------------------------------

class AtaOnEveryPath : public testing::TestWithParam<const char*> {};

TEST_P(AtaOnEveryPath, SetFeaturesAndStandbyChangeTheDrive) {
  BayMachine machine(std::string("[disk 0]\napm = 128\naam = 254\npower_mode = active\n"
                                 "ata_paths = ") +
                     GetParam() + "\n" + kVolumes);
  auto list = Discover();
  ASSERT_EQ(list->driveCount, 1);
  const HardDriveInfo& drive = list->slots[0].hard;
  sim::Bay& bay = machine.bay();

  EXPECT_TRUE(AtaSetFeatures(drive, kFeatureEnableApm, 96));
  EXPECT_EQ(bay.DiskApm(0).level, 96);
  EXPECT_TRUE(AtaSetFeatures(drive, kFeatureDisableApm, 0));
  EXPECT_FALSE(bay.DiskApm(0).enabled);
  EXPECT_TRUE(AtaSetFeatures(drive, kFeatureEnableAam, 128));
  EXPECT_EQ(bay.DiskAam(0).level, 128);
  EXPECT_TRUE(AtaSetFeatures(drive, kFeatureDisableAam, 0));
  EXPECT_FALSE(bay.DiskAam(0).enabled);

  EXPECT_TRUE(AtaStandbyImmediate(drive));
  EXPECT_EQ(bay.DiskPowerMode(0), 0x00);

  uint8_t identify[512];
  EXPECT_TRUE(AtaIdentifyDevice(drive, identify, 512));
  EXPECT_EQ(identify[2 * 86] & 0x08, 0);  // APM no longer enabled
}

TEST_P(AtaOnEveryPath, CheckPowerModeReportsWhatThePathCanReturn) {
  BayMachine machine(std::string("[disk 0]\npower_mode = idle\nata_paths = ") + GetParam() +
                     "\n" + kVolumes);
  auto list = Discover();
  ASSERT_EQ(list->driveCount, 1);
  const HardDriveInfo& drive = list->slots[0].hard;

  AtaTaskFile out = {};
  out.sectorCount = 0x5A;
  EXPECT_TRUE(AtaCheckPowerMode(drive, &out));
  if (drive.ataPath == PathSmart)
    EXPECT_EQ(out.sectorCount, 0x5A);  // no registers come back on this path
  else
    EXPECT_EQ(out.sectorCount, 0x80);
}

INSTANTIATE_TEST_SUITE_P(Paths, AtaOnEveryPath,
                         testing::Values("smart", "ata_pass_through", "sat12", "vendor_df",
                                         "vendor_f8"));

TEST(AtaCommands, RefusedLevelsFailWhereThePathReportsIt) {
  struct Case {
    const char* paths;
    bool reported;  // does the path report an aborted command?
  };
  const Case cases[] = {
      {"smart", true}, {"ata_pass_through", false}, {"sat12", true},
      {"vendor_df", false}, {"vendor_f8", false},
  };
  for (const Case& c : cases) {
    BayMachine machine(std::string("[disk 0]\napm = 128\naam = unsupported\nata_paths = ") +
                       c.paths + "\n" + kVolumes);
    auto list = Discover();
    const HardDriveInfo& drive = list->slots[0].hard;
    EXPECT_EQ(AtaSetFeatures(drive, kFeatureEnableApm, 0), !c.reported) << c.paths;
    EXPECT_EQ(AtaSetFeatures(drive, kFeatureEnableAam, 200), !c.reported) << c.paths;
    EXPECT_EQ(machine.bay().DiskApm(0).level, 128) << c.paths;
  }
}

TEST(AtaCommands, FilteredSmartPathIdentifiesButCannotCommand) {
  BayMachine machine(std::string("[disk 0]\napm = 128\nata_paths = smart\nsmart_filter = yes\n") +
                     kVolumes);
  auto list = Discover();
  const HardDriveInfo& drive = list->slots[0].hard;
  ASSERT_EQ(drive.ataPath, PathSmart);
  EXPECT_EQ(drive.apmSupported, 1);
  EXPECT_FALSE(AtaSetFeatures(drive, kFeatureEnableApm, 200));
  EXPECT_FALSE(AtaStandbyImmediate(drive));
  EXPECT_EQ(machine.bay().DiskPowerMode(0), 0xFF);
}

TEST(AtaCommands, SatIdentifyAndCheckPowerModeOnTheWire) {
  BayMachine machine(
      "[disk 1]\npower_mode = standby\nata_paths = sat12\n[volume C]\nextents = 1\n");
  auto list = Discover();
  ASSERT_EQ(list->driveCount, 1);
  machine.bay().ClearTrace();
  AtaTaskFile out = {};
  ASSERT_TRUE(AtaCheckPowerMode(list->slots[0].hard, &out));
  EXPECT_EQ(out.sectorCount, 0x00);
  uint8_t identify[512];
  ASSERT_TRUE(AtaIdentifyDevice(list->slots[0].hard, identify, 512));
  EXPECT_EQ(machine.bay().Trace(),
            (std::vector<std::string>{
                "PhysicalDrive1 SPTD A1062C0000000000A0E50000 len=0 dir=in -> status=02",
                "PhysicalDrive1 SPTD A1080D0000000000A0EC0000 len=512 dir=in -> status=00",
            }));
}

}  // namespace
