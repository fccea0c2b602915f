// A scripted optical drive behind the fake system: answers the read-speed
// queries from a list of readings, records every speed set, and serves a
// power condition page, a profile and a capacity. For tests that need exact
// sequences no well-behaved drive model would produce.
#pragma once

#include <cstring>
#include <deque>
#include <vector>

#include "FakeSystem.h"
#include "drive/Bytes.h"

struct ScriptedOptical {
  std::deque<int> readings;  // current-speed answers, in order; the last one repeats
  bool capabilitiesWork = true;
  bool performanceWork = true;
  std::vector<int> cdSpeedsSet;         // SET CD SPEED values
  std::vector<int> streamingSpeedsSet;  // SET STREAMING read sizes
  std::vector<std::vector<uint8_t>> parameterLists;  // every data-out list
  int profile = 0x10;
  bool unitReady = true;
  uint32_t lastLba = 2295103;
  uint8_t powerPage[20] = {};
  bool powerPageReadable = true;
  bool modeSelectAccepted = true;
  std::vector<std::vector<uint8_t>> cdbs;

  int NextReading() {
    const int value = readings.empty() ? -1 : readings.front();
    if (readings.size() > 1) readings.pop_front();
    return value;
  }

  BOOL operator()(HANDLE, DWORD code, void*, DWORD, void* out, DWORD, DWORD*) {
    if (code != IOCTL_SCSI_PASS_THROUGH_DIRECT) return FALSE;
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(out);
    auto* data = static_cast<uint8_t*>(sptd->DataBuffer);
    const uint8_t* cdb = sptd->Cdb;
    cdbs.emplace_back(cdb, cdb + 12);
    if (sptd->DataIn == SCSI_IOCTL_DATA_OUT && data)
      parameterLists.emplace_back(data, data + sptd->DataTransferLength);
    uint8_t status = 0;
    switch (cdb[0]) {
      case 0x00: status = unitReady ? 0 : 2; break;
      case 0x46: drive::PutBe16(data + 6, static_cast<uint16_t>(profile)); break;
      case 0x25:
        if (!unitReady) { status = 2; break; }
        drive::PutBe32(data, lastLba);
        drive::PutBe32(data + 4, 2048);
        break;
      case 0x5A:
        if (cdb[2] == 0x2A) {
          if (!capabilitiesWork) { status = 2; break; }
          drive::PutBe16(data + 22, static_cast<uint16_t>(NextReading()));
        } else if (cdb[2] == 0x1A) {
          if (!powerPageReadable) { status = 2; break; }
          if (data) std::memcpy(data, powerPage, sptd->DataTransferLength < 20 ? sptd->DataTransferLength : 20);
        }
        break;
      case 0xAC:
        if (!performanceWork) { status = 2; break; }
        drive::PutBe16(data + 22, static_cast<uint16_t>(NextReading()));
        break;
      case 0xBB: cdSpeedsSet.push_back(drive::GetBe16(cdb + 2)); break;
      case 0xB6: streamingSpeedsSet.push_back(static_cast<int>(drive::GetBe32(data + 12))); break;
      case 0x55:
        if (!modeSelectAccepted) status = 2;
        else std::memcpy(powerPage + 8, data + 8, 12);
        break;
      default: break;
    }
    sptd->ScsiStatus = status;
    return TRUE;
  }
};
