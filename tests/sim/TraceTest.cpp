// The command trace: exact lines for every kind of call, the trace file,
// whole lines from two threads, and latency slept outside the bay's lock.
#include <chrono>
#include <fstream>
#include <set>
#include <thread>

#include "BaySupport.h"

namespace {

const char kMachine[] =
    "[disk 0]\nata_paths = ata_pass_through smart\n"
    "[disk 1]\nata_paths = sat12\nlatency_ms = 300\n"
    "[volume C]\nname = \\\\?\\Volume{c0000000-0000-0000-0000-000000000001}\\\nextents = 0\n";

class Trace : public simtest::BayTest {
 protected:
  void SetUp() override { Load(kMachine); }
};

TEST_F(Trace, OneExactLinePerCall) {
  HANDLE disk = Open("\\\\.\\PhysicalDrive0");
  Open("\\\\.\\PhysicalDrive7");
  simtest::SendCdb(disk, {0x12, 0, 0, 0, 68, 0, 0, 0, 0, 0, 0, 0}, 68);
  simtest::SendCdb(disk, {0xA1, 0x08, 0x0D, 0, 0, 0, 0, 0, 0xA0, 0xEC, 0, 0}, 512);
  simtest::SendAta(disk, simtest::kIdentify, 512, ATA_FLAGS_DATA_IN);
  simtest::SendAta(disk, simtest::kCheckPowerMode, 0, ATA_FLAGS_DRDY_REQUIRED);
  simtest::SendSmart(disk, SMART_RCV_DRIVE_DATA, simtest::kIdentify, 512);
  simtest::SendSmart(disk, SMART_SEND_DRIVE_COMMAND, simtest::SetFeatures(0x05, 0), 0);
  uint8_t out[64];
  DWORD returned;
  platform::DeviceIoControl(disk, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, out, 24, &returned);
  platform::DeviceIoControl(disk, 0x00070048, nullptr, 0, out, 64, &returned);
  platform::CloseHandle(disk);
  char text[100];
  platform::GetWindowsDirectoryA(text, sizeof text);
  platform::GetVolumeNameForVolumeMountPointA("C:\\", text, sizeof text);
  platform::GetDriveTypeA("E:\\");
  HANDLE find = platform::FindFirstVolumeA(text, sizeof text);
  platform::FindNextVolumeA(find, text, sizeof text);
  platform::FindVolumeClose(find);
  HANDLE volume = Open("\\\\?\\Volume{c0000000-0000-0000-0000-000000000001}");
  platform::DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, out, 64,
                            &returned);

  const std::vector<std::string> expected = {
      "PhysicalDrive0 OPEN - len=0 dir=none -> ok",
      "PhysicalDrive7 OPEN - len=0 dir=none -> fail",
      "PhysicalDrive0 SPTD 120000004400000000000000 len=68 dir=in -> status=00",
      "PhysicalDrive0 SPTD A1080D0000000000A0EC0000 len=512 dir=in -> status=02",
      "PhysicalDrive0 ATA 0000000000A0EC00 len=512 dir=in -> ok",
      "PhysicalDrive0 ATA 0000000000A0E500 len=0 dir=none -> ok",
      "PhysicalDrive0 SMART_RCV 0000000000A0EC00 len=512 dir=in -> ok",
      "PhysicalDrive0 SMART_SEND 0500000000A0EF00 len=0 dir=none -> fail",
      "PhysicalDrive0 GEOMETRY - len=24 dir=none -> ok",
      "PhysicalDrive0 IOCTL_00070048 - len=64 dir=none -> fail",
      "PhysicalDrive0 CLOSE - len=0 dir=none -> ok",
      "- WINDIR - len=0 dir=none -> ok",
      "C:\\ MOUNTPOINT - len=0 dir=none -> ok",
      "E:\\ DRIVETYPE - len=0 dir=none -> type=1",
      "\\\\?\\Volume{c0000000-0000-0000-0000-000000000001}\\ VOLUME_FIRST - len=0 dir=none -> ok",
      "- VOLUME_NEXT - len=0 dir=none -> fail",
      "- VOLUME_CLOSE - len=0 dir=none -> ok",
      "\\\\?\\Volume{c0000000-0000-0000-0000-000000000001} OPEN - len=0 dir=none -> ok",
      "\\\\?\\Volume{c0000000-0000-0000-0000-000000000001} EXTENTS - len=64 dir=none -> ok",
  };
  EXPECT_EQ(bay.Trace(), expected);
  bay.ClearTrace();
  EXPECT_TRUE(bay.Trace().empty());
}

TEST_F(Trace, LinesAreAppendedToTheTraceFile) {
  const std::string path = ::testing::TempDir() + "bay-trace.txt";
  std::remove(path.c_str());
  bay.SetTraceFile(path);
  Open("\\\\.\\PhysicalDrive0");
  Open("\\\\.\\PhysicalDrive2");
  std::ifstream file(path);
  std::string first, second, third;
  std::getline(file, first);
  std::getline(file, second);
  EXPECT_EQ(first, "PhysicalDrive0 OPEN - len=0 dir=none -> ok");
  EXPECT_EQ(second, "PhysicalDrive2 OPEN - len=0 dir=none -> fail");
  EXPECT_FALSE(std::getline(file, third));
}

TEST_F(Trace, TwoThreadsWriteWholeLines) {
  const std::string path = ::testing::TempDir() + "bay-trace-threads.txt";
  std::remove(path.c_str());
  bay.SetTraceFile(path);
  HANDLE disk = Open("\\\\.\\PhysicalDrive0");
  auto work = [disk] {
    for (int i = 0; i < 200; ++i) {
      simtest::SendCdb(disk, {0x12, 0, 0, 0, 36, 0, 0, 0, 0, 0, 0, 0}, 36);
      simtest::SendAta(disk, simtest::kCheckPowerMode, 0, ATA_FLAGS_DRDY_REQUIRED);
    }
  };
  std::thread other(work);
  work();
  other.join();
  const std::set<std::string> lines = {
      "PhysicalDrive0 SPTD 120000002400000000000000 len=36 dir=in -> status=00",
      "PhysicalDrive0 ATA 0000000000A0E500 len=0 dir=none -> ok"};
  std::ifstream file(path);
  std::string text;
  int count = 0;
  while (std::getline(file, text)) {
    if (count++ == 0) continue;  // the OPEN
    EXPECT_EQ(lines.count(text), 1u) << text;
  }
  EXPECT_EQ(count, 801);
  EXPECT_EQ(bay.Trace().size(), 801u);
}

TEST_F(Trace, LatencyIsSleptWithoutHoldingOtherDevices) {
  HANDLE slow = Open("\\\\.\\PhysicalDrive1");
  HANDLE fast = Open("\\\\.\\PhysicalDrive0");
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  std::thread waiting([slow] {
    simtest::SendCdb(slow, {0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  simtest::SendCdb(fast, {0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0);
  const auto fastDone = Clock::now();
  waiting.join();
  const auto slowDone = Clock::now();
  EXPECT_LT(fastDone - start, std::chrono::milliseconds(250));
  EXPECT_GE(slowDone - start, std::chrono::milliseconds(300));
}

}  // namespace

namespace {

TEST(BayState, OneLinePerDeviceAsTheDevicesAreNow) {
  sim::Bay bay;
  std::string error;
  ASSERT_TRUE(bay.LoadText("[disk 0]\napm = 128\n[disk 3]\npower_mode = standby\naam = disabled\n"
                           "smart_attributes = 4:7 193:10\n"
                           "[optical E]\nmedium = dvd-rom\nidle = no\nstandby_timer = 1200\n",
                           &error))
      << error;
  bay.SetDiskPowerMode(0, 0x80);
  EXPECT_EQ(bay.StateText(),
            "disk 0 power=idle apm=128 aam=unsupported timer=off\n"
            "disk 3 power=standby apm=unsupported aam=disabled timer=off smart=4:7,193:10\n"
            "optical E profile=0010 speed=22160 power=active idle=off:3000 standby=on:1200\n");
}

}  // namespace
