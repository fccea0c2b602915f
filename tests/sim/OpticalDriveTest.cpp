// The optical drive behind a drive letter: identification, GET
// CONFIGURATION, readiness and capacity by the medium, the tray, medium
// changes while the program runs, and the trace of its commands.
#include <atomic>
#include <chrono>
#include <thread>

#include "OpticalSupport.h"

namespace {

using simtest::Be16;
using simtest::Be32;
using simtest::Bytes;
using simtest::ScsiResult;
using simtest::SendCdb;
using simtest::SenseCode;

const char kDvdDrive[] =
    "[optical E]\nvendor = ACMEOPT\nproduct = DVDR   PX-7Q0X\nrevision = 1.04\n"
    "serial = 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
    "dvd_speeds = 22160, 16620, 11080, 8310, 5540, 2770\n"
    "cd_speeds = 7056 5645 4234 2822\nbd_speeds = 8990, 4495\n"
    "medium = dvd-rom\nlast_lba = 2295103\n";

// The feature descriptors of a GET CONFIGURATION answer: code and byte 2.
std::vector<std::pair<uint16_t, uint8_t>> Features(const Bytes& answer, size_t length) {
  std::vector<std::pair<uint16_t, uint8_t>> features;
  for (size_t at = 8; at + 4 <= length; at += 4 + answer[at + 3]) {
    features.emplace_back(static_cast<uint16_t>(Be16(answer, at)), answer[at + 2]);
  }
  return features;
}

class OpticalDrive : public simtest::OpticalTest {};

TEST_F(OpticalDrive, InquiryIdentifiesARemovableCdDvdDevice) {
  ScsiResult r = SendCdb(LoadDrive(kDvdDrive), simtest::InquiryCdb(68), 68);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 36u);
  EXPECT_EQ(r.data[0], 0x05);  // CD/DVD device
  EXPECT_EQ(r.data[1], 0x80);  // RMB
  EXPECT_EQ(std::string(r.data.begin() + 8, r.data.begin() + 36), "ACMEOPT DVDR   PX-7Q0X  1.04");
  EXPECT_EQ(r.data[36], 0xEE);
}

struct ProfileCase {
  const char* medium;
  uint16_t profile;
};

class OpticalProfiles : public simtest::OpticalTest,
                        public ::testing::WithParamInterface<ProfileCase> {};

TEST_P(OpticalProfiles, CurrentProfileFollowsTheMedium) {
  HANDLE drive = LoadDrive(kDvdDrive);
  ASSERT_TRUE(bay.SetOpticalMedium('e', GetParam().medium));
  ScsiResult r = SendCdb(drive, simtest::GetConfigurationCdb(1, 0, 8), 8);
  ASSERT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 8u);
  EXPECT_EQ(Be16(r.data, 6), GetParam().profile);
  EXPECT_GT(Be32(r.data, 0), 4u);  // the whole answer's length, though only 8 bytes were asked
  EXPECT_EQ(bay.OpticalProfile('E'), GetParam().profile);
}

INSTANTIATE_TEST_SUITE_P(
    Media, OpticalProfiles,
    ::testing::Values(ProfileCase{"none", 0x0000}, ProfileCase{"cd-rom", 0x0008},
                      ProfileCase{"CD-R", 0x0009}, ProfileCase{"cd-rw", 0x000A},
                      ProfileCase{"dvd-rom", 0x0010}, ProfileCase{"dvd+rw", 0x001A},
                      ProfileCase{"dvd+r-dl", 0x002B}, ProfileCase{"bd-rom", 0x0040},
                      ProfileCase{"bd-re", 0x0043}, ProfileCase{"0x0050", 0x0050}));

TEST_F(OpticalDrive, SerialFeatureCarriesALongSerialWhole) {
  ScsiResult r = SendCdb(LoadDrive(kDvdDrive), simtest::GetConfigurationCdb(2, 0x0108, 64), 64);
  ASSERT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 48u);
  EXPECT_EQ(Be32(r.data, 0), 44u);  // header 4 + descriptor 4 + 36 serial bytes
  EXPECT_EQ(Be16(r.data, 6), 0x0010u);
  EXPECT_EQ(Be16(r.data, 8), 0x0108u);
  EXPECT_EQ(r.data[10], 0x03);  // version 0, persistent, current
  EXPECT_EQ(r.data[11], 36);
  EXPECT_EQ(std::string(r.data.begin() + 12, r.data.begin() + 48),
            "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(r.data[48], 0xEE);

  // A short allocation length cuts the answer, not its data length.
  ScsiResult cut = SendCdb(Open("\\\\.\\E:"), simtest::GetConfigurationCdb(2, 0x0108, 20), 64);
  EXPECT_EQ(cut.transferred, 20u);
  EXPECT_EQ(Be32(cut.data, 0), 44u);
  EXPECT_EQ(cut.data[20], 0xEE);
}

struct SerialCase {
  const char* keys;
  uint8_t length;
  const char* bytes;
};

class OpticalSerials : public simtest::OpticalTest,
                       public ::testing::WithParamInterface<SerialCase> {};

TEST_P(OpticalSerials, AdditionalLengthAsTheDriveRoundsIt) {
  HANDLE drive = LoadDrive(std::string("[optical E]\n") + GetParam().keys);
  ScsiResult r = SendCdb(drive, simtest::GetConfigurationCdb(2, 0x0108, 64), 64);
  ASSERT_EQ(r.status, 0x00);
  EXPECT_EQ(r.data[11], GetParam().length);
  EXPECT_EQ(std::string(r.data.begin() + 12, r.data.begin() + 12 + GetParam().length),
            GetParam().bytes);
  EXPECT_EQ(r.transferred, 12u + GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Serials, OpticalSerials,
                         ::testing::Values(SerialCase{"serial = K1ZX5\n", 8, "K1ZX5   "},
                                           SerialCase{"serial = K1ZX5\nserial_pad = no\n", 5,
                                                      "K1ZX5"},
                                           SerialCase{"serial = \"  A1\"\n", 4, "  A1"}));

TEST_F(OpticalDrive, WithoutTheSerialFeatureOnlyTheHeaderComes) {
  HANDLE drive = LoadDrive("[optical E]\nserial = none\nmedium = cd-rom\n");
  ScsiResult r = SendCdb(drive, simtest::GetConfigurationCdb(2, 0x0108, 64), 64);
  ASSERT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 8u);
  EXPECT_EQ(Be32(r.data, 0), 4u);
  EXPECT_EQ(Be16(r.data, 6), 0x0008u);
  EXPECT_EQ(r.data[8], 0xEE);
  EXPECT_EQ(r.data[11], 0xEE);
}

// QEMU's emulated drive answers GET CONFIGURATION only from feature 0, and
// has no MODE SELECT at all.
TEST_F(OpticalDrive, AnEmulatedDriveThatRefusesOtherStartingFeaturesAndModeSelect) {
  HANDLE drive = LoadDrive("[optical E]\nstarting_feature = zero\nmode_select = no\n"
                           "medium = cd-rom\n");
  ScsiResult serial = SendCdb(drive, simtest::GetConfigurationCdb(2, 0x0108, 64), 64);
  EXPECT_EQ(serial.status, 0x02);
  EXPECT_EQ(SenseCode(serial), 0x052400u);  // INVALID FIELD IN CDB
  ScsiResult profile = SendCdb(drive, simtest::GetConfigurationCdb(1, 0, 8), 8);
  EXPECT_EQ(profile.status, 0x00);
  EXPECT_EQ(Be16(profile.data, 6), 0x0008u);
  ScsiResult select = simtest::SendCdbOut(drive, {0x55, 0x10, 0, 0, 0, 0, 0, 0, 20, 0, 0, 0},
                                 Bytes(20, 0));
  EXPECT_EQ(select.status, 0x02);
  EXPECT_EQ(SenseCode(select), 0x052000u);  // INVALID COMMAND OPERATION CODE
}

TEST_F(OpticalDrive, RtChoosesAllCurrentOrOneFeature) {
  HANDLE drive = LoadDrive(kDvdDrive);
  ScsiResult all = SendCdb(drive, simtest::GetConfigurationCdb(0, 0, 1024), 1024);
  ASSERT_EQ(all.status, 0x00);
  ASSERT_EQ(Be32(all.data, 0) + 4, all.transferred);
  const auto features = Features(all.data, all.transferred);
  std::vector<uint16_t> codes;
  for (const auto& feature : features) codes.push_back(feature.first);
  const std::vector<uint16_t> expected = {0x0000, 0x0001, 0x0002, 0x0003, 0x0010, 0x001D,
                                          0x001E, 0x001F, 0x0040, 0x0100, 0x0107, 0x0108};
  EXPECT_EQ(codes, expected);
  // With a DVD in, CD Read and BD Read are there but not current.
  for (const auto& feature : features) {
    const bool current =
        feature.first != 0x001D && feature.first != 0x001E && feature.first != 0x0040;
    EXPECT_EQ(feature.second & 0x01, current ? 1 : 0) << std::hex << feature.first;
  }

  ScsiResult current = SendCdb(drive, simtest::GetConfigurationCdb(1, 0x0010, 1024), 1024);
  std::vector<uint16_t> currentCodes;
  for (const auto& feature : Features(current.data, current.transferred)) {
    currentCodes.push_back(feature.first);
  }
  EXPECT_EQ(currentCodes, (std::vector<uint16_t>{0x0010, 0x001F, 0x0100, 0x0107, 0x0108}));

  ScsiResult one = SendCdb(drive, simtest::GetConfigurationCdb(2, 0x001E, 1024), 1024);
  ASSERT_EQ(one.transferred, 16u);
  EXPECT_EQ(Be16(one.data, 8), 0x001Eu);
  EXPECT_EQ(one.data[10], 0x08);  // version 2, neither persistent nor current

  ScsiResult reserved = SendCdb(drive, simtest::GetConfigurationCdb(3, 0, 64), 64);
  EXPECT_EQ(reserved.status, 0x02);
  EXPECT_EQ(SenseCode(reserved), 0x052400u);
}

TEST_F(OpticalDrive, ProfileListMarksTheMediumsProfileCurrent) {
  HANDLE drive = LoadDrive(kDvdDrive);
  ASSERT_TRUE(bay.SetOpticalMedium('E', "cd-rw"));
  ScsiResult r = SendCdb(drive, simtest::GetConfigurationCdb(2, 0x0000, 255), 255);
  ASSERT_EQ(Be16(r.data, 8), 0x0000u);
  EXPECT_EQ(r.data[10], 0x03);
  const size_t count = r.data[11] / 4;
  ASSERT_EQ(r.transferred, 12 + 4 * count);
  std::vector<uint16_t> currents;
  uint32_t previous = 0x10000;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t profile = Be16(r.data, 12 + 4 * i);
    EXPECT_LT(profile, previous);  // descending, each once
    previous = profile;
    if (r.data[14 + 4 * i] & 0x01) currents.push_back(static_cast<uint16_t>(profile));
  }
  EXPECT_EQ(currents, std::vector<uint16_t>{0x000A});
  EXPECT_EQ(Be16(r.data, 12), 0x0043u);               // BD-RE first
  EXPECT_EQ(Be16(r.data, 12 + 4 * (count - 1)), 8u);  // CD-ROM last
}

TEST_F(OpticalDrive, ReadinessAndCapacityFollowTheMedium) {
  HANDLE drive = LoadDrive(kDvdDrive);
  ScsiResult ready = SendCdb(drive, simtest::TestUnitReadyCdb(), 0);
  EXPECT_EQ(ready.status, 0x00);
  ScsiResult capacity = SendCdb(drive, simtest::ReadCapacityCdb(), 8);
  ASSERT_EQ(capacity.status, 0x00);
  EXPECT_EQ(capacity.data, (Bytes{0x00, 0x23, 0x05, 0x3F, 0x00, 0x00, 0x08, 0x00}));

  ASSERT_TRUE(bay.SetOpticalMedium('E', "none"));
  ScsiResult empty = SendCdb(drive, simtest::TestUnitReadyCdb(), 0);
  EXPECT_EQ(empty.status, 0x02);
  EXPECT_EQ(empty.senseLength, 18);
  EXPECT_EQ(empty.sense[0], 0x70);
  EXPECT_EQ(SenseCode(empty), 0x023A00u);  // NOT READY, MEDIUM NOT PRESENT
  ScsiResult noCapacity = SendCdb(drive, simtest::ReadCapacityCdb(), 8);
  EXPECT_EQ(noCapacity.status, 0x02);
  EXPECT_EQ(SenseCode(noCapacity), 0x023A00u);
  EXPECT_EQ(noCapacity.transferred, 0u);

  ASSERT_TRUE(bay.SetOpticalMedium('E', "cd-r", 333000));
  capacity = SendCdb(drive, simtest::ReadCapacityCdb(), 8);
  EXPECT_EQ(Be32(capacity.data, 0), 333000u);
  EXPECT_EQ(Be32(capacity.data, 4), 2048u);
  ASSERT_TRUE(bay.SetOpticalMedium('E', "bd-r"));
  capacity = SendCdb(drive, simtest::ReadCapacityCdb(), 8);
  EXPECT_EQ(Be32(capacity.data, 0), 12219391u);  // a 25 GB BD
}

TEST_F(OpticalDrive, MediumChangesThatTheDriveCannotTakeChangeNothing) {
  LoadDrive("[optical E]\nbd_speeds = none\nmedium = dvd-r\n");
  EXPECT_FALSE(bay.SetOpticalMedium('E', "bd-re"));  // a DVD drive
  EXPECT_FALSE(bay.SetOpticalMedium('E', "laserdisc"));
  EXPECT_FALSE(bay.SetOpticalMedium('F', "cd-rom"));
  EXPECT_EQ(bay.OpticalProfile('E'), 0x0011);
  EXPECT_FALSE(bay.HasOptical('F'));
  EXPECT_EQ(bay.OpticalCurrentSpeed('F'), -1);
  EXPECT_EQ(bay.OpticalPowerCondition('F'), sim::Bay::PowerCondition::kNoDrive);
}

TEST_F(OpticalDrive, MediumChangesWhileAnotherThreadPolls) {
  HANDLE drive = LoadDrive(kDvdDrive);
  std::atomic<bool> stop{false};
  std::atomic<int> inconsistent{0};
  std::atomic<int> polls{0};
  std::thread poller([&] {
    while (!stop) {
      ScsiResult profile = SendCdb(drive, simtest::GetConfigurationCdb(1, 0, 8), 8);
      ScsiResult ready = SendCdb(drive, simtest::TestUnitReadyCdb(), 0);
      const uint32_t p = Be16(profile.data, 6);
      if (profile.status != 0x00 || (p != 0 && p != 0x0010)) ++inconsistent;
      if (ready.status == 0x02 && SenseCode(ready) != 0x023A00u) ++inconsistent;
      ++polls;
    }
  });
  for (int i = 0; i < 200; ++i) bay.SetOpticalMedium('E', i % 2 ? "dvd-rom" : "none");
  while (polls < 50) std::this_thread::yield();
  stop = true;
  poller.join();
  EXPECT_EQ(inconsistent, 0);
  EXPECT_EQ(bay.OpticalProfile('E'), 0x0010);
}

TEST_F(OpticalDrive, EjectOpensTheTrayAndLoadBringsTheDiscBack) {
  HANDLE drive = LoadDrive(kDvdDrive);
  EXPECT_EQ(SendCdb(drive, simtest::StartStopCdb(0x02), 0).status, 0x00);  // LOEJ
  EXPECT_TRUE(bay.OpticalTrayOpen('E'));
  ScsiResult open = SendCdb(drive, simtest::TestUnitReadyCdb(), 0);
  EXPECT_EQ(SenseCode(open), 0x023A02u);  // MEDIUM NOT PRESENT - TRAY OPEN
  EXPECT_EQ(bay.OpticalProfile('E'), 0);

  EXPECT_EQ(SendCdb(drive, simtest::StartStopCdb(0x03), 0).status, 0x00);  // LOEJ + START
  EXPECT_FALSE(bay.OpticalTrayOpen('E'));
  EXPECT_EQ(SendCdb(drive, simtest::TestUnitReadyCdb(), 0).status, 0x00);
  EXPECT_EQ(bay.OpticalProfile('E'), 0x0010);

  // PREVENT ALLOW MEDIUM REMOVAL with PREVENT 01b keeps the tray shut.
  EXPECT_EQ(SendCdb(drive, {0x1E, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0}, 0).status, 0x00);
  ScsiResult locked = SendCdb(drive, simtest::StartStopCdb(0x02), 0);
  EXPECT_EQ(locked.status, 0x02);
  EXPECT_EQ(SenseCode(locked), 0x055302u);  // MEDIUM REMOVAL PREVENTED
  EXPECT_FALSE(bay.OpticalTrayOpen('E'));
}

TEST_F(OpticalDrive, UnitAttentionAfterANewDiscWhenTheBaySaysSo) {
  HANDLE drive = LoadDrive("[optical E]\nunit_attention = yes\n");
  ASSERT_TRUE(bay.SetOpticalMedium('E', "dvd-rom"));
  // GET CONFIGURATION neither reports nor clears it.
  EXPECT_EQ(SendCdb(drive, simtest::GetConfigurationCdb(1, 0, 8), 8).status, 0x00);
  ScsiResult first = SendCdb(drive, simtest::TestUnitReadyCdb(), 0);
  EXPECT_EQ(first.status, 0x02);
  EXPECT_EQ(SenseCode(first), 0x062800u);  // NOT READY TO READY CHANGE
  EXPECT_EQ(SendCdb(drive, simtest::TestUnitReadyCdb(), 0).status, 0x00);

  // REQUEST SENSE hands a pending one over and clears it; INQUIRY passes it by.
  ASSERT_TRUE(bay.SetOpticalMedium('E', "none"));
  ASSERT_TRUE(bay.SetOpticalMedium('E', "cd-rom"));
  EXPECT_EQ(SendCdb(drive, simtest::InquiryCdb(36), 36).status, 0x00);
  ScsiResult sense = SendCdb(drive, {0x03, 0, 0, 0, 18, 0, 0, 0, 0, 0, 0, 0}, 18);
  EXPECT_EQ(sense.status, 0x00);
  EXPECT_EQ(sense.data[2], 0x06);
  EXPECT_EQ(sense.data[12], 0x28);
  EXPECT_EQ(SendCdb(drive, simtest::TestUnitReadyCdb(), 0).status, 0x00);

  Load("[optical E]\n");
  HANDLE plain = Open("\\\\.\\E:");
  ASSERT_TRUE(bay.SetOpticalMedium('E', "dvd-rom"));
  EXPECT_EQ(SendCdb(plain, simtest::TestUnitReadyCdb(), 0).status, 0x00);
}

TEST_F(OpticalDrive, CommandsItDoesNotKnowAreInvalidOpcodes) {
  HANDLE drive = LoadDrive(kDvdDrive);
  // MODE SENSE(6) (MMC devices take the 10-byte form), ATA PASS-THROUGH (12).
  for (const Bytes& cdb : {Bytes{0x1A, 0, 0x2A, 0, 32, 0, 0, 0, 0, 0, 0, 0},
                           Bytes{0xA1, 0x08, 0x0D, 0, 0, 0, 0, 0, 0xA0, 0xEC, 0, 0}}) {
    ScsiResult r = SendCdb(drive, cdb, 32);
    EXPECT_EQ(r.status, 0x02);
    EXPECT_EQ(SenseCode(r), 0x052000u);
  }
  // Only command blocks reach an optical drive.
  uint8_t out[64];
  DWORD returned = 0;
  EXPECT_FALSE(platform::DeviceIoControl(drive, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, out,
                                         sizeof out, &returned));
}

TEST_F(OpticalDrive, ItsVolumeLeadsToTheDriveToo) {
  Load(std::string(kDvdDrive) +
       "[volume E]\nname = \\\\?\\Volume{e0000000-0000-0000-0000-00000000000e}\\\ntype = cdrom\n");
  HANDLE volume = Open("\\\\?\\Volume{e0000000-0000-0000-0000-00000000000e}");
  ScsiResult r = SendCdb(volume, simtest::InquiryCdb(36), 36);
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(r.data[0], 0x05);
  EXPECT_EQ(platform::GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_CDROM));
}

TEST_F(OpticalDrive, ADriveWithoutAVolumeSectionGetsACdromVolume) {
  Load("[optical G]\n");
  EXPECT_EQ(platform::GetDriveTypeA("G:\\"), static_cast<UINT>(DRIVE_CDROM));
  char name[100] = {};
  EXPECT_TRUE(platform::GetVolumeNameForVolumeMountPointA("G:\\", name, sizeof name));
  EXPECT_NE(Open("\\\\.\\g:"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open("\\\\.\\H:"), INVALID_HANDLE_VALUE);
}

TEST_F(OpticalDrive, TraceShowsEveryCommandBlock) {
  HANDLE drive = LoadDrive(kDvdDrive);
  bay.ClearTrace();
  SendCdb(drive, simtest::TestUnitReadyCdb(), 0);
  SendCdb(drive, simtest::SetCdSpeedCdb(0xFFFF), 0);
  simtest::SendCdbOut(drive, simtest::SetStreamingCdb(),
                      simtest::StreamingDescriptor(2295103, 2770, 1000));
  SendCdb(drive, simtest::GetPerformanceCdb(), 24);
  SendCdb(drive, simtest::ModeSenseCdb(0x2A, 32), 32);
  SendCdb(drive, simtest::ModeSenseCdb(0x1A, 20), 20);
  simtest::SendCdbOut(drive, simtest::ModeSelectCdb(20), simtest::PowerPageImage(3, 600, 1200));
  SendCdb(drive, simtest::StartStopCdb(0x30), 0);
  platform::CloseHandle(drive);
  const std::vector<std::string> expected = {
      "E: SPTD 000000000000000000000000 len=0 dir=in -> status=00",
      "E: SPTD BB00FFFF0000000000000000 len=0 dir=in -> status=00",
      "E: SPTD B60000000000000000001C00 len=28 dir=out -> status=00",
      "E: SPTD AC1000000000000000010000 len=24 dir=in -> status=00",
      "E: SPTD 5A102A000000000020000000 len=32 dir=in -> status=00",
      "E: SPTD 5A101A000000000014000000 len=20 dir=in -> status=00",
      "E: SPTD 551000000000000014000000 len=20 dir=out -> status=00",
      "E: SPTD 1B0000003000000000000000 len=0 dir=in -> status=00",
      "E: CLOSE - len=0 dir=none -> ok",
  };
  EXPECT_EQ(bay.Trace(), expected);
}

TEST_F(OpticalDrive, LatencyIsSleptBeforeEachCommand) {
  HANDLE drive = LoadDrive("[optical E]\nlatency_ms = 200\n");
  const auto start = std::chrono::steady_clock::now();
  SendCdb(drive, simtest::TestUnitReadyCdb(), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

}  // namespace
