// Power of the optical drive: the power condition page 1Ah through MODE
// SENSE(10) and MODE SELECT(10), and the power conditions START STOP UNIT
// selects.
#include "OpticalSupport.h"

namespace {

using simtest::Be32;
using simtest::Bytes;
using simtest::ScsiResult;
using simtest::SendCdb;
using simtest::SendCdbOut;
using simtest::SenseCode;
using PowerCondition = sim::Bay::PowerCondition;

const std::string kDrive =
    "[optical E]\nmedium = dvd-rom\nidle = yes\nstandby = no\n"
    "idle_timer = 600\nstandby_timer = 0x12345678\n";

// The answer to MODE SENSE(10) of page 1Ah for the drive above.
const Bytes kPowerAnswer = {0x00, 0x12, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // header
                            0x1A, 0x0A, 0x00, 0x02,                          // IDLE only
                            0x00, 0x00, 0x02, 0x58,                          // 600
                            0x12, 0x34, 0x56, 0x78};

class OpticalPower : public simtest::OpticalTest {};

TEST_F(OpticalPower, ModeSenseReturnsHeaderAndPage) {
  ScsiResult r = SendCdb(LoadDrive(kDrive), simtest::ModeSenseCdb(0x1A, 20), 20);
  ASSERT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 20u);
  EXPECT_EQ(r.data, kPowerAnswer);
}

class OpticalPowerAllocation : public simtest::OpticalTest,
                               public ::testing::WithParamInterface<uint8_t> {};

TEST_P(OpticalPowerAllocation, AnswerIsCutToTheAllocationLength) {
  const uint8_t allocation = GetParam();
  HANDLE drive = LoadDrive(kDrive);
  // The host's buffer is larger: only the drive cuts the answer.
  ScsiResult r = SendCdb(drive, simtest::ModeSenseCdb(0x1A, allocation), 64);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.status, 0x00);
  const size_t moved = allocation < 20 ? allocation : 20;
  EXPECT_EQ(r.transferred, moved);
  EXPECT_EQ(Bytes(r.data.begin(), r.data.begin() + moved),
            Bytes(kPowerAnswer.begin(), kPowerAnswer.begin() + moved));
  for (size_t i = moved; i < r.data.size(); ++i) EXPECT_EQ(r.data[i], 0xEE) << i;
}

INSTANTIATE_TEST_SUITE_P(Lengths, OpticalPowerAllocation,
                         ::testing::Values(uint8_t{0}, uint8_t{2}, uint8_t{8}, uint8_t{12},
                                           uint8_t{19}, uint8_t{20}, uint8_t{255}));

TEST_F(OpticalPower, PageControlGivesChangeableDefaultOrNoSavedValues) {
  HANDLE drive = LoadDrive(kDrive);
  ScsiResult changeable = SendCdb(drive, simtest::ModeSenseCdb(0x5A, 20), 20);  // PC 01b
  EXPECT_EQ(Bytes(changeable.data.begin() + 8, changeable.data.end()),
            (Bytes{0x1A, 0x0A, 0x00, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));

  ASSERT_EQ(SendCdbOut(drive, simtest::ModeSelectCdb(20), simtest::PowerPageImage(1, 1, 2)).status,
            0x00);
  ScsiResult defaults = SendCdb(drive, simtest::ModeSenseCdb(0x9A, 20), 20);  // PC 10b
  EXPECT_EQ(defaults.data, kPowerAnswer);
  ScsiResult saved = SendCdb(drive, simtest::ModeSenseCdb(0xDA, 20), 20);  // PC 11b
  EXPECT_EQ(saved.status, 0x02);
  EXPECT_EQ(SenseCode(saved), 0x053900u);  // SAVING PARAMETERS NOT SUPPORTED
}

TEST_F(OpticalPower, AllPagesListsBothPagesInOrder) {
  ScsiResult r = SendCdb(LoadDrive(kDrive), simtest::ModeSenseCdb(0x3F, 255), 255);
  ASSERT_EQ(r.transferred, 8u + 12 + 32);
  EXPECT_EQ(r.data[8], 0x1A);
  EXPECT_EQ(r.data[20], 0x2A);
  EXPECT_EQ(simtest::Be16(r.data, 0), 50u);
}

TEST_F(OpticalPower, ModeSelectStoresBitsAndTimers) {
  HANDLE drive = LoadDrive(kDrive);
  const Bytes image = simtest::PowerPageImage(0x01, 0, 0xFFFF);
  ScsiResult r = SendCdbOut(drive, simtest::ModeSelectCdb(20), image);
  ASSERT_EQ(r.status, 0x00);
  EXPECT_EQ(r.transferred, 20u);
  const sim::Bay::PowerTimers timers = bay.OpticalTimers('E');
  EXPECT_FALSE(timers.idle);
  EXPECT_TRUE(timers.standby);
  EXPECT_EQ(timers.idleTimer, 0u);
  EXPECT_EQ(timers.standbyTimer, 0xFFFFu);
  EXPECT_EQ(bay.LastParameterData('E'), image);

  ScsiResult back = SendCdb(drive, simtest::ModeSenseCdb(0x1A, 20), 20);
  EXPECT_EQ(Bytes(back.data.begin() + 8, back.data.end()),
            (Bytes{0x1A, 0x0A, 0x00, 0x01, 0, 0, 0, 0, 0x00, 0x00, 0xFF, 0xFF}));
}

TEST_F(OpticalPower, ModeSelectWithNoListChangesNothing) {
  HANDLE drive = LoadDrive(kDrive);
  ScsiResult r = SendCdbOut(drive, simtest::ModeSelectCdb(0), Bytes());
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(bay.OpticalTimers('E').idleTimer, 600u);
  EXPECT_TRUE(bay.LastParameterData('E').empty());
}

struct BadSelect {
  const char* what;
  uint8_t byte1;       // CDB byte 1
  uint8_t listLength;  // CDB byte 8
  size_t change;       // a byte of the image to set ...
  uint8_t value;       // ... to this
  uint32_t sense;
};

class OpticalBadSelect : public simtest::OpticalTest,
                         public ::testing::WithParamInterface<BadSelect> {};

TEST_P(OpticalBadSelect, IsRefusedAndChangesNothing) {
  HANDLE drive = LoadDrive(kDrive);
  Bytes image = simtest::PowerPageImage(0x03, 100, 200);
  image[GetParam().change] = GetParam().value;
  image.resize(GetParam().listLength < 20 ? 20 : GetParam().listLength, 0);
  ScsiResult r =
      SendCdbOut(drive, simtest::ModeSelectCdb(GetParam().listLength, GetParam().byte1), image);
  EXPECT_EQ(r.status, 0x02) << GetParam().what;
  EXPECT_EQ(SenseCode(r), GetParam().sense) << GetParam().what;
  const sim::Bay::PowerTimers timers = bay.OpticalTimers('E');
  EXPECT_TRUE(timers.idle);
  EXPECT_FALSE(timers.standby);
  EXPECT_EQ(timers.idleTimer, 600u);
  EXPECT_EQ(timers.standbyTimer, 0x12345678u);
}

INSTANTIATE_TEST_SUITE_P(
    Images, OpticalBadSelect,
    ::testing::Values(BadSelect{"PF clear", 0x00, 20, 8, 0x1A, 0x052400},
                      BadSelect{"SP set", 0x11, 20, 8, 0x1A, 0x052400},
                      BadSelect{"wrong page code", 0x10, 20, 8, 0x1B, 0x052600},
                      BadSelect{"capabilities page", 0x10, 20, 8, 0x2A, 0x052600},
                      BadSelect{"subpage format", 0x10, 20, 8, 0x5A, 0x052600},
                      BadSelect{"page length 08h", 0x10, 20, 9, 0x08, 0x052600},
                      BadSelect{"page length 0Bh", 0x10, 21, 9, 0x0B, 0x052600},
                      BadSelect{"page runs past the list", 0x10, 20, 9, 0x0B, 0x051A00},
                      BadSelect{"page cut short", 0x10, 16, 8, 0x1A, 0x051A00},
                      BadSelect{"list shorter than the header", 0x10, 6, 8, 0x1A, 0x051A00},
                      BadSelect{"block descriptors", 0x10, 20, 7, 0x08, 0x052600},
                      BadSelect{"reserved bits of byte 3", 0x10, 20, 11, 0x07, 0x052600},
                      BadSelect{"reserved byte 2", 0x10, 20, 10, 0x01, 0x052600}));

TEST_F(OpticalPower, ADriveThatRefusesThePageOrHasNone) {
  HANDLE refusing = LoadDrive(kDrive + "power_page = refused\n");
  ScsiResult sense = SendCdb(refusing, simtest::ModeSenseCdb(0x1A, 20), 20);
  EXPECT_EQ(sense.data, kPowerAnswer);
  ScsiResult changeable = SendCdb(refusing, simtest::ModeSenseCdb(0x5A, 20), 20);
  EXPECT_EQ(Bytes(changeable.data.begin() + 10, changeable.data.end()), Bytes(10, 0));
  ScsiResult select = SendCdbOut(refusing, simtest::ModeSelectCdb(20),
                                 simtest::PowerPageImage(0x02, 600, 0x12345678));
  EXPECT_EQ(select.status, 0x02);
  EXPECT_EQ(SenseCode(select), 0x052600u);

  HANDLE without = LoadDrive(kDrive + "power_page = absent\n");
  ScsiResult missing = SendCdb(without, simtest::ModeSenseCdb(0x1A, 20), 20);
  EXPECT_EQ(missing.status, 0x02);
  EXPECT_EQ(SenseCode(missing), 0x052400u);
}

struct StartStop {
  const char* initial;  // power_condition in the bay file
  uint8_t byte4;
  PowerCondition after;
};

class OpticalStartStop : public simtest::OpticalTest,
                         public ::testing::WithParamInterface<StartStop> {};

TEST_P(OpticalStartStop, PowerConditionFieldSelectsTheCondition) {
  HANDLE drive = LoadDrive(kDrive + "power_condition = " + GetParam().initial + "\n");
  ScsiResult r = SendCdb(drive, simtest::StartStopCdb(GetParam().byte4), 0);
  EXPECT_EQ(r.status, 0x00);
  EXPECT_EQ(bay.OpticalPowerCondition('E'), GetParam().after);
  EXPECT_EQ(bay.OpticalProfile('E'), 0x0010);  // the disc stays in
}

INSTANTIATE_TEST_SUITE_P(Conditions, OpticalStartStop,
                         ::testing::Values(StartStop{"active", 0x20, PowerCondition::kIdle},
                                           StartStop{"active", 0x30, PowerCondition::kStandby},
                                           StartStop{"idle", 0x30, PowerCondition::kStandby},
                                           StartStop{"standby", 0x20, PowerCondition::kIdle},
                                           StartStop{"standby", 0x10, PowerCondition::kActive},
                                           StartStop{"idle", 0x70, PowerCondition::kActive},
                                           StartStop{"active", 0xA0, PowerCondition::kIdle},
                                           StartStop{"active", 0xB0, PowerCondition::kStandby},
                                           // START and LOEJ count only with POWER CONDITION 0.
                                           StartStop{"active", 0x23, PowerCondition::kIdle},
                                           StartStop{"standby", 0x01, PowerCondition::kActive},
                                           StartStop{"active", 0x00, PowerCondition::kStandby}));

TEST_F(OpticalPower, ConditionsWithoutMeaningHereAreInvalidFields) {
  HANDLE drive = LoadDrive(kDrive + "power_condition = idle\n");
  for (uint8_t byte4 : {0x50, 0x40, 0x60, 0xF0}) {  // sleep and reserved values
    ScsiResult r = SendCdb(drive, simtest::StartStopCdb(byte4), 0);
    EXPECT_EQ(r.status, 0x02);
    EXPECT_EQ(SenseCode(r), 0x052400u);
  }
  EXPECT_EQ(bay.OpticalPowerCondition('E'), PowerCondition::kIdle);
}

TEST_F(OpticalPower, StandbyWithoutADiscAndSpinningUpWithoutOne) {
  HANDLE drive = LoadDrive("[optical E]\n");
  EXPECT_EQ(SendCdb(drive, simtest::StartStopCdb(0x30), 0).status, 0x00);
  EXPECT_EQ(bay.OpticalPowerCondition('E'), PowerCondition::kStandby);
  ScsiResult start = SendCdb(drive, simtest::StartStopCdb(0x01), 0);
  EXPECT_EQ(SenseCode(start), 0x023A00u);
  EXPECT_EQ(bay.OpticalPowerCondition('E'), PowerCondition::kStandby);
  // A disc put in spins up.
  ASSERT_TRUE(bay.SetOpticalMedium('E', "cd-rom"));
  EXPECT_EQ(bay.OpticalPowerCondition('E'), PowerCondition::kActive);
}

}  // namespace
