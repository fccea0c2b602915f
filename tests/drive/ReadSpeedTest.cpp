// Medium detection, speed texts, the speed probe and the stored speed lists.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>

#include "FakeSystem.h"
#include "ScriptedOptical.h"
#include "drive/ReadSpeed.h"
#include "drive/SpeedListText.h"
#include "platform/Settings.h"
#include "platform/Worker.h"

namespace {

using namespace drive;

const HANDLE kDrive = reinterpret_cast<HANDLE>(0x77);

std::unique_ptr<OpticalDriveInfo> Drive(const char* name, int32_t discType) {
  auto drive = std::make_unique<OpticalDriveInfo>();
  std::memset(drive.get(), 0, sizeof *drive);
  drive->deviceHandle = kDrive;
  drive->kind = KindOpticalDrive;
  std::snprintf(drive->displayName, sizeof drive->displayName, "%s", name);
  drive->discType = discType;
  return drive;
}

TEST(DiscType, FromTheProfileOrTheUnit) {
  struct Case {
    int profile;
    bool ready;
    DiscType expected;
  };
  const Case cases[] = {
      {0x0A, true, DiscCd},  {0x08, true, DiscCd},    {0x00, false, DiscNone},
      {0x00, true, DiscCd},  {0x10, false, DiscDvd},  {0x2B, true, DiscDvd},
      {0x2C, true, DiscCd},  {0x40, true, DiscBd},    {0x43, true, DiscBd},
      {0x50, true, DiscBd},  {0x0F, false, DiscNone}, {-1, true, DiscCd},
  };
  for (const Case& c : cases) {
    fake::System system;
    ScriptedOptical drive;
    drive.profile = c.profile;
    drive.unitReady = c.ready;
    system.ioControl = std::ref(drive);
    if (c.profile == -1) {  // the profile query itself fails
      system.ioControl = [&drive](HANDLE h, DWORD code, void* in, DWORD inSize, void* out,
                                  DWORD outSize, DWORD* returned) -> BOOL {
        auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
        if (sptd->Cdb[0] == 0x46) return FALSE;
        return drive(h, code, in, inSize, out, outSize, returned);
      };
    }
    fake::ScopedFakeSystem install(system);
    EXPECT_EQ(DetectDiscType(kDrive), c.expected) << std::hex << c.profile;
    // DVD and BD need no TEST UNIT READY.
    const bool askedUnit = !drive.cdbs.empty() && drive.cdbs.back()[0] == 0x00;
    EXPECT_EQ(askedUnit, c.expected != DiscDvd && c.expected != DiscBd) << c.profile;
  }
}

TEST(SpeedTexts, NamesUnitsSilentSpeedsAndFormats) {
  EXPECT_STREQ(DiscTypeName(DiscNone), "-");
  EXPECT_STREQ(DiscTypeName(DiscCd), "CD");
  EXPECT_STREQ(DiscTypeName(DiscDvd), "DVD");
  EXPECT_STREQ(DiscTypeName(DiscBd), "BD");
  EXPECT_STREQ(DiscTypeName(7), "-");
  EXPECT_EQ(SpeedUnit(DiscDvd), 1385);
  EXPECT_EQ(SpeedUnit(DiscBd), 4482);
  EXPECT_EQ(SpeedUnit(DiscCd), 176);
  EXPECT_EQ(SpeedUnit(-3), 176);
  EXPECT_EQ(SilentSpeed(DiscNone), 176);
  EXPECT_EQ(SilentSpeed(DiscCd), 704);
  EXPECT_EQ(SilentSpeed(DiscDvd), 2770);
  EXPECT_EQ(SilentSpeed(DiscBd), 4482);

  struct Case {
    int32_t type, speed;
    const char* text;
  };
  const Case cases[] = {
      {DiscCd, 7056, "40 X (7056 KB/s)"},     {DiscCd, 8467, "48 X (8467 KB/s)"},
      {DiscDvd, 22160, "16.0 X (22160 KB/s)"}, {DiscDvd, 6925, "5.0 X (6925 KB/s)"},
      {DiscBd, 4482, "1.0 X (4482 KB/s)"},     {DiscCd, -1, "0 X (-1 KB/s)"},
      {DiscDvd, -1, "-0.0 X (-1 KB/s)"},       {DiscNone, 176, "1.0 X (176 KB/s)"},
      {DiscCd, 65535, "372 X (65535 KB/s)"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatSpeed(c.type, c.speed), c.text);
}

TEST(SpeedProbe, KeepsEachChangeAndRestoresTheSpeedItFound) {
  fake::System system;
  ScriptedOptical optical;
  optical.readings = {4234, 8448, 7040, 7040, 5632};  // first: the speed before the probe
  system.ioControl = std::ref(optical);
  fake::ScopedFakeSystem install(system);
  auto drive = Drive("ACMEOPT CD-RW", DiscCd);

  EXPECT_EQ(ProbeSpeeds(*drive), 3);

  const SpeedTable& table = drive->speedTables[DiscCd];
  EXPECT_EQ(std::vector<int>(table.speeds, table.speeds + 3), (std::vector<int>{8448, 7040, 5632}));
  EXPECT_EQ(table.currentSpeed, 4234);
  // Fastest first, then 47X down to 0X, then the speed found before.
  ASSERT_EQ(optical.cdSpeedsSet.size(), 1u + 48u + 1u);
  EXPECT_EQ(optical.cdSpeedsSet.front(), 0xFFFF);
  EXPECT_EQ(optical.cdSpeedsSet[1], 47 * 176);
  EXPECT_EQ(optical.cdSpeedsSet[48], 0);
  EXPECT_EQ(optical.cdSpeedsSet.back(), 4234);
  EXPECT_TRUE(optical.streamingSpeedsSet.empty());
}

TEST(SpeedProbe, AValueThatComesBackIsKeptAgain) {
  fake::System system;
  ScriptedOptical optical;
  optical.readings = {1385, 5540, 4155, 5540, 2770};
  system.ioControl = std::ref(optical);
  fake::ScopedFakeSystem install(system);
  auto drive = Drive("ACMEOPT DVD", DiscDvd);

  EXPECT_EQ(ProbeSpeeds(*drive), 4);
  const SpeedTable& table = drive->speedTables[DiscDvd];
  EXPECT_EQ(std::vector<int>(table.speeds, table.speeds + 4),
            (std::vector<int>{5540, 4155, 5540, 2770}));
}

TEST(SpeedProbe, FailedFirstReadingEndsWithAnEmptyList) {
  fake::System system;
  ScriptedOptical optical;
  optical.capabilitiesWork = false;
  system.ioControl = std::ref(optical);
  fake::ScopedFakeSystem install(system);
  auto drive = Drive("ACMEOPT DVD", DiscDvd);

  EXPECT_EQ(ProbeSpeeds(*drive), 0);
  EXPECT_EQ(drive->speedTables[DiscDvd].currentSpeed, -1);
  // Fastest, one step to a negative multiple (its low 16 bits), the old speed.
  EXPECT_EQ(optical.cdSpeedsSet, (std::vector<int>{0xFFFF, 0x10000 - 1385, 0xFFFF}));
}

TEST(SpeedProbe, FixedListForTheFamilyThatNeedsOneOnlyWithADvd) {
  fake::System system;
  ScriptedOptical optical;
  optical.readings = {2770};
  system.ioControl = std::ref(optical);
  fake::ScopedFakeSystem install(system);

  auto dvd = Drive("ACMEOPT DVDR   PX-7Q0X", DiscDvd);
  EXPECT_EQ(ProbeSpeeds(*dvd), 5);
  const SpeedTable& table = dvd->speedTables[DiscDvd];
  EXPECT_EQ(std::vector<int>(table.speeds, table.speeds + 5),
            (std::vector<int>{22160, 16620, 11080, 6925, 2770}));
  EXPECT_TRUE(optical.cdSpeedsSet.empty());  // no speed is set for it
  EXPECT_EQ(FormatSpeedList(table), "CC 22160,16620,11080,6925,2770");

  auto cd = Drive("ACMEOPT DVDR   PX-7Q0X", DiscCd);
  ProbeSpeeds(*cd);
  EXPECT_FALSE(optical.cdSpeedsSet.empty());

  auto lower = Drive("ACMEOPT DVDR   px-760X", DiscDvd);  // the match is case-sensitive
  optical.cdSpeedsSet.clear();
  ProbeSpeeds(*lower);
  EXPECT_FALSE(optical.cdSpeedsSet.empty());
}

TEST(SpeedProbe, StopsAddingAtTheTableLimit) {
  fake::System system;
  ScriptedOptical optical;
  optical.readings = {65535};  // 372X: more steps than the table holds
  for (int i = 0; i < 400; ++i) optical.readings.push_back(65535 - i);
  system.ioControl = std::ref(optical);
  fake::ScopedFakeSystem install(system);
  auto drive = Drive("ACMEOPT CD", DiscCd);

  EXPECT_EQ(ProbeSpeeds(*drive), kMaxSpeeds);
  EXPECT_EQ(optical.cdSpeedsSet.back(), 65535);  // still restored at the end
}

TEST(SpeedProbe, ZeroKilobytesIsNeverASpeed) {
  struct Case {
    std::deque<int> readings;
    std::vector<int> speeds;
  };
  const Case cases[] = {
      {{0, 0}, {}},                        // a drive that reports 0 throughout
      {{704, 1408, 0, 704}, {1408, 704}},  // a 0 in the middle is passed over
  };
  for (const Case& c : cases) {
    fake::System system;
    ScriptedOptical optical;
    optical.readings = c.readings;
    system.ioControl = std::ref(optical);
    fake::ScopedFakeSystem install(system);
    auto drive = Drive("ACMEOPT CD", DiscCd);
    ProbeSpeeds(*drive);
    const SpeedTable& table = drive->speedTables[DiscCd];
    EXPECT_EQ(std::vector<int>(table.speeds, table.speeds + table.speedCount), c.speeds);
  }
}

TEST(SpeedReading, ARefusedMethodFallsBackToTheOtherForTheShownSpeed) {
  struct Case {
    bool byPerformance, capabilities, performance;
    int32_t expected;
  };
  const Case cases[] = {
      {true, true, false, 704},    // no GET PERFORMANCE: page 2Ah
      {false, false, true, 704},   // no page 2Ah: GET PERFORMANCE
      {true, true, true, 704},     // the table's own method
      {true, false, false, -1},    // neither: unknown
  };
  for (const Case& c : cases) {
    fake::System system;
    ScriptedOptical optical;
    optical.readings = {704};
    optical.capabilitiesWork = c.capabilities;
    optical.performanceWork = c.performance;
    system.ioControl = std::ref(optical);
    fake::ScopedFakeSystem install(system);
    auto drive = Drive("ACMEOPT CD", DiscCd);
    drive->speedTables[DiscCd].readByPerformance = c.byPerformance;
    EXPECT_EQ(ReadSpeedByAnyMethod(*drive), c.expected);
    EXPECT_EQ(ReadCurrentSpeed(*drive), c.byPerformance ? (c.performance ? 704 : -1)
                                                        : (c.capabilities ? 704 : -1));
  }
}

TEST(SpeedSetting, AChosenSpeedGoesByTheOtherMethodWhenTheDriveRefusesOne) {
  fake::System system;
  ScriptedOptical optical;
  system.ioControl = [&optical](HANDLE h, DWORD code, void* in, DWORD inSize, void* out,
                                DWORD outSize, DWORD* returned) -> BOOL {
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
    if (sptd->Cdb[0] == 0xB6) {  // no SET STREAMING: INVALID COMMAND OPERATION CODE
      sptd->ScsiStatus = 2;
      return TRUE;
    }
    return optical(h, code, in, inSize, out, outSize, returned);
  };
  fake::ScopedFakeSystem install(system);
  auto drive = Drive("ACMEOPT CD", DiscCd);
  drive->speedTables[DiscCd].setByStreaming = 1;
  EXPECT_EQ(ApplySpeedByAnyMethod(*drive, 704), kCommandGood);
  EXPECT_EQ(optical.cdSpeedsSet, std::vector<int>{704});
  drive->speedTables[DiscCd].setByStreaming = 0;  // the table's own method works: only it
  EXPECT_EQ(ApplySpeedByAnyMethod(*drive, 1408), kCommandGood);
  EXPECT_EQ(optical.cdSpeedsSet, (std::vector<int>{704, 1408}));
}

// The worker's message, as a stand-in window receives it.
struct Receiver {
  std::mutex mutex;
  std::condition_variable done;
  int messages = 0;
  HWND window = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = -1;
};
Receiver* receiver = nullptr;

LRESULT Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard<std::mutex> lock(receiver->mutex);
  ++receiver->messages;
  receiver->window = window;
  receiver->message = message;
  receiver->wParam = wParam;
  receiver->lParam = lParam;
  receiver->done.notify_all();
  return 0;
}

class SpeedProbeWorkerTest : public testing::Test {
 protected:
  void SetUp() override {
    receiver = &received;
    platform::InstallMessageReceiver(Receive);
  }
  void TearDown() override {
    platform::InstallMessageReceiver(nullptr);
    receiver = nullptr;
  }
  void WaitForMessage() {
    std::unique_lock<std::mutex> lock(received.mutex);
    ASSERT_TRUE(received.done.wait_for(lock, std::chrono::seconds(20),
                                       [this] { return received.messages > 0; }));
  }
  Receiver received;
};

TEST_F(SpeedProbeWorkerTest, FallsBackToStreamingThenToPerformance) {
  struct Case {
    const char* name;
    bool capabilities;
    std::deque<int> readings;
    bool ignoresCdSpeed;
    int32_t readByPerformance, setByStreaming, count;
  };
  // A drive whose readings never change yields one entry per try.
  const Case cases[] = {
      {"CD SPEED works", true, {2770, 22160, 16620, 11080}, false, 0, 0, 3},
      {"same speed whatever is set", true, {5540}, true, 1, 1, 1},
      {"no capabilities page", false, {5540}, true, 1, 1, 1},
  };
  for (const Case& c : cases) {
    fake::System system;
    ScriptedOptical optical;
    optical.readings = c.readings;
    optical.capabilitiesWork = c.capabilities;
    system.ioControl = std::ref(optical);
    fake::ScopedFakeSystem install(system);
    auto drive = Drive("ACMEOPT DVD", DiscDvd);
    drive->speedTables[DiscDvd].notifyWindow = reinterpret_cast<HWND>(0x1234);
    drive->speedTables[DiscDvd].readByPerformance = 1;  // cleared before the first try

    EXPECT_EQ(SpeedProbeWorker(drive.get()), 1u) << c.name;

    const SpeedTable& table = drive->speedTables[DiscDvd];
    EXPECT_EQ(table.readByPerformance, c.readByPerformance) << c.name;
    EXPECT_EQ(table.setByStreaming, c.setByStreaming) << c.name;
    EXPECT_EQ(table.speedCount, c.count) << c.name;
    EXPECT_EQ(received.window, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(received.message, 0x040Eu);
    EXPECT_EQ(received.wParam, 1u);
    EXPECT_EQ(received.lParam, 0);
    if (c.setByStreaming) {
      EXPECT_FALSE(optical.streamingSpeedsSet.empty()) << c.name;
    }
  }
}

TEST_F(SpeedProbeWorkerTest, AProbeWithoutSpeedsSaysSoAndIsReadyToStore) {
  fake::System system;
  ScriptedOptical optical;
  optical.readings = {704};         // page 2Ah: the same whatever is set
  optical.performanceWork = false;  // the third try reads nothing at all
  system.ioControl = std::ref(optical);
  fake::ScopedFakeSystem install(system);
  auto drive = Drive("ACMEOPT CD", DiscCd);
  SpeedProbeWorker(drive.get());
  const SpeedTable& table = drive->speedTables[DiscCd];
  EXPECT_EQ(table.speedCount, 0);
  EXPECT_EQ(table.probeFoundNone, 1);
  EXPECT_EQ(table.probeFinished, 1);
  EXPECT_EQ(FormatSpeedList(table), "DD ");
}

TEST_F(SpeedProbeWorkerTest, RunsOnItsOwnThreadAndReportsWhenDone) {
  fake::System system;
  ScriptedOptical optical;
  optical.readings = {2770, 22160, 11080};
  system.ioControl = std::ref(optical);
  fake::ScopedFakeSystem install(system);
  auto drive = Drive("ACMEOPT DVD", DiscDvd);
  drive->speedTables[DiscDvd].notifyWindow = reinterpret_cast<HWND>(0x99);

  StartSpeedProbe(*drive);
  WaitForMessage();

  EXPECT_TRUE(platform::WaitForWorkers(20000));
  EXPECT_EQ(received.messages, 1);
  EXPECT_EQ(drive->speedTables[DiscDvd].speedCount, 2);
}

// ---------------------------------------------------------------------------
// Stored speed lists
// ---------------------------------------------------------------------------

TEST(SpeedListText, ParsingKeepsWhatCameBeforeTheDamage) {
  struct Case {
    const char* text;
    std::vector<int> speeds;
    int32_t readByPerformance, setByStreaming;
  };
  const Case cases[] = {
      {"CC 22160,16620,11080,6925,2770", {22160, 16620, 11080, 6925, 2770}, 0, 0},
      {"CD 7040,5632", {7040, 5632}, 0, 1},
      {"DC 7040", {7040}, 1, 0},
      {"CC 7040,x,5632", {7040}, 0, 0},
      {"CC", {}, 0, 0},
      {"C", {}, 0, 1},
      {"CC 7040,0,5632", {7040, 5632}, 0, 0},  // a 0 is skipped, not an end
      {"CC 0", {}, 0, 0},
      {"DD 0,0,7040", {7040}, 1, 1},
      {"CC  7040, 5632,", {7040, 5632}, 0, 0},
      {"CC 7040x,5632", {7040, 5632}, 0, 0},
      {"CC 4294967296,7040", {}, 0, 0},  // does not fit a speed: damage
      {"CC 2147483647", {2147483647}, 0, 0},
      {"CC -176", {-176}, 0, 0},
      {"cc 7040", {7040}, 1, 1},  // letters are compared as stored
  };
  for (const Case& c : cases) {
    SpeedTable table = {};
    table.speedCount = 9;
    ParseSpeedList(c.text, table);
    EXPECT_EQ(std::vector<int>(table.speeds, table.speeds + table.speedCount), c.speeds) << c.text;
    EXPECT_EQ(table.readByPerformance, c.readByPerformance) << c.text;
    EXPECT_EQ(table.setByStreaming, c.setByStreaming) << c.text;
  }
}

TEST(SpeedListText, AProbeThatLearnedNothingIsToldFromNothingStored) {
  struct Case {
    const char* text;
    int32_t foundNone;
  };
  const Case cases[] = {{"DD ", 1}, {"CC ", 1}, {"CD ", 1}, {"CC", 0},
                        {"CC 0", 0}, {"DD 704", 0}, {"C", 0}};
  for (const Case& c : cases) {
    SpeedTable table = {};
    table.probeFoundNone = 7;
    ParseSpeedList(c.text, table);
    EXPECT_EQ(table.probeFoundNone, c.foundNone) << c.text;
    EXPECT_EQ(table.speedCount, std::string(c.text) == "DD 704" ? 1 : 0) << c.text;
  }
  // What a probe with no speed stores is exactly that text.
  SpeedTable empty = {};
  empty.readByPerformance = empty.setByStreaming = 1;
  EXPECT_EQ(FormatSpeedList(empty), "DD ");
  // Nothing stored leaves what this run already knows.
  SpeedTable known = {};
  known.probeFoundNone = 1;
  ParseSpeedList("", known);
  EXPECT_EQ(known.probeFoundNone, 1);
}

TEST(SpeedListText, EmptyTextKeepsTheMethodFlags) {
  SpeedTable table = {};
  table.readByPerformance = table.setByStreaming = 1;
  table.speedCount = 3;
  ParseSpeedList("", table);
  EXPECT_EQ(table.speedCount, 0);
  EXPECT_EQ(table.readByPerformance, 1);
  EXPECT_EQ(table.setByStreaming, 1);
}

TEST(SpeedListText, LimitsAreKeptWithoutCuttingANumber) {
  SpeedTable table = {};
  table.speedCount = kMaxSpeeds;
  for (int i = 0; i < kMaxSpeeds; ++i) table.speeds[i] = 10000 + i;
  const std::string text = FormatSpeedList(table);
  EXPECT_LE(text.size(), kSpeedListTextLimit);
  EXPECT_EQ(text.substr(0, 9), "CC 10000,");
  EXPECT_NE(text.back(), ',');
  // 3 + 5 + 42 x 6 = 258 > 255: 41 more entries after the first fit.
  EXPECT_EQ(text.size(), 3u + 5u + 41u * 6u);

  SpeedTable back = {};
  ParseSpeedList(text, back);
  EXPECT_EQ(back.speedCount, 42);
  EXPECT_EQ(back.speeds[41], 10041);

  std::string many = "CC 1";
  for (int i = 2; i <= 200; ++i) many += "," + std::to_string(i);
  ParseSpeedList(many, back);
  EXPECT_EQ(back.speedCount, kMaxSpeeds);
  EXPECT_EQ(back.speeds[kMaxSpeeds - 1], kMaxSpeeds);
}

TEST(StoredSpeedLists, SaveAndLoadUnderTheDriveModel) {
  platform::SetRegistryKey("Palisko");
  platform::SetApplicationName(nullptr);  // the executable's name, as the program has it
#ifdef _WIN32
  EXPECT_EQ(platform::ApplicationName(), "drive_tests");
#endif
  auto drive = Drive("ACMEOPT DVD-RW  DX-16A  ", DiscDvd);
  SpeedTable& table = drive->speedTables[DiscDvd];
  table.readByPerformance = 0;
  table.setByStreaming = 1;
  table.speedCount = 2;
  table.speeds[0] = 7040;
  table.speeds[1] = 5632;

  EXPECT_TRUE(SaveSpeedList(*drive));
  EXPECT_EQ(platform::GetProfileString("ACMEOPT DVD-RW  DX-16A  ", "DVD speed list", ""),
            "CD 7040,5632");
  EXPECT_TRUE(SaveChosenSpeed(*drive, 65535));
  EXPECT_EQ(platform::GetProfileInt("ACMEOPT DVD-RW  DX-16A  ", "DVD speed", 0), 65535);

  auto other = Drive("ACMEOPT DVD-RW  DX-16A  ", DiscDvd);  // same model, another drive
  LoadSpeedList(*other);
  const SpeedTable& loaded = other->speedTables[DiscDvd];
  EXPECT_EQ(loaded.speedCount, 2);
  EXPECT_EQ(loaded.speeds[1], 5632);
  EXPECT_EQ(loaded.setByStreaming, 1);
  EXPECT_EQ(loaded.readByPerformance, 0);

  other->discType = DiscCd;  // nothing stored for CDs yet
  LoadSpeedList(*other);
  EXPECT_EQ(other->speedTables[DiscCd].speedCount, 0);
}

TEST(StoredSpeedLists, FinishedProbesAreStoredWhenTheirWindowHasGone) {
  platform::SetRegistryKey("Palisko");
  auto list = std::make_unique<DriveList>();
  std::memset(list.get(), 0, sizeof *list);
  list->driveCount = 2;
  list->slots[0].hard.kind = KindHardDrive;
  OpticalDriveInfo& drive = list->slots[1].optical;
  drive.kind = KindOpticalDrive;
  std::snprintf(drive.displayName, sizeof drive.displayName, "%s", "FINISHED PROBE");
  drive.discType = DiscNone;  // the medium shown now need not be the probed one
  SpeedTable& bd = drive.speedTables[DiscBd];
  bd.speedCount = 1;
  bd.speeds[0] = 8990;
  bd.probeFinished = 1;
  SpeedTable& cd = drive.speedTables[DiscCd];  // half done: never stored
  cd.speedCount = 1;
  cd.speeds[0] = 704;

  SaveFinishedProbes(*list);
  EXPECT_EQ(platform::GetProfileString("FINISHED PROBE", "BD speed list", ""), "CC 8990");
  EXPECT_EQ(platform::GetProfileString("FINISHED PROBE", "CD speed list", ""), "");
  EXPECT_EQ(bd.probeFinished, 0);
}

}  // namespace
