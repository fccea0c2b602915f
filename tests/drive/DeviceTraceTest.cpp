// The trace of real devices: a tracer over another table of system calls
// must pass every call on unchanged and write the very lines the simulated
// bay writes for the same calls.
#include <gtest/gtest.h>

#include "BayMachine.h"
#include "drive/AtaCommands.h"
#include "drive/HardDriveDiscovery.h"
#include "drive/OpticalCommands.h"
#include "drive/ReadSpeed.h"
#include "sim/SystemCallTracer.h"

namespace {

const char* const kMachine = R"(
[disk 0]
model = TRACE DISK
ata_paths = sat12
apm = 128
[disk 1]
ata_paths = vendor_f8
aam = 200
[volume C]
extents = 0
[volume]
extents = 0, 1
[optical E]
medium = cd-rw
cd_speeds = 7056, 5645
set_cd_speed = ignored
)";

TEST(DeviceTrace, TracerWritesTheBaysLinesAndPassesAnswersOn) {
  BayMachine machine(kMachine);
  sim::SystemCallTracer tracer(sim::BaySystemCalls());
  tracer.Install();

  drive::DriveList list = {};
  ASSERT_EQ(drive::EnumerateHardDrives(list), 2);
  ASSERT_EQ(drive::EnumerateOpticalDrives(list), 3);
  EXPECT_STREQ(list.slots[0].hard.displayName, "TRACE DISK");  // answers passed on
  EXPECT_EQ(list.slots[0].hard.isSystemDrive, 1);
  EXPECT_EQ(list.slots[1].hard.ataPath, drive::PathVendorF8);
  drive::OpticalDriveInfo& optical = list.slots[2].optical;
  optical.discType = drive::DetectDiscType(optical.deviceHandle);
  EXPECT_EQ(optical.discType, drive::DiscCd);
  drive::SetCdSpeed(optical.deviceHandle, 704);
  drive::AtaTaskFile registers = {};
  EXPECT_TRUE(drive::AtaCheckPowerMode(list.slots[0].hard, &registers));
  platform::CloseHandle(list.slots[1].hard.deviceHandle);
  tracer.Uninstall();

  const std::vector<std::string> bayLines = machine.bay().Trace();
  const std::vector<std::string> tracedLines = tracer.Log().Lines();
  ASSERT_GT(bayLines.size(), 40u);
  EXPECT_EQ(tracedLines, bayLines);
}

TEST(DeviceTrace, FailedCallsAndTheirErrorsPassThrough) {
  BayMachine machine(kMachine);
  sim::SystemCallTracer tracer(sim::BaySystemCalls());
  tracer.Install();
  EXPECT_EQ(platform::CreateFileA("\\\\.\\PhysicalDrive7", GENERIC_READ, 0, OPEN_EXISTING, 0),
            INVALID_HANDLE_VALUE);
  HANDLE volume = platform::CreateFileA("\\\\?\\Volume{00000000-0000-0000-0000-000000000002}",
                                        GENERIC_READ, 0, OPEN_EXISTING, 0);
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  uint8_t small[32] = {};
  DWORD returned = 0;
  EXPECT_FALSE(platform::DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                         small, sizeof small, &returned));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));
  tracer.Uninstall();
  EXPECT_EQ(tracer.Log().Lines(), machine.bay().Trace());
  EXPECT_EQ(tracer.Log().Lines().front(), "PhysicalDrive7 OPEN - len=0 dir=none -> fail");
}

}  // namespace
