// The bay-file reader: errors name their line, values and defaults are read
// as documented, and the sample bay loads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "BaySupport.h"
#include "sim/BayFile.h"

namespace {

struct BadFile {
  const char* text;
  const char* message;  // expected error, which starts with the line
};

class BayFileErrors : public ::testing::TestWithParam<BadFile> {};

TEST_P(BayFileErrors, NameTheLine) {
  sim::BayConfig config;
  std::string error;
  ASSERT_FALSE(sim::ParseBayText(GetParam().text, &config, &error));
  EXPECT_EQ(error.substr(0, std::string(GetParam().message).size()), GetParam().message) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Bay, BayFileErrors,
    ::testing::Values(
        BadFile{"type = 0\n", "line 1: 'type' appears before any [section]"},
        BadFile{"[disk 0]\n\n; comment\nfoo = 1\n", "line 4: unknown key 'foo' in [disk 0]"},
        BadFile{"[disk 0]\n[disk 0]\n", "line 2: [disk 0] appears twice (first on line 1)"},
        BadFile{"[disk x]\n", "line 1: a disk number must be"},
        BadFile{"[disk 1]\ntype = 0\ntype = 5\n", "line 3: 'type' is given twice"},
        BadFile{"[disk 1]\nvendor = NINECHARS\n", "line 2: 'NINECHARS' is longer than 8"},
        BadFile{"[disk 1]\nmodel = \"unterminated\n", "line 2: a quoted value must end"},
        BadFile{"[disk 1]\napm = 255\n", "line 2: expected unsupported, disabled or a level"},
        BadFile{"[disk 1]\naam = 127\n", "line 2: expected unsupported, disabled or a level"},
        BadFile{"[disk 1]\nata_paths = smart, scsi\n", "line 2: unknown ATA path 'scsi'"},
        BadFile{"[disk 1]\npower_mode = asleep\n", "line 2: expected one of active, idle"},
        BadFile{"[disk 1]\nnever_answers = DF 1F8\n", "line 2: expected none or opcodes"},
        BadFile{"[system]\ntime_scale = 0\n", "line 2: expected a number from 1 to 100000"},
        BadFile{"[disk 0]\n[volume C]\nextents = 0 3\n", "line 3: an extent is on disk 3"},
        BadFile{"[volume C]\n[volume c]\n", "line 2: drive letter C: has two volumes"},
        BadFile{"[volume]\nname = Volume{1}\n", "line 2: a volume name looks like"},
        BadFile{"[optical E]\n[optical e:]\n",
                "line 2: [optical E] appears twice (first on line 1)"},
        BadFile{"[optical EF]\n", "line 1: an optical drive's letter must be one letter"},
        BadFile{"[optical E]\ncd_speeds = 7056, 0\n", "line 2: a read speed is a number of KB/s"},
        BadFile{"[optical E]\nmedium = dvd-video\n", "line 2: expected none, a medium such as"},
        BadFile{"[optical E]\nset_streaming = sometimes\n", "line 2: expected one of honoured"},
        BadFile{"[optical E]\nbd_speeds = none\nmedium = bd-re\n",
                "line 3: the drive reads no bd medium; give it bd_speeds"},
        BadFile{"[optical E]\nlast_lba = 100\n", "line 1: [optical E] has last_lba but no medium"},
        BadFile{"[optical E]\n[volume E]\ntype = fixed\n",
                "line 2: [volume E] belongs to [optical E] and must have type = cdrom"},
        BadFile{"[optical E]\nserial = ok\nspeed = 1\n",
                "line 3: unknown key 'speed' in [optical E]"},
        BadFile{"[disk 0]\njust words\n", "line 2: expected 'key = value'"},
        BadFile{"[system]\nwindows_directory = WINDOWS\n", "line 2: windows_directory must"},
        // A hexadecimal section number is refused in either case.
        BadFile{"[disk 0x1F]\n", "line 1: a disk number must be"},
        BadFile{"[disk 0X1F]\n", "line 1: a disk number must be"},
        // A geometry whose size does not fit 64 bits, with or without cylinders.
        BadFile{"[disk 0]\ntracks_per_cylinder = 2147483648\nsectors_per_track = 2147483648\n",
                "line 3: the geometry's size"},
        BadFile{"[disk 0]\nsectors_per_track = 4294967295\ncylinders = 4294967296\n"
                "tracks_per_cylinder = 4294967295\nmodel = M\n",
                "line 4: the geometry's size"}));

TEST(BayFile, GeometryThatFitsGivesItsCylinders) {
  sim::BayConfig config;
  std::string error;
  ASSERT_TRUE(sim::ParseBayText("[disk 0]\nlast_lba = 999999\ntracks_per_cylinder = 65536\n"
                                "sectors_per_track = 65536\nbytes_per_sector = 4096\n",
                                &config, &error))
      << error;
  // 2^44 bytes a cylinder is more than the 512 MB disk: no whole cylinder.
  EXPECT_EQ(config.disks[0].cylinders, 0u);
  ASSERT_TRUE(sim::ParseBayText("[disk 0]\ncylinders = 1\ntracks_per_cylinder = 4294967295\n"
                                "sectors_per_track = 4294967295\nbytes_per_sector = 1\n",
                                &config, &error))
      << error;
  EXPECT_EQ(config.disks[0].cylinders, 1u);  // (2^32 - 1)^2 bytes still fit
}

TEST(BayFile, QuotesKeepBlanksAndInlineCommentsAreDropped) {
  sim::BayConfig config;
  std::string error;
  ASSERT_TRUE(
      sim::ParseBayText("[disk 2]  ; second disk\n"
                        "serial = \"    S012345678ABCDEF\"  # leading blanks kept\n"
                        "model = Disk; with semicolon\n"
                        "property_vendor = none\n"
                        "property_product = \"none\"\n",
                        &config, &error))
      << error;
  const sim::DiskConfig& disk = config.disks.at(2);
  EXPECT_EQ(disk.ata.serial, "    S012345678ABCDEF");
  EXPECT_EQ(disk.ata.model, "Disk; with semicolon");
  EXPECT_FALSE(disk.hasPropertyVendor);
  EXPECT_TRUE(disk.hasPropertyProduct);
  EXPECT_EQ(disk.propertyProduct, "none");
}

TEST(BayFile, DefaultsFollowFromModelAndCapacity) {
  sim::BayConfig config;
  std::string error;
  ASSERT_TRUE(
      sim::ParseBayText("[disk 0]\nmodel = TV500GB0001 VERY LONG MODEL\nfirmware = CC38\n"
                        "last_lba = 976773167\n[volume C]\nextents = 0\n",
                        &config, &error))
      << error;
  const sim::DiskConfig& disk = config.disks.at(0);
  EXPECT_EQ(disk.vendor, "ATA     ");
  EXPECT_EQ(disk.product, "TV500GB0001 VERY");
  EXPECT_EQ(disk.revision, "CC38");
  EXPECT_EQ(disk.ata.sectors, 976773168u);
  EXPECT_EQ(disk.cylinders, 60801u);  // 500 107 862 016 / (255 * 63 * 512)
  EXPECT_EQ(config.windowsDirectory, "C:\\WINDOWS");
  ASSERT_EQ(config.volumes.size(), 1u);
  EXPECT_EQ(config.volumes[0].extents[0].start, 1048576u);
  EXPECT_EQ(config.volumes[0].extents[0].length, 500107862016u - 1048576u);
}

TEST(BayFile, OpticalDefaultsAndItsVolume) {
  sim::BayConfig config;
  std::string error;
  ASSERT_TRUE(
      sim::ParseBayText("[volume C]\n[optical e]\ncd_speeds = 2822, 7056 5645, 7056\n"
                        "medium = dvd+r-dl\nreported_speed = 4000\n",
                        &config, &error))
      << error;
  const sim::OpticalConfig& drive = config.opticals.at('E');
  EXPECT_EQ(drive.vendor, "SIMOPT  ");
  EXPECT_EQ(drive.product, "OPTICAL DRIVE E ");
  EXPECT_EQ(drive.revision, "1.00");
  EXPECT_EQ(drive.serial, "SIMOPTE01");
  EXPECT_TRUE(drive.hasSerial);
  EXPECT_EQ(drive.cdSpeeds, (std::vector<uint32_t>{7056, 5645, 2822}));  // fastest first, once
  EXPECT_EQ(drive.dvdSpeeds, (std::vector<uint32_t>{22160, 16620, 11080, 5540, 2770}));
  EXPECT_TRUE(drive.bdSpeeds.empty());
  EXPECT_EQ(drive.medium.profile, 0x002B);
  EXPECT_EQ(drive.medium.lastLba, 4173823u);  // dual layer
  EXPECT_EQ(drive.capabilitiesReport, sim::ReportedSpeed::kFixed);
  EXPECT_EQ(drive.capabilitiesFixed, 4000u);
  EXPECT_EQ(drive.performanceReport, sim::ReportedSpeed::kFixed);
  EXPECT_EQ(drive.performanceFixed, 4000u);
  EXPECT_EQ(drive.setCdSpeed, sim::SpeedCommandAnswer::kHonoured);
  EXPECT_EQ(drive.powerPage, sim::PowerPageAnswer::kWritable);
  EXPECT_TRUE(drive.power.idle);
  EXPECT_EQ(drive.power.idleTimer, 3000u);
  EXPECT_EQ(drive.power.standbyTimer, 6000u);
  // The drive's CD-ROM volume comes after the written ones.
  ASSERT_EQ(config.volumes.size(), 2u);
  EXPECT_EQ(config.volumes[1].letter, 'E');
  EXPECT_EQ(config.volumes[1].driveType, 5u);
  EXPECT_EQ(config.volumes[1].name, "\\\\?\\Volume{00000000-0000-0000-0000-000000000002}\\");
}

TEST(BayFile, LoadFileNamesTheFileInErrors) {
  sim::Bay bay;
  std::string error;
  EXPECT_FALSE(bay.LoadFile("/nonexistent/none.bay", &error));
  EXPECT_EQ(error, "cannot read the bay file /nonexistent/none.bay");
  const std::string path = ::testing::TempDir() + "broken.bay";
  std::ofstream(path) << "[disk 0]\r\nbogus = 1\r\n";
  EXPECT_FALSE(bay.LoadFile(path, &error));
  EXPECT_EQ(error, path + ": line 2: unknown key 'bogus' in [disk 0]");
}

TEST(BayFile, ADirectoryIsNotABayFile) {
  sim::Bay bay;
  std::string error;
  const std::string directory = ::testing::TempDir();
  EXPECT_FALSE(bay.LoadFile(directory, &error));
  EXPECT_EQ(error, "cannot read the bay file " + directory);
}

TEST(BayFile, LastLineNeedsNoLineEnd) {
  sim::Bay bay;
  std::string error;
  const std::string path = ::testing::TempDir() + "unended.bay";
  std::ofstream(path, std::ios::binary) << "[disk 5]\r\n\r\nbogus = 1";
  EXPECT_FALSE(bay.LoadFile(path, &error));
  EXPECT_EQ(error, path + ": line 3: unknown key 'bogus' in [disk 5]");
}

TEST(BayFile, FailedLoadKeepsTheMachine) {
  sim::Bay bay;
  std::string error;
  ASSERT_TRUE(bay.LoadText("[disk 3]\n", &error));
  EXPECT_FALSE(bay.LoadText("[disk 4]\nnope = 1\n", &error));
  EXPECT_TRUE(bay.HasDisk(3));
  EXPECT_FALSE(bay.HasDisk(4));
}

TEST(BayFile, SampleBayLoads) {
  // CTest names the source tree; run by hand, this file's own path tells it.
  const char* source = std::getenv("TORVANE_SOURCE_DIR");
  std::string root = source ? source : __FILE__;
  if (!source) root = root.substr(0, root.rfind("/tests/sim/"));
  sim::Bay bay;
  std::string error;
  ASSERT_TRUE(bay.LoadFile(root + "/examples/sample.bay", &error)) << error;
  EXPECT_TRUE(bay.HasDisk(0));
  sim::ScopedBayInstall install(bay);
  char name[100] = {};
  EXPECT_TRUE(platform::GetVolumeNameForVolumeMountPointA("C:\\", name, sizeof name));
  EXPECT_EQ(platform::GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_CDROM));
  char windows[MAX_PATH] = {};
  platform::GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_STREQ(windows, "C:\\WINDOWS");

  // The optical drives: a DVD writer, a CD drive with a CD, a BD drive
  // without a disc, and a PX-7 drive with a DVD, each on a CD-ROM volume.
  struct Optical {
    char letter;
    uint16_t profile;
    int32_t speed;
  };
  for (const Optical& optical : {Optical{'E', 0x001B, 22160}, Optical{'G', 0x0009, 8448},
                                 Optical{'H', 0x0000, 0}, Optical{'I', 0x0010, 22160}}) {
    EXPECT_TRUE(bay.HasOptical(optical.letter)) << optical.letter;
    EXPECT_EQ(bay.OpticalProfile(optical.letter), optical.profile) << optical.letter;
    EXPECT_EQ(bay.OpticalCurrentSpeed(optical.letter), optical.speed) << optical.letter;
    const char root[] = {optical.letter, ':', '\\', 0};
    EXPECT_EQ(platform::GetDriveTypeA(root), static_cast<UINT>(DRIVE_CDROM)) << optical.letter;
  }
  HANDLE drive = platform::CreateFileA("\\\\.\\I:", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
  simtest::ScsiResult inquiry =
      simtest::SendCdb(drive, {0x12, 0, 0, 0, 68, 0, 0, 0, 0, 0, 0, 0}, 68);
  EXPECT_EQ(inquiry.data[0], 0x05);
  const std::string product(inquiry.data.begin() + 16, inquiry.data.begin() + 32);
  EXPECT_NE(product.find("PX-7"), std::string::npos) << product;
}

}  // namespace
