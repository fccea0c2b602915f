// Device answers from the fuzzer: every call of the drive layer to the system
// is answered from the input (success or failure, the bytes returned, the
// SCSI status, sense and data), and the drive layer runs discovery, the ATA
// paths, the optical commands, the speed probe and the timers against it.
// Nothing an answer says may make it read or write outside its buffers.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <memory>
#include <string>

#include "drive/AtaCommands.h"
#include "drive/HardDriveDiscovery.h"
#include "drive/IdentifyData.h"
#include "drive/OpticalCommands.h"
#include "drive/ReadSpeed.h"
#include "drive/SmartData.h"
#include "platform/SystemCalls.h"

namespace {

FuzzedDataProvider* input = nullptr;
int handles = 0;

HANDLE Open(const char*, DWORD, DWORD, DWORD, DWORD) {
  // Few devices, so that the rest of the input reaches their commands.
  if (handles >= 6 || !input->ConsumeBool()) return INVALID_HANDLE_VALUE;
  return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x100 + 4 * ++handles));
}
BOOL Close(HANDLE) { return TRUE; }

// Fills `size` bytes at `out` from the input (the rest stays as it was).
void Fill(void* out, size_t size) {
  const std::string bytes = input->ConsumeBytesAsString(input->ConsumeIntegralInRange<size_t>(0, size));
  std::memcpy(out, bytes.data(), bytes.size());
}

BOOL Control(HANDLE, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
             DWORD* returned) {
  const BOOL ok = input->ConsumeBool();
  if (returned) *returned = input->ConsumeIntegral<uint32_t>();  // any claim, true or not
  if (code == IOCTL_SCSI_PASS_THROUGH_DIRECT && out && outSize >= sizeof(SCSI_PASS_THROUGH_DIRECT)) {
    SCSI_PASS_THROUGH_DIRECT sptd;
    std::memcpy(&sptd, out, sizeof sptd);
    sptd.ScsiStatus = input->ConsumeBool() ? 0 : input->ConsumeIntegral<uint8_t>();
    if (sptd.DataBuffer && sptd.DataTransferLength) Fill(sptd.DataBuffer, sptd.DataTransferLength);
    std::memcpy(out, &sptd, sizeof sptd);
    // The sense area, where the record says it is.
    if (sptd.SenseInfoOffset < outSize)
      Fill(static_cast<uint8_t*>(out) + sptd.SenseInfoOffset,
           std::min<size_t>(sptd.SenseInfoLength, outSize - sptd.SenseInfoOffset));
    return ok;
  }
  (void)in, (void)inSize;
  if (out && outSize) Fill(out, outSize);
  return ok;
}

UINT WindowsDirectory(char* buffer, UINT size) {
  const std::string text = input->ConsumeRandomLengthString(size + 4);
  if (text.size() + 1 > size) return static_cast<UINT>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<UINT>(text.size());
}
BOOL Name(char* buffer, DWORD size) {
  const std::string text = input->ConsumeRandomLengthString(size + 4);
  if (!input->ConsumeBool() || text.size() + 1 > size) return FALSE;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return TRUE;
}
BOOL VolumeName(const char*, char* buffer, DWORD size) { return Name(buffer, size); }
UINT DriveType(const char*) { return input->ConsumeIntegralInRange<UINT>(0, 6); }
HANDLE FirstVolume(char* buffer, DWORD size) {
  return Name(buffer, size) ? reinterpret_cast<HANDLE>(0x7000) : INVALID_HANDLE_VALUE;
}
BOOL NextVolume(HANDLE, char* buffer, DWORD size) { return Name(buffer, size); }
BOOL CloseVolumes(HANDLE) { return TRUE; }
DWORD LastError() { return input->ConsumeBool() ? ERROR_MORE_DATA : ERROR_INVALID_FUNCTION; }

platform::SystemCalls AnswersFromInput() {
  platform::SystemCalls calls;
  calls.CreateFileA = Open;
  calls.CloseHandle = Close;
  calls.DeviceIoControl = Control;
  calls.GetWindowsDirectoryA = WindowsDirectory;
  calls.GetVolumeNameForVolumeMountPointA = VolumeName;
  calls.GetDriveTypeA = DriveType;
  calls.FindFirstVolumeA = FirstVolume;
  calls.FindNextVolumeA = NextVolume;
  calls.FindVolumeClose = CloseVolumes;
  calls.GetLastError = LastError;
  return calls;
}
const platform::SystemCalls kAnswersFromInput = AnswersFromInput();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input read as a disk's SMART data, as it stands: its counters.
  if (size >= drive::kSmartDataLength) static_cast<void>(drive::ReadWearCounts(data));
  FuzzedDataProvider provider(data, size);
  input = &provider;
  handles = 0;
  platform::InstallSystemCalls(&kAnswersFromInput);

  auto list = std::make_unique<drive::DriveList>();
  std::memset(list.get(), 0, sizeof *list);
  drive::EnumerateHardDrives(*list);
  const int hardDrives = list->driveCount;
  drive::EnumerateOpticalDrives(*list);

  for (int i = 0; i < list->driveCount; ++i) {
    if (i < hardDrives) {
      drive::HardDriveInfo& disk = list->slots[i].hard;
      drive::AtaTaskFile registers = {};
      drive::AtaCheckPowerMode(disk, &registers);
      uint8_t identify[drive::kIdentifyLength];
      if (drive::AtaIdentifyDevice(disk, identify, sizeof identify)) {
        drive::StoreFeatureLevels(disk, identify);
        static_cast<void>(drive::CarriesIdentifyData(identify));
      }
      uint8_t smart[drive::kSmartDataLength];
      if (drive::AtaSmartReadData(disk, smart)) static_cast<void>(drive::ReadWearCounts(smart));
      drive::AtaIdle(disk, provider.ConsumeIntegral<uint8_t>());
      drive::AtaSetFeatures(disk, drive::kFeatureEnableApm, provider.ConsumeIntegral<uint8_t>());
      drive::AtaStandbyImmediate(disk);
      continue;
    }
    drive::OpticalDriveInfo& optical = list->slots[i].optical;
    optical.discType = drive::DetectDiscType(optical.deviceHandle);
    drive::LoadSpeedList(optical);
    drive::SpeedProbeWorker(&optical);  // synchronously; its message goes nowhere here
    drive::SaveSpeedList(optical);
    drive::ReadSpeedByAnyMethod(optical);
    drive::ApplySpeedByAnyMethod(optical, provider.ConsumeIntegral<int32_t>());
    uint8_t page[drive::kPowerConditionPageLength] = {};
    drive::ReadPowerConditionPage(optical.deviceHandle, page, sizeof page);
    drive::DecodePowerConditionPage(page);
    drive::WritePowerConditions(optical.deviceHandle, provider.ConsumeIntegralInRange(-1, 1),
                                provider.ConsumeIntegralInRange(-1, 1),
                                provider.ConsumeIntegral<int32_t>(), drive::kLeaveUnchanged);
    drive::EnterPowerCondition(optical.deviceHandle, drive::kConditionStandby);
  }
  drive::SaveFinishedProbes(*list);
  platform::InstallSystemCalls(nullptr);
  input = nullptr;
  return 0;
}
