// Command blocks of the optical tests, written out byte by byte from MMC-6
// and SPC-4, and a fixture that opens the drive of a bay.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BaySupport.h"

namespace simtest {

using Bytes = std::vector<uint8_t>;

inline Bytes TestUnitReadyCdb() { return Bytes(12, 0); }
inline Bytes ReadCapacityCdb() { return {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; }
inline Bytes InquiryCdb(uint8_t allocation) {
  return {0x12, 0, 0, 0, allocation, 0, 0, 0, 0, 0, 0, 0};
}
// GET CONFIGURATION: RT, starting feature, allocation length (bytes 7-8).
inline Bytes GetConfigurationCdb(uint8_t rt, uint16_t feature, uint16_t allocation) {
  return {0x46, rt, static_cast<uint8_t>(feature >> 8),    static_cast<uint8_t>(feature),    0,
          0,    0,  static_cast<uint8_t>(allocation >> 8), static_cast<uint8_t>(allocation), 0,
          0,    0};
}
// SET CD SPEED: read speed in bytes 2-3, write speed 0.
inline Bytes SetCdSpeedCdb(uint16_t speed) {
  return {0xBB, 0, static_cast<uint8_t>(speed >> 8), static_cast<uint8_t>(speed), 0, 0, 0, 0, 0, 0,
          0,    0};
}
// SET STREAMING with a 28-byte performance descriptor (bytes 9-10).
inline Bytes SetStreamingCdb(uint8_t listLength = 28) {
  return {0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, listLength, 0};
}
// GET PERFORMANCE, tolerance 10b, read, nominal, type 0, one descriptor.
inline Bytes GetPerformanceCdb(uint8_t byte1 = 0x10, uint8_t descriptors = 1) {
  return {0xAC, byte1, 0, 0, 0, 0, 0, 0, 0, descriptors, 0, 0};
}
// MODE SENSE(10): byte 2 page control and code, allocation length in bytes 7-8.
inline Bytes ModeSenseCdb(uint8_t pageByte, uint8_t allocation) {
  return {0x5A, 0x10, pageByte, 0, 0, 0, 0, 0, allocation, 0, 0, 0};
}
// MODE SELECT(10): byte 1 PF (10h) and SP, parameter list length in 7-8.
inline Bytes ModeSelectCdb(uint8_t listLength, uint8_t byte1 = 0x10) {
  return {0x55, byte1, 0, 0, 0, 0, 0, 0, listLength, 0, 0, 0};
}
// START STOP UNIT: byte 4 POWER CONDITION (7-4), LOEJ (1), START (0).
inline Bytes StartStopCdb(uint8_t byte4) { return {0x1B, 0, 0, 0, byte4, 0, 0, 0, 0, 0, 0, 0}; }

inline void PutBe32(Bytes& bytes, size_t at, uint32_t value) {
  bytes[at] = static_cast<uint8_t>(value >> 24);
  bytes[at + 1] = static_cast<uint8_t>(value >> 16);
  bytes[at + 2] = static_cast<uint8_t>(value >> 8);
  bytes[at + 3] = static_cast<uint8_t>(value);
}

inline uint32_t Be32(const Bytes& bytes, size_t at) {
  return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
         (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

inline uint32_t Be16(const Bytes& bytes, size_t at) { return (bytes[at] << 8) | bytes[at + 1]; }

// A performance descriptor: start and end LBA, read size (KB) and time (ms).
inline Bytes StreamingDescriptor(uint32_t endLba, uint32_t readSize, uint32_t readTime,
                                 uint8_t flags = 0, uint32_t startLba = 0) {
  Bytes d(28, 0);
  d[0] = flags;
  PutBe32(d, 4, startLba);
  PutBe32(d, 8, endLba);
  PutBe32(d, 12, readSize);
  PutBe32(d, 16, readTime);
  return d;
}

// The power condition page image as the program writes it: a zero header,
// then page 1Ah with the IDLE/STANDBY bits and both timers.
inline Bytes PowerPageImage(uint8_t bits, uint32_t idleTimer, uint32_t standbyTimer) {
  Bytes image(20, 0);
  image[8] = 0x1A;
  image[9] = 0x0A;
  image[11] = bits;
  PutBe32(image, 12, idleTimer);
  PutBe32(image, 16, standbyTimer);
  return image;
}

class OpticalTest : public BayTest {
 protected:
  // Loads `text` and opens \\.\E:.
  HANDLE LoadDrive(const std::string& text) {
    Load(text);
    HANDLE drive = Open("\\\\.\\E:");
    EXPECT_NE(drive, INVALID_HANDLE_VALUE);
    return drive;
  }
  // The read speed the drive reports in page 2Ah (page bytes 14-15).
  static uint32_t CapabilitiesSpeed(HANDLE drive) {
    ScsiResult r = SendCdb(drive, ModeSenseCdb(0x2A, 32), 32);
    EXPECT_EQ(r.status, 0x00);
    return Be16(r.data, 22);
  }
  // The end performance of GET PERFORMANCE's nominal descriptor.
  static uint32_t PerformanceSpeed(HANDLE drive) {
    ScsiResult r = SendCdb(drive, GetPerformanceCdb(), 24);
    EXPECT_EQ(r.status, 0x00);
    return Be32(r.data, 20);
  }
};

}  // namespace simtest
