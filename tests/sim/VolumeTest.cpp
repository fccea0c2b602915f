// The simulated Windows installation: Windows directory, mount points, drive
// types, volume enumeration, disk extents and the devices behind letters.
#include "BaySupport.h"

namespace {

const char kMachine[] =
    "[system]\nwindows_directory = D:\\WINNT\n"
    "[disk 0]\n[disk 1]\nlast_lba = 999\n[disk 2]\n"
    "[volume C]\nname = \\\\?\\Volume{c0000000-0000-0000-0000-000000000001}\\\nextents = 0\n"
    "[volume D]\nname = \\\\?\\Volume{d0000000-0000-0000-0000-000000000002}\\\n"
    "extents = 1:1048576:4096 2:0:8192\n"
    "[volume E]\nname = \\\\?\\Volume{e0000000-0000-0000-0000-000000000003}\\\ntype = cdrom\n"
    "[volume]\nname = \\\\?\\Volume{f0000000-0000-0000-0000-000000000004}\\\nextents = 2\n"
    "extents_count_override = 7\n";

class Volumes : public simtest::BayTest {
 protected:
  void SetUp() override { Load(kMachine); }
  static uint32_t Dword(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
  }
  static uint64_t Qword(const uint8_t* p) { return Dword(p) | (uint64_t{Dword(p + 4)} << 32); }
};

TEST_F(Volumes, WindowsDirectoryNeedsRoomForTheZero) {
  char buffer[MAX_PATH];
  EXPECT_EQ(platform::GetWindowsDirectoryA(buffer, MAX_PATH), 8u);
  EXPECT_STREQ(buffer, "D:\\WINNT");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(platform::GetWindowsDirectoryA(buffer, 8), 9u);  // the size needed
  EXPECT_EQ(buffer[0], 'x');
}

TEST_F(Volumes, MountPointsAndDriveTypes) {
  char name[100];
  ASSERT_TRUE(platform::GetVolumeNameForVolumeMountPointA("e:\\", name, sizeof name));
  EXPECT_STREQ(name, "\\\\?\\Volume{e0000000-0000-0000-0000-000000000003}\\");
  EXPECT_FALSE(platform::GetVolumeNameForVolumeMountPointA("F:\\", name, sizeof name));
  EXPECT_FALSE(platform::GetVolumeNameForVolumeMountPointA("C:", name, sizeof name));
  EXPECT_FALSE(platform::GetVolumeNameForVolumeMountPointA("C:\\", name, 49));
  EXPECT_EQ(platform::GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(platform::GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_CDROM));
  EXPECT_EQ(platform::GetDriveTypeA("A:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST_F(Volumes, EnumerationListsEveryVolumeInFileOrder) {
  char name[100];
  HANDLE find = platform::FindFirstVolumeA(name, sizeof name);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  std::vector<std::string> names = {name};
  while (platform::FindNextVolumeA(find, name, sizeof name)) names.push_back(name);
  EXPECT_EQ(names.size(), 4u);
  EXPECT_EQ(names[3], "\\\\?\\Volume{f0000000-0000-0000-0000-000000000004}\\");
  EXPECT_EQ(bay.OpenHandleCount(), 1);
  EXPECT_TRUE(platform::FindVolumeClose(find));
  EXPECT_FALSE(platform::FindVolumeClose(find));
  EXPECT_EQ(bay.OpenHandleCount(), 0);
}

TEST_F(Volumes, ExtentsOfASpanningVolume) {
  HANDLE volume = Open("\\\\?\\Volume{d0000000-0000-0000-0000-000000000002}");
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  uint8_t out[512];
  std::memset(out, 0xEE, sizeof out);
  DWORD returned = 0;
  ASSERT_TRUE(platform::DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                        out, sizeof out, &returned));
  EXPECT_EQ(returned, 8u + 2 * 24);
  EXPECT_EQ(Dword(out), 2u);
  EXPECT_EQ(Dword(out + 8), 1u);
  EXPECT_EQ(Qword(out + 16), 1048576u);
  EXPECT_EQ(Qword(out + 24), 4096u);
  EXPECT_EQ(Dword(out + 32), 2u);
  EXPECT_EQ(Qword(out + 40), 0u);
  EXPECT_EQ(Qword(out + 48), 8192u);
  EXPECT_EQ(out[56], 0xEE);

  // Room for one extent only: ERROR_MORE_DATA, with the count and the first extent.
  std::memset(out, 0xEE, sizeof out);
  EXPECT_FALSE(platform::DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                         out, 32, &returned));
  EXPECT_EQ(Dword(out), 2u);
  EXPECT_EQ(Dword(out + 8), 1u);
  EXPECT_EQ(out[32], 0xEE);
}

TEST_F(Volumes, ExtentsCountOverrideAndVolumesWithoutExtents) {
  uint8_t out[512];
  DWORD returned = 0;
  HANDLE unlettered = Open("\\\\?\\Volume{F0000000-0000-0000-0000-000000000004}");
  ASSERT_TRUE(platform::DeviceIoControl(unlettered, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr,
                                        0, out, sizeof out, &returned));
  EXPECT_EQ(Dword(out), 7u);
  EXPECT_EQ(Dword(out + 8), 2u);
  HANDLE cd = Open("\\\\?\\Volume{e0000000-0000-0000-0000-000000000003}");
  EXPECT_FALSE(platform::DeviceIoControl(cd, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, out,
                                         sizeof out, &returned));
  HANDLE disk = Open("\\\\.\\PhysicalDrive0");
  EXPECT_FALSE(platform::DeviceIoControl(disk, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                         out, sizeof out, &returned));
}

TEST_F(Volumes, OpensThatMustFail) {
  for (const char* path :
       {"\\\\.\\PhysicalDrive3", "\\\\.\\PhysicalDrive00", "\\\\.\\E:", "\\\\.\\F:",
        "\\\\?\\Volume{c0000000-0000-0000-0000-000000000001}\\", "C:\\WINDOWS\\notepad.exe", ""}) {
    EXPECT_EQ(Open(path), INVALID_HANDLE_VALUE) << path;
  }
  EXPECT_EQ(bay.OpenHandleCount(), 0);
}

TEST_F(Volumes, HandlesAreDistinctAndClosedOnce) {
  HANDLE a = Open("\\\\.\\PhysicalDrive0");
  HANDLE b = Open("\\\\.\\PhysicalDrive0");
  HANDLE c = Open("\\\\.\\C:");
  EXPECT_NE(a, b);
  EXPECT_NE(a, nullptr);
  EXPECT_NE(c, INVALID_HANDLE_VALUE);
  EXPECT_EQ(bay.OpenHandleCount(), 3);
  EXPECT_TRUE(platform::CloseHandle(a));
  EXPECT_FALSE(platform::CloseHandle(a));
  EXPECT_FALSE(platform::CloseHandle(reinterpret_cast<HANDLE>(0x1234)));
  EXPECT_EQ(bay.OpenHandleCount(), 2);
}

TEST_F(Volumes, LetterOfADiskVolumeAnswersAsADisk) {
  const std::vector<uint8_t> inquiry = {0x12, 0, 0, 0, 36, 0, 0, 0, 0, 0, 0, 0};
  // C: lies on disk 0 alone: its requests reach that disk.
  simtest::ScsiResult c = simtest::SendCdb(Open("\\\\.\\C:"), inquiry, 36);
  EXPECT_EQ(c.status, 0x00);
  EXPECT_EQ(c.data[0], 0x00);
  EXPECT_EQ(std::string(c.data.begin() + 16, c.data.begin() + 32), "SIMULATED DISK 0");
  // D: spans two disks: still a direct-access device, but not one of them.
  simtest::ScsiResult d = simtest::SendCdb(Open("\\\\.\\d:"), inquiry, 36);
  EXPECT_EQ(d.status, 0x00);
  EXPECT_EQ(d.data[0], 0x00);
  EXPECT_NE(std::string(d.data.begin() + 16, d.data.begin() + 32).substr(0, 9), "SIMULATED");
}

TEST_F(Volumes, WineLettersRefusePassThroughButAnswerTheExtentsQuery) {
  // Under Wine a drive letter is a folder of the host: a SCSI pass-through
  // on \\.\C: fails, whether or not the volume lies on a disk of the bay.
  const std::vector<uint8_t> inquiry = {0x12, 0, 0, 0, 36, 0, 0, 0, 0, 0, 0, 0};
  for (const char* extents : {"empty", "0"}) {
    Load(std::string("[disk 0]\n[volume C]\nscsi_pass_through = no\nextents = ") + extents + "\n");
    HANDLE c = Open("\\\\.\\C:");
    EXPECT_FALSE(simtest::SendCdb(c, inquiry, 36).ok) << extents;
    uint8_t out[512];
    DWORD returned = 0;
    EXPECT_TRUE(platform::DeviceIoControl(c, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, out,
                                          sizeof out, &returned)) << extents;
    EXPECT_EQ(Dword(out), extents[0] == 'e' ? 0u : 1u);
  }
}

}  // namespace
