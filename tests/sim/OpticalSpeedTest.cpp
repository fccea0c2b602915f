// Read speeds of the optical drive: SET CD SPEED and SET STREAMING step to
// the speeds the drive supports, or are ignored, or unknown; page 2Ah and
// GET PERFORMANCE report the result, or are switched off.
#include "OpticalSupport.h"

namespace {

using simtest::Be16;
using simtest::Be32;
using simtest::Bytes;
using simtest::ScsiResult;
using simtest::SendCdb;
using simtest::SendCdbOut;
using simtest::SenseCode;

const std::string kDvdDrive =
    "[optical E]\ndvd_speeds = 2770, 22160, 16620, 11080, 8310, 5540\n"
    "cd_speeds = 7056, 5645, 4234, 2822\nmedium = dvd-rom\n";
constexpr uint32_t kDvdLastLba = 2295103;

struct Step {
  uint32_t requested;  // KB/s
  uint32_t chosen;
};

// Requests between, on, above and below the DVD speeds above.
const Step kDvdSteps[] = {
    {0xFFFF, 22160}, {22160, 22160}, {22159, 16620}, {20775, 16620}, {8310, 8310},
    {8309, 5540},    {2771, 2770},   {2770, 2770},   {1385, 2770},   {0, 2770},
};

class OpticalSpeed : public simtest::OpticalTest {};

class OpticalSpeedSteps : public simtest::OpticalTest,
                          public ::testing::WithParamInterface<Step> {};

TEST_P(OpticalSpeedSteps, SetCdSpeedPicksTheHighestSupportedNotAboveTheRequest) {
  HANDLE drive = LoadDrive(kDvdDrive);
  ScsiResult r =
      SendCdb(drive, simtest::SetCdSpeedCdb(static_cast<uint16_t>(GetParam().requested)), 0);
  ASSERT_EQ(r.status, 0x00);
  EXPECT_EQ(bay.OpticalCurrentSpeed('E'), static_cast<int32_t>(GetParam().chosen));
  EXPECT_EQ(CapabilitiesSpeed(drive), GetParam().chosen);
  EXPECT_EQ(PerformanceSpeed(drive), GetParam().chosen);
}

TEST_P(OpticalSpeedSteps, SetStreamingPicksTheSameFromReadSizeAndTime) {
  HANDLE drive = LoadDrive(kDvdDrive);
  // The same request spread over two seconds.
  const Bytes descriptor =
      simtest::StreamingDescriptor(kDvdLastLba, GetParam().requested * 2, 2000);
  ScsiResult r = SendCdbOut(drive, simtest::SetStreamingCdb(), descriptor);
  ASSERT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 28u);
  EXPECT_EQ(bay.OpticalCurrentSpeed('E'), static_cast<int32_t>(GetParam().chosen));
  EXPECT_EQ(CapabilitiesSpeed(drive), GetParam().chosen);
  EXPECT_EQ(bay.LastParameterData('E'), descriptor);
}

INSTANTIATE_TEST_SUITE_P(Dvd, OpticalSpeedSteps, ::testing::ValuesIn(kDvdSteps));

TEST_F(OpticalSpeed, ACdDriveStepsThroughItsFewSpeeds) {
  HANDLE drive = LoadDrive("[optical E]\ncd_speeds = 8448, 7040, 5632\nmedium = cd-r\n");
  EXPECT_EQ(CapabilitiesSpeed(drive), 8448u);  // a new disc spins at full speed
  std::vector<uint32_t> seen;
  for (uint32_t multiple = 47; multiple > 0; --multiple) {
    SendCdb(drive, simtest::SetCdSpeedCdb(static_cast<uint16_t>(multiple * 176)), 0);
    const uint32_t speed = CapabilitiesSpeed(drive);
    if (seen.empty() || seen.back() != speed) seen.push_back(speed);
  }
  EXPECT_EQ(seen, (std::vector<uint32_t>{7040, 5632}));
  EXPECT_EQ(bay.OpticalSpeedCommands('E'), 47);
}

TEST_F(OpticalSpeed, ANewDiscStartsAtTheFastestSpeedOfItsKind) {
  HANDLE drive = LoadDrive(kDvdDrive);
  SendCdb(drive, simtest::SetCdSpeedCdb(2770), 0);
  ASSERT_EQ(bay.OpticalCurrentSpeed('E'), 2770);
  ASSERT_TRUE(bay.SetOpticalMedium('E', "cd-rom"));
  EXPECT_EQ(CapabilitiesSpeed(drive), 7056u);
  SendCdb(drive, simtest::SetCdSpeedCdb(4000), 0);
  EXPECT_EQ(CapabilitiesSpeed(drive), 2822u);
  ASSERT_TRUE(bay.SetOpticalMedium('E', "dvd-rom"));
  EXPECT_EQ(CapabilitiesSpeed(drive), 22160u);
}

struct IgnoredCase {
  const char* keys;
  bool cdSpeedTakes;
  bool streamingTakes;
};

class OpticalIgnoredCommands : public simtest::OpticalTest,
                               public ::testing::WithParamInterface<IgnoredCase> {};

TEST_P(OpticalIgnoredCommands, AnIgnoredCommandIsGoodButChangesNothing) {
  HANDLE drive = LoadDrive(kDvdDrive + GetParam().keys);
  EXPECT_EQ(SendCdb(drive, simtest::SetCdSpeedCdb(5540), 0).status, 0x00);
  EXPECT_EQ(CapabilitiesSpeed(drive), GetParam().cdSpeedTakes ? 5540u : 22160u);
  SendCdb(drive, simtest::SetCdSpeedCdb(0xFFFF), 0);
  ScsiResult r = SendCdbOut(drive, simtest::SetStreamingCdb(),
                            simtest::StreamingDescriptor(kDvdLastLba, 8310, 1000));
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(CapabilitiesSpeed(drive), GetParam().streamingTakes ? 8310u : 22160u);
  EXPECT_EQ(bay.OpticalSpeedCommands('E'), 3);
}

INSTANTIATE_TEST_SUITE_P(Commands, OpticalIgnoredCommands,
                         ::testing::Values(IgnoredCase{"set_cd_speed = ignored\n", false, true},
                                           IgnoredCase{"set_streaming = ignored\n", true, false},
                                           IgnoredCase{"set_cd_speed = ignored\n"
                                                       "set_streaming = ignored\n",
                                                       false, false}));

struct UnavailableCase {
  const char* keys;
  Bytes cdb;
  uint32_t sense;
};

class OpticalUnavailable : public simtest::OpticalTest,
                           public ::testing::WithParamInterface<UnavailableCase> {};

TEST_P(OpticalUnavailable, CommandsTheBaySwitchesOffAreIllegalRequests) {
  HANDLE drive = LoadDrive(kDvdDrive + GetParam().keys);
  ScsiResult r = SendCdb(drive, GetParam().cdb, 32);
  EXPECT_EQ(r.status, 0x02);
  EXPECT_EQ(SenseCode(r), GetParam().sense);
  EXPECT_EQ(r.transferred, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OpticalUnavailable,
    ::testing::Values(
        UnavailableCase{"capabilities_page = no\n", simtest::ModeSenseCdb(0x2A, 32), 0x052400},
        UnavailableCase{"get_performance = no\n", simtest::GetPerformanceCdb(), 0x052000},
        UnavailableCase{"set_cd_speed = unsupported\n", simtest::SetCdSpeedCdb(2770), 0x052000},
        UnavailableCase{"set_streaming = unsupported\n", simtest::SetStreamingCdb(), 0x052000},
        // Tolerance other than 10b, a type other than 0, a reserved Except value.
        UnavailableCase{"", simtest::GetPerformanceCdb(0x00), 0x052400},
        UnavailableCase{"", {0xAC, 0x10, 0, 0, 0, 0, 0, 0, 0, 1, 0x03, 0}, 0x052400},
        UnavailableCase{"", simtest::GetPerformanceCdb(0x13), 0x052400},
        // Rotational control 10b is reserved.
        UnavailableCase{"", {0xBB, 0x02, 0x0A, 0xD2, 0, 0, 0, 0, 0, 0, 0, 0}, 0x052400}));

TEST_F(OpticalSpeed, AFixedReportHidesTheSpeedThatWasSet) {
  HANDLE drive = LoadDrive(kDvdDrive + "reported_speed = fastest\n");
  SendCdb(drive, simtest::SetCdSpeedCdb(2770), 0);
  EXPECT_EQ(bay.OpticalCurrentSpeed('E'), 2770);
  EXPECT_EQ(CapabilitiesSpeed(drive), 22160u);
  EXPECT_EQ(PerformanceSpeed(drive), 22160u);

  HANDLE other = LoadDrive(kDvdDrive + "reported_speed = 4155\n");
  SendCdb(other, simtest::SetCdSpeedCdb(11080), 0);
  EXPECT_EQ(bay.OpticalCurrentSpeed('E'), 11080);
  EXPECT_EQ(CapabilitiesSpeed(other), 4155u);
  EXPECT_EQ(PerformanceSpeed(other), 4155u);
}

TEST_F(OpticalSpeed, EachReportingPathCanHaveItsOwnReport) {
  // Page 2Ah stuck at the top speed, GET PERFORMANCE telling the truth; the
  // path's own key wins over reported_speed, in either order.
  for (const char* keys : {"capabilities_speed = fastest\nreported_speed = current\n",
                           "reported_speed = current\ncapabilities_speed = fastest\n"}) {
    HANDLE drive = LoadDrive(kDvdDrive + keys);
    SendCdb(drive, simtest::SetCdSpeedCdb(5540), 0);
    EXPECT_EQ(CapabilitiesSpeed(drive), 22160u) << keys;
    EXPECT_EQ(PerformanceSpeed(drive), 5540u) << keys;
  }
  HANDLE drive = LoadDrive(kDvdDrive + "performance_speed = 1385\n");
  SendCdb(drive, simtest::SetCdSpeedCdb(5540), 0);
  EXPECT_EQ(CapabilitiesSpeed(drive), 5540u);
  EXPECT_EQ(PerformanceSpeed(drive), 1385u);
}

TEST_F(OpticalSpeed, CapabilitiesPageLayout) {
  HANDLE drive = LoadDrive(kDvdDrive);
  SendCdb(drive, simtest::SetCdSpeedCdb(11080), 0);
  ScsiResult r = SendCdb(drive, simtest::ModeSenseCdb(0x2A, 255), 255);
  ASSERT_EQ(r.status, 0x00);
  ASSERT_EQ(r.transferred, 40u);
  // Header: mode data length 38, no block descriptors.
  EXPECT_EQ(Bytes(r.data.begin(), r.data.begin() + 8), (Bytes{0, 38, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(r.data[8], 0x2A);
  EXPECT_EQ(r.data[9], 0x1E);
  EXPECT_EQ(r.data[10], 0x3F);          // reads CD-R, CD-RW, method 2, DVD-ROM, DVD-R, DVD-RAM
  EXPECT_EQ(r.data[11], 0x00);          // writes nothing
  EXPECT_EQ(r.data[14] >> 5, 1);        // tray
  EXPECT_EQ(Be16(r.data, 16), 22160u);  // maximum read speed
  EXPECT_EQ(Be16(r.data, 20), 2048u);   // buffer, KB
  EXPECT_EQ(Be16(r.data, 22), 11080u);  // current read speed
  EXPECT_EQ(Be16(r.data, 26), 0u);      // maximum write speed
  // Cut to 32 bytes, as the program asks.
  ScsiResult cut = SendCdb(drive, simtest::ModeSenseCdb(0x2A, 32), 40);
  EXPECT_EQ(cut.transferred, 32u);
  EXPECT_EQ(Be16(cut.data, 0), 38u);
}

TEST_F(OpticalSpeed, GetPerformanceLayout) {
  HANDLE drive = LoadDrive(kDvdDrive);
  SendCdb(drive, simtest::SetCdSpeedCdb(8310), 0);
  ScsiResult r = SendCdb(drive, simtest::GetPerformanceCdb(), 24);
  ASSERT_EQ(r.status, 0x00);
  ASSERT_EQ(r.transferred, 24u);
  const Bytes expected = {0x00, 0x00, 0x00, 0x14, 0x00, 0x00, 0x00, 0x00,   // length 20
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0x76,   // LBA 0, 8310
                          0x00, 0x23, 0x05, 0x3F, 0x00, 0x00, 0x20, 0x76};  // last LBA, 8310
  EXPECT_EQ(r.data, expected);

  // No descriptor asked for, or write performance of a drive that only reads.
  ScsiResult none = SendCdb(drive, simtest::GetPerformanceCdb(0x10, 0), 24);
  EXPECT_EQ(none.transferred, 8u);
  EXPECT_EQ(Be32(none.data, 0), 4u);
  ScsiResult write = SendCdb(drive, simtest::GetPerformanceCdb(0x14), 24);
  EXPECT_EQ(write.transferred, 8u);
  EXPECT_EQ(write.data[4], 0x02);
  // A starting LBA beyond the medium.
  ScsiResult beyond = SendCdb(drive, {0xAC, 0x10, 0x00, 0x23, 0x05, 0x40, 0, 0, 0, 1, 0, 0}, 24);
  EXPECT_EQ(beyond.status, 0x02);
  EXPECT_EQ(SenseCode(beyond), 0x052100u);
}

TEST_F(OpticalSpeed, WithoutADiscTheIdleSpeedIsReported) {
  HANDLE drive = LoadDrive("[optical E]\nidle_speed = 1385\n");
  EXPECT_EQ(CapabilitiesSpeed(drive), 1385u);
  EXPECT_EQ(bay.OpticalCurrentSpeed('E'), 0);
  ScsiResult performance = SendCdb(drive, simtest::GetPerformanceCdb(), 24);
  EXPECT_EQ(performance.status, 0x02);
  EXPECT_EQ(SenseCode(performance), 0x023A00u);
  // SET CD SPEED is taken (there is nothing to slow down); SET STREAMING
  // names blocks of a medium and is not.
  EXPECT_EQ(SendCdb(drive, simtest::SetCdSpeedCdb(2770), 0).status, 0x00);
  ScsiResult streaming =
      SendCdbOut(drive, simtest::SetStreamingCdb(), simtest::StreamingDescriptor(0, 2770, 1000));
  EXPECT_EQ(streaming.status, 0x02);
  EXPECT_EQ(SenseCode(streaming), 0x023A00u);

  LoadDrive("[optical E]\n");
  EXPECT_EQ(CapabilitiesSpeed(Open("\\\\.\\E:")), 0u);  // the default idle value
}

struct BadStreaming {
  const char* what;
  uint8_t listLength;
  Bytes descriptor;
  uint32_t sense;
};

class OpticalBadStreaming : public simtest::OpticalTest,
                            public ::testing::WithParamInterface<BadStreaming> {};

TEST_P(OpticalBadStreaming, IsRefusedAndChangesNothing) {
  HANDLE drive = LoadDrive(kDvdDrive);
  ScsiResult r =
      SendCdbOut(drive, simtest::SetStreamingCdb(GetParam().listLength), GetParam().descriptor);
  EXPECT_EQ(r.status, 0x02) << GetParam().what;
  EXPECT_EQ(SenseCode(r), GetParam().sense) << GetParam().what;
  EXPECT_EQ(bay.OpticalCurrentSpeed('E'), 22160) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, OpticalBadStreaming,
    ::testing::Values(BadStreaming{"end beyond the medium", 28,
                                   simtest::StreamingDescriptor(kDvdLastLba + 1, 2770, 1000),
                                   0x052100},
                      BadStreaming{"start after end", 28,
                                   simtest::StreamingDescriptor(10, 2770, 1000, 0, 11), 0x052600},
                      BadStreaming{"read time 0", 28,
                                   simtest::StreamingDescriptor(kDvdLastLba, 2770, 0), 0x052600},
                      BadStreaming{"exact but unsupported", 28,
                                   simtest::StreamingDescriptor(kDvdLastLba, 3000, 1000, 0x02),
                                   0x052600},
                      BadStreaming{"list too short", 20, Bytes(20, 0), 0x051A00},
                      BadStreaming{"less data than the list length", 28, Bytes(16, 0), 0x051A00}));

TEST_F(OpticalSpeed, StreamingRestoreDefaultsGoesBackToFullSpeed) {
  HANDLE drive = LoadDrive(kDvdDrive);
  SendCdb(drive, simtest::SetCdSpeedCdb(2770), 0);
  ScsiResult r = SendCdbOut(drive, simtest::SetStreamingCdb(),
                            simtest::StreamingDescriptor(0, 0, 0, 0x04));  // RDD
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(bay.OpticalCurrentSpeed('E'), 22160);
  // Exact with a supported speed is taken.
  r = SendCdbOut(drive, simtest::SetStreamingCdb(),
                 simtest::StreamingDescriptor(kDvdLastLba, 5540, 1000, 0x02));
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(bay.OpticalCurrentSpeed('E'), 5540);
}

}  // namespace
