#include "sim/ControlCodes.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "sim/Bytes.h"
#include "sim/LastError.h"

namespace sim {

namespace {

constexpr DWORD kErrorRevisionMismatch = 1306;
constexpr size_t kSmartInHead = offsetof(SENDCMDINPARAMS, bBuffer);        // 32
constexpr size_t kSmartOutHead = offsetof(SENDCMDOUTPARAMS, bBuffer);      // 16
constexpr size_t kIdeRegsOffset = offsetof(SENDCMDINPARAMS, irDriveRegs);  // 4
constexpr BYTE kSmartIdeError = 1;  // DRIVERSTATUS.bDriverError: the drive reported an error
constexpr BYTE kSmartCommand = 0xB0;
constexpr BYTE kIdentifyPacketDevice = 0xA1;
constexpr BYTE kIdentifyDevice = 0xEC;
constexpr BYTE kRemovableMedia = 11;  // MEDIA_TYPE RemovableMedia

template <typename Record>
bool ReadRecord(const void* buffer, DWORD size, Record* record) {
  if (!buffer || size < sizeof(Record)) return false;
  std::memcpy(record, buffer, sizeof(Record));
  return true;
}

AtaInput FromIdeRegs(const IDEREGS& regs) {
  AtaInput input;
  input.features = regs.bFeaturesReg;
  input.count = regs.bSectorCountReg;
  input.lbaLow = regs.bSectorNumberReg;
  input.lbaMid = regs.bCylLowReg;
  input.lbaHigh = regs.bCylHighReg;
  input.device = regs.bDriveHeadReg;
  input.command = regs.bCommandReg;
  return input;
}

}  // namespace

void DescribeControl(DWORD code, const void* in, DWORD inSize, DWORD outSize, TraceEntry* entry) {
  entry->length = outSize;
  entry->direction = "none";
  entry->bytes = "-";
  switch (code) {
    case IOCTL_SCSI_PASS_THROUGH_DIRECT: {
      entry->code = "SPTD";
      entry->length = 0;
      SCSI_PASS_THROUGH_DIRECT sptd;
      if (ReadRecord(in, inSize, &sptd)) {
        entry->bytes = HexBytes(sptd.Cdb, 12);
        entry->length = sptd.DataTransferLength;
        if (sptd.DataIn == SCSI_IOCTL_DATA_IN) entry->direction = "in";
        if (sptd.DataIn == SCSI_IOCTL_DATA_OUT) entry->direction = "out";
      }
      return;
    }
    case IOCTL_ATA_PASS_THROUGH: {
      entry->code = "ATA";
      entry->length = 0;
      ATA_PASS_THROUGH_EX apt;
      if (ReadRecord(in, inSize, &apt)) {
        entry->bytes = HexBytes(apt.CurrentTaskFile, 8);
        entry->length = apt.DataTransferLength;
        if (apt.AtaFlags & ATA_FLAGS_DATA_IN)
          entry->direction = "in";
        else if (apt.AtaFlags & ATA_FLAGS_DATA_OUT)
          entry->direction = "out";
      }
      return;
    }
    case SMART_SEND_DRIVE_COMMAND:
    case SMART_RCV_DRIVE_DATA: {
      const bool receive = code == SMART_RCV_DRIVE_DATA;
      entry->code = receive ? "SMART_RCV" : "SMART_SEND";
      entry->direction = receive ? "in" : "none";
      entry->length = 0;
      if (in && inSize >= kSmartInHead) {
        const uint8_t* bytes = static_cast<const uint8_t*>(in);
        entry->bytes = HexBytes(bytes + kIdeRegsOffset, sizeof(IDEREGS));
        entry->length = GetLe32(bytes);  // cBufferSize
      }
      return;
    }
    case IOCTL_STORAGE_QUERY_PROPERTY:
      entry->code = "PROPERTY";
      return;
    case IOCTL_DISK_GET_DRIVE_GEOMETRY:
      entry->code = "GEOMETRY";
      return;
    case IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS:
      entry->code = "EXTENTS";
      return;
    default: {
      char name[20];
      std::snprintf(name, sizeof name, "IOCTL_%08X", static_cast<unsigned>(code));
      entry->code = name;
      return;
    }
  }
}

ControlResult ScsiPassThroughDirect(ScsiTarget* target, void* in, DWORD inSize, void* out,
                                    DWORD outSize, DWORD* returned) {
  if (!target) return Failed(kErrorInvalidFunction);
  SCSI_PASS_THROUGH_DIRECT sptd;
  if (!ReadRecord(in, inSize, &sptd) || !out || outSize < sizeof sptd) {
    return Failed(kErrorInvalidParameter);
  }
  // The port driver refuses a record of another size (a 32-bit record from a
  // 64-bit caller, for instance) and inconsistent fields.
  if (sptd.Length != sizeof(SCSI_PASS_THROUGH_DIRECT)) return Failed(kErrorRevisionMismatch);
  if (sptd.CdbLength == 0 || sptd.CdbLength > sizeof sptd.Cdb ||
      sptd.DataIn > SCSI_IOCTL_DATA_UNSPECIFIED ||
      (sptd.DataTransferLength > 0 && !sptd.DataBuffer) ||
      (sptd.SenseInfoLength > 0 &&
       static_cast<uint64_t>(sptd.SenseInfoOffset) + sptd.SenseInfoLength > outSize)) {
    return Failed(kErrorInvalidParameter);
  }

  ScsiRequest request;
  std::memcpy(request.cdb, sptd.Cdb, sptd.CdbLength);
  request.cdbLength = sptd.CdbLength;
  request.hostLength = sptd.DataTransferLength;
  request.hostDataIn = sptd.DataIn != SCSI_IOCTL_DATA_OUT;
  uint8_t* data = static_cast<uint8_t*>(sptd.DataBuffer);
  if (sptd.DataIn != SCSI_IOCTL_DATA_IN && sptd.DataTransferLength > 0) {
    request.dataOut = data;
    request.dataOutLength = sptd.DataTransferLength;
  }

  ScsiReply reply = target->Execute(request);

  // Data phase: the device's data, cut to the host's length, straight into
  // the caller's buffer (the same process, as with the direct code).
  uint32_t moved = 0;
  if (request.hostDataIn && !reply.dataIn.empty()) {
    moved = static_cast<uint32_t>(std::min<size_t>(reply.dataIn.size(), sptd.DataTransferLength));
    std::memcpy(data, reply.dataIn.data(), moved);
  } else if (request.dataOut) {
    moved = static_cast<uint32_t>(std::min<size_t>(reply.dataOutTaken, sptd.DataTransferLength));
  }

  size_t senseLength = 0;
  if (reply.status == kScsiCheckCondition) {
    senseLength = std::min<size_t>(reply.sense.size(), sptd.SenseInfoLength);
  }
  sptd.ScsiStatus = reply.status;
  sptd.DataTransferLength = moved;
  sptd.SenseInfoLength = static_cast<UCHAR>(senseLength);
  // The record first, the sense after it: a sense area that overlaps unused
  // bytes of the record keeps the sense.
  std::memcpy(out, &sptd, sizeof sptd);
  if (senseLength) {
    std::memcpy(static_cast<uint8_t*>(out) + sptd.SenseInfoOffset, reply.sense.data(), senseLength);
  }
  if (returned) {
    *returned = senseLength ? static_cast<DWORD>(sptd.SenseInfoOffset + senseLength)
                            : static_cast<DWORD>(sizeof sptd);
  }
  return {TRUE, 0, reply.status};
}

ControlResult AtaPassThrough(SimDisk& disk, void* in, DWORD inSize, void* out, DWORD outSize,
                             DWORD* returned) {
  if (!disk.config().paths.ataPassThrough) return Failed(kErrorInvalidFunction);
  ATA_PASS_THROUGH_EX apt;
  if (!ReadRecord(in, inSize, &apt) || !out || outSize < sizeof apt) {
    return Failed(kErrorInvalidParameter);
  }
  if (apt.Length != sizeof(ATA_PASS_THROUGH_EX)) return Failed(kErrorRevisionMismatch);
  const bool dataIn = (apt.AtaFlags & ATA_FLAGS_DATA_IN) != 0;
  const bool dataOut = (apt.AtaFlags & ATA_FLAGS_DATA_OUT) != 0;
  // The data area lies after the record, inside the buffer it travels in.
  if (apt.DataTransferLength > 0 &&
      (apt.DataBufferOffset < sizeof apt ||
       apt.DataBufferOffset + static_cast<uint64_t>(apt.DataTransferLength) >
           (dataOut ? inSize : outSize))) {
    return Failed(kErrorInvalidParameter);
  }

  AtaInput input;
  input.features = apt.CurrentTaskFile[0];
  input.count = apt.CurrentTaskFile[1];
  input.lbaLow = apt.CurrentTaskFile[2];
  input.lbaMid = apt.CurrentTaskFile[3];
  input.lbaHigh = apt.CurrentTaskFile[4];
  input.device = apt.CurrentTaskFile[5];
  input.command = apt.CurrentTaskFile[6];
  AtaResult result = disk.RunAta(input);

  uint32_t moved = 0;
  if (dataIn && !result.dataIn.empty()) {
    moved = static_cast<uint32_t>(std::min<size_t>(result.dataIn.size(), apt.DataTransferLength));
  }
  // The driver hands back the registers whatever the drive answered; ERR in
  // the status register tells the caller.
  // Some drivers hand back a task file of zeros, whatever the drive said.
  const AtaOutput r = disk.config().ataRegistersZero ? AtaOutput() : result.registers;
  const UCHAR registers[8] = {r.error,   r.count,  r.lbaLow, r.lbaMid,
                              r.lbaHigh, r.device, r.status, 0};
  std::memcpy(apt.CurrentTaskFile, registers, sizeof registers);
  std::memset(apt.PreviousTaskFile, 0, sizeof apt.PreviousTaskFile);
  apt.DataTransferLength = moved;
  std::memcpy(out, &apt, sizeof apt);
  if (moved)
    std::memcpy(static_cast<uint8_t*>(out) + apt.DataBufferOffset, result.dataIn.data(), moved);
  if (returned) {
    *returned =
        moved ? static_cast<DWORD>(apt.DataBufferOffset + moved) : static_cast<DWORD>(sizeof apt);
  }
  return {TRUE, 0, -1};
}

ControlResult SmartCommand(SimDisk& disk, DWORD code, void* in, DWORD inSize, void* out,
                           DWORD outSize, DWORD* returned) {
  if (!disk.config().paths.smart) return Failed(kErrorInvalidFunction);
  if (!in || inSize < kSmartInHead || !out || outSize < kSmartOutHead) {
    return Failed(kErrorInvalidParameter);
  }
  IDEREGS regs;
  std::memcpy(&regs, static_cast<const uint8_t*>(in) + kIdeRegsOffset, sizeof regs);
  const AtaInput input = FromIdeRegs(regs);
  const bool receive = code == SMART_RCV_DRIVE_DATA;

  if (disk.config().smartFilter) {
    // The disk driver lets through identification and SMART commands only.
    bool allowed =
        input.command == kSmartCommand ||
        (receive && (input.command == kIdentifyDevice || input.command == kIdentifyPacketDevice));
    if (!allowed) return Failed(kErrorInvalidParameter);
  }
  // The output must hold the data the command returns (IDENTIFY: 512 bytes).
  if (AtaDevice::DirectionOf(input.command) == AtaDirection::kIn && outSize < kSmartOutHead + 512) {
    return Failed(kErrorInsufficientBuffer);
  }

  AtaResult result = disk.RunAta(input);
  // SENDCMDOUTPARAMS head: cBufferSize (4), DRIVERSTATUS (12); data after it.
  uint8_t head[kSmartOutHead] = {};
  uint8_t* output = static_cast<uint8_t*>(out);
  if (result.aborted()) {
    head[4] = kSmartIdeError;          // bDriverError
    head[5] = result.registers.error;  // bIDEError
    std::memcpy(output, head, sizeof head);
    if (returned) *returned = sizeof head;
    return Failed(kErrorIoDevice);
  }
  const size_t moved = std::min<size_t>(result.dataIn.size(), outSize - kSmartOutHead);
  PutLe32(head, static_cast<uint32_t>(moved));
  std::memcpy(output, head, sizeof head);
  if (moved) std::memcpy(output + kSmartOutHead, result.dataIn.data(), moved);
  if (returned) *returned = static_cast<DWORD>(kSmartOutHead + moved);
  return {TRUE, 0, -1};
}

ControlResult QueryStorageProperty(const DiskConfig& disk, void* in, DWORD inSize, void* out,
                                   DWORD outSize, DWORD* returned) {
  STORAGE_PROPERTY_QUERY query;
  if (!ReadRecord(in, inSize, &query)) return Failed(kErrorInvalidParameter);
  if (disk.propertyFails) return Failed(kErrorInvalidFunction);
  if (query.PropertyId != StorageDeviceProperty) return Failed(kErrorNotSupported);
  if (query.QueryType == 1) {  // PropertyExistsQuery
    if (returned) *returned = 0;
    return {TRUE, 0, -1};
  }
  if (query.QueryType != PropertyStandardQuery) return Failed(kErrorInvalidParameter);
  // At least the descriptor header (Version, Size) must fit.
  if (!out || outSize < 8) return Failed(kErrorInsufficientBuffer);

  // The fixed part, then the strings, each with its terminating zero; an
  // absent string has offset 0.
  std::vector<uint8_t> answer(sizeof(STORAGE_DEVICE_DESCRIPTOR), 0);
  DWORD vendorOffset = 0;
  DWORD productOffset = 0;
  auto append = [&answer](const std::string& text) {
    DWORD offset = static_cast<DWORD>(answer.size());
    answer.insert(answer.end(), text.begin(), text.end());
    answer.push_back(0);
    return offset;
  };
  if (disk.hasPropertyVendor) vendorOffset = append(disk.propertyVendor);
  if (disk.hasPropertyProduct) productOffset = append(disk.propertyProduct);
  DWORD serialOffset = 0;
  if (disk.hasPropertySerial) serialOffset = append(disk.propertySerial);
  if (disk.propertyUnterminated && answer.size() > sizeof(STORAGE_DEVICE_DESCRIPTOR)) {
    answer.pop_back();  // the last string runs to the end of the answer
  }
  if (disk.propertyVendorOffset >= 0) vendorOffset = static_cast<DWORD>(disk.propertyVendorOffset);
  if (disk.propertyProductOffset >= 0) {
    productOffset = static_cast<DWORD>(disk.propertyProductOffset);
  }

  STORAGE_DEVICE_DESCRIPTOR descriptor;
  std::memset(&descriptor, 0, sizeof descriptor);
  descriptor.Version = sizeof(STORAGE_DEVICE_DESCRIPTOR);
  descriptor.Size = static_cast<DWORD>(answer.size());
  descriptor.DeviceType = disk.deviceType;
  descriptor.RemovableMedia = disk.removable ? 1 : 0;
  descriptor.VendorIdOffset = vendorOffset;
  descriptor.ProductIdOffset = productOffset;
  descriptor.SerialNumberOffset = serialOffset;
  descriptor.BusType = static_cast<STORAGE_BUS_TYPE>(disk.busType);
  std::memcpy(answer.data(), &descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties));

  // A short buffer gets the beginning of the answer; Size tells the rest.
  const size_t copied = std::min<size_t>(answer.size(), outSize);
  std::memcpy(out, answer.data(), copied);
  if (returned) *returned = static_cast<DWORD>(copied);
  return {TRUE, 0, -1};
}

ControlResult DriveGeometry(const DiskConfig& disk, void* out, DWORD outSize, DWORD* returned) {
  if (disk.geometryFails) return Failed(kErrorInvalidFunction);
  if (!out || outSize < sizeof(DISK_GEOMETRY)) return Failed(kErrorInsufficientBuffer);
  DISK_GEOMETRY geometry;
  std::memset(&geometry, 0, sizeof geometry);
  geometry.Cylinders.QuadPart = static_cast<LONGLONG>(disk.cylinders);
  geometry.MediaType = static_cast<MEDIA_TYPE>(disk.removable ? kRemovableMedia : BYTE{FixedMedia});
  geometry.TracksPerCylinder = disk.tracksPerCylinder;
  geometry.SectorsPerTrack = disk.sectorsPerTrack;
  geometry.BytesPerSector = disk.bytesPerSector;
  std::memcpy(out, &geometry, sizeof geometry);
  if (returned) *returned = sizeof geometry;
  return {TRUE, 0, -1};
}

}  // namespace sim
