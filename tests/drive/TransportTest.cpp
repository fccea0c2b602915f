#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "FakeSystem.h"
#include "drive/Transport.h"

namespace {

using drive::ScsiPassThrough;

const HANDLE kDevice = reinterpret_cast<HANDLE>(0x1234);

// Reads back the pass-through record the transport handed to the system.
SCSI_PASS_THROUGH_DIRECT SentRecord(const fake::System& system) {
  SCSI_PASS_THROUGH_DIRECT sptd;
  std::memcpy(&sptd, system.calls.back().in.data(), sizeof sptd);
  return sptd;
}

// A device that answers with `status`, writes `dataBytes` of 0x5A into a
// data-in buffer and `sense` into the sense area.
auto Device(uint8_t status, size_t dataBytes = 0, std::vector<uint8_t> sense = {}) {
  return [=](HANDLE, DWORD, void*, DWORD, void* out, DWORD, DWORD* returned) -> BOOL {
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
    if (sptd->DataIn == SCSI_IOCTL_DATA_IN && dataBytes)
      std::memset(sptd->DataBuffer, 0x5A, dataBytes);
    sptd->ScsiStatus = status;
    if (!sense.empty())
      std::memcpy(static_cast<uint8_t*>(out) + sptd->SenseInfoOffset, sense.data(), sense.size());
    *returned = sizeof(SCSI_PASS_THROUGH_DIRECT);
    return TRUE;
  };
}

TEST(Transport, FillsThePassThroughRecordAsTheDriverExpectsIt) {
  fake::System system;
  system.ioControl = Device(0);
  fake::ScopedFakeSystem install(system);
  uint8_t data[36];
  const uint8_t cdb[12] = {0x12, 0, 0, 0, 36, 0, 0, 0, 0, 0, 0, 0};

  EXPECT_EQ(ScsiPassThrough(kDevice, cdb, data, sizeof data), 1);

  ASSERT_EQ(system.calls.size(), 1u);
  const fake::IoCall& call = system.calls[0];
  EXPECT_EQ(call.code, 0x4D014u);
  EXPECT_EQ(call.in.size(), call.outSize);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(call.in.size(), 80u);
  }
  const SCSI_PASS_THROUGH_DIRECT sptd = SentRecord(system);
  EXPECT_EQ(sptd.Length, sizeof(SCSI_PASS_THROUGH_DIRECT));
  EXPECT_EQ(sptd.CdbLength, 12);
  EXPECT_EQ(sptd.SenseInfoLength, 32);
  EXPECT_EQ(sptd.TimeOutValue, 60u);  // seconds: a device that never answers holds nothing long
  EXPECT_EQ(sptd.DataTransferLength, 36u);
  EXPECT_EQ(sptd.DataBuffer, static_cast<void*>(data));
  EXPECT_EQ(sptd.SenseInfoOffset, sizeof(void*) == 4 ? 48u : sizeof(sptd) + 4);
  EXPECT_LE(sptd.SenseInfoOffset + 32, call.in.size());
  EXPECT_EQ(sptd.PathId | sptd.TargetId | sptd.Lun | sptd.ScsiStatus, 0);
  EXPECT_EQ(0, std::memcmp(sptd.Cdb, cdb, 12));
  EXPECT_EQ(sptd.Cdb[12] | sptd.Cdb[13] | sptd.Cdb[14] | sptd.Cdb[15], 0);
}

struct DirectionCase {
  uint8_t opcode;
  uint8_t expectedDataIn;
};

TEST(Transport, DirectionFollowsTheOpcodeTable) {
  const DirectionCase cases[] = {
      {0x2A, 0}, {0x55, 0}, {0xB6, 0}, {0x04, 0}, {0xFC, 0},  // data out
      {0x12, 1}, {0x5A, 1}, {0xDF, 1}, {0xF8, 1}, {0xA1, 1},  // data in (A1: no-data class)
      {0x1B, 1}, {0xBB, 1}, {0x00, 1}, {0xE0, 1},             // no-data class goes out as in
  };
  for (const DirectionCase& c : cases) {
    fake::System system;
    system.ioControl = Device(0);
    fake::ScopedFakeSystem install(system);
    const uint8_t cdb[12] = {c.opcode};
    ScsiPassThrough(kDevice, cdb, nullptr, 0);
    EXPECT_EQ(SentRecord(system).DataIn, c.expectedDataIn) << "opcode " << int(c.opcode);
  }
}

TEST(Transport, ZeroLengthLeavesTheBufferAlone) {
  fake::System system;
  system.ioControl = Device(0);
  fake::ScopedFakeSystem install(system);
  uint8_t data[8];
  std::memset(data, 0xAA, sizeof data);
  const uint8_t cdb[12] = {0x12};

  ScsiPassThrough(kDevice, cdb, data, 0);

  EXPECT_EQ(SentRecord(system).DataTransferLength, 0u);
  for (uint8_t b : data) EXPECT_EQ(b, 0xAA);
}

TEST(Transport, DataInClearsWhatTheDeviceDoesNotSend) {
  fake::System system;
  system.ioControl = Device(0, 4);  // sends 4 of 8 bytes
  fake::ScopedFakeSystem install(system);
  uint8_t data[8];
  std::memset(data, 0xAA, sizeof data);
  const uint8_t cdb[12] = {0x25};

  ScsiPassThrough(kDevice, cdb, data, sizeof data);

  const uint8_t expected[8] = {0x5A, 0x5A, 0x5A, 0x5A, 0, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(data, expected, 8));
}

TEST(Transport, DataOutSendsTheCallersBytes) {
  fake::System system;
  std::vector<uint8_t> seen;
  system.ioControl = [&](HANDLE, DWORD, void*, DWORD, void* out, DWORD, DWORD*) -> BOOL {
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
    auto* p = static_cast<uint8_t*>(sptd->DataBuffer);
    seen.assign(p, p + sptd->DataTransferLength);
    return TRUE;
  };
  fake::ScopedFakeSystem install(system);
  uint8_t page[4] = {1, 2, 3, 4};
  const uint8_t cdb[12] = {0x55};

  ScsiPassThrough(kDevice, cdb, page, sizeof page);

  EXPECT_EQ(seen, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(Transport, CheckConditionGivesTheStatusAndKeepsTheSense) {
  fake::System system;
  const std::vector<uint8_t> sense = {0x70, 0, 0x05, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0x20, 0x00};
  system.ioControl = Device(2, 0, sense);
  fake::ScopedFakeSystem install(system);
  const uint8_t cdb[12] = {0xA1};

  EXPECT_EQ(ScsiPassThrough(kDevice, cdb, nullptr, 0), 2);
  EXPECT_EQ(0, std::memcmp(drive::LastSenseData(), sense.data(), sense.size()));
  EXPECT_EQ(drive::LastSenseData()[31], 0);
}

TEST(Transport, OtherStatusBytesPassThrough) {
  fake::System system;
  system.ioControl = Device(8);  // BUSY
  fake::ScopedFakeSystem install(system);
  const uint8_t cdb[12] = {0x00};
  EXPECT_EQ(ScsiPassThrough(kDevice, cdb, nullptr, 0), 8);
}

TEST(Transport, FailedControlCodeGivesMinusOneAndZeroSense) {
  fake::System system;
  system.ioControl = Device(2, 0, std::vector<uint8_t>(32, 0x77));
  fake::ScopedFakeSystem install(system);
  const uint8_t cdb[12] = {0x00};
  ScsiPassThrough(kDevice, cdb, nullptr, 0);  // leaves sense behind
  ASSERT_EQ(drive::LastSenseData()[0], 0x77);

  system.ioControl = nullptr;  // not a SCSI-capable handle
  EXPECT_EQ(ScsiPassThrough(kDevice, cdb, nullptr, 0), -1);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(drive::LastSenseData()[i], 0) << i;
}

TEST(Transport, EachThreadKeepsItsOwnSense) {
  fake::System system;
  system.ioControl = [](HANDLE device, DWORD, void*, DWORD, void* out, DWORD, DWORD*) -> BOOL {
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
    sptd->ScsiStatus = 2;
    static_cast<uint8_t*>(out)[sptd->SenseInfoOffset] =
        static_cast<uint8_t>(reinterpret_cast<uintptr_t>(device));
    return TRUE;
  };
  fake::ScopedFakeSystem install(system);
  const uint8_t cdb[12] = {0x00};
  ScsiPassThrough(reinterpret_cast<HANDLE>(0x11), cdb, nullptr, 0);

  uint8_t otherThreadSense = 0;
  std::thread other([&] {
    ScsiPassThrough(reinterpret_cast<HANDLE>(0x22), cdb, nullptr, 0);
    otherThreadSense = drive::LastSenseData()[0];
  });
  other.join();

  EXPECT_EQ(otherThreadSense, 0x22);
  EXPECT_EQ(drive::LastSenseData()[0], 0x11);
}

struct WrapperCase {
  const char* name;
  std::function<void(uint8_t*)> send;
  std::vector<uint8_t> cdb;
  uint32_t length;
  uint8_t dataIn;
};

TEST(Transport, GenericWrappersBuildTheirCommandBlocks) {
  const WrapperCase cases[] = {
      {"INQUIRY", [](uint8_t* b) { drive::Inquiry(kDevice, b); },
       {0x12, 0, 0, 0, 0x44, 0, 0, 0, 0, 0, 0, 0}, 68, 1},
      {"READ CAPACITY", [](uint8_t* b) { drive::ReadCapacity(kDevice, b); },
       {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8, 1},
      {"MODE SENSE 2Ah", [](uint8_t* b) { drive::ModeSense10(kDevice, 0x2A, b, 32); },
       {0x5A, 0x10, 0x2A, 0, 0, 0, 0, 0, 32, 0, 0, 0}, 32, 1},
      {"MODE SENSE 255", [](uint8_t* b) { drive::ModeSense10(kDevice, 0x1A, b, 255); },
       {0x5A, 0x10, 0x1A, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0}, 255, 1},
      {"MODE SELECT", [](uint8_t* b) { drive::ModeSelect10(kDevice, b, 20); },
       {0x55, 0x10, 0, 0, 0, 0, 0, 0, 20, 0, 0, 0}, 20, 0},
  };
  for (const WrapperCase& c : cases) {
    fake::System system;
    system.ioControl = Device(0);
    fake::ScopedFakeSystem install(system);
    uint8_t buffer[256] = {};
    c.send(buffer);
    const SCSI_PASS_THROUGH_DIRECT sptd = SentRecord(system);
    EXPECT_EQ(std::vector<uint8_t>(sptd.Cdb, sptd.Cdb + 12), c.cdb) << c.name;
    EXPECT_EQ(sptd.DataTransferLength, c.length) << c.name;
    EXPECT_EQ(sptd.DataIn, c.dataIn) << c.name;
  }
}

}  // namespace
