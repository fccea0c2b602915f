#include "sim/Volumes.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>

#include "sim/LastError.h"
#include "sim/ScsiDisk.h"

namespace sim {

namespace {

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

const VolumeConfig* VolumeByLetter(const BayConfig& config, char letter) {
  char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (const VolumeConfig& volume : config.volumes) {
    if (volume.letter && volume.letter == upper) return &volume;
  }
  return nullptr;
}

const VolumeConfig* VolumeByName(const BayConfig& config, const std::string& name) {
  std::string wanted = name;
  if (wanted.empty() || wanted.back() != '\\') wanted.push_back('\\');
  for (const VolumeConfig& volume : config.volumes) {
    if (SameText(volume.name, wanted)) return &volume;
  }
  return nullptr;
}

bool RootPathLetter(const char* root, char* letter) {
  if (!root || !std::isalpha(static_cast<unsigned char>(root[0])) || root[1] != ':' ||
      root[2] != '\\' || root[3] != '\0') {
    return false;
  }
  *letter = static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
  return true;
}

bool CopyName(const std::string& text, char* buffer, DWORD size) {
  if (!buffer || size <= text.size()) return false;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

ControlResult VolumeDiskExtents(const VolumeConfig& volume, void* out, DWORD outSize,
                                DWORD* returned) {
  if (!out || outSize < sizeof(VOLUME_DISK_EXTENTS)) return Failed(kErrorInsufficientBuffer);
  const size_t head = offsetof(VOLUME_DISK_EXTENTS, Extents);
  if (volume.extentsEmpty) {
    std::memset(out, 0, head);
    if (returned) *returned = static_cast<DWORD>(head);
    return {TRUE, 0, -1};
  }
  // A volume that lies on no disk (an optical drive's) has no extents to tell.
  if (volume.extents.empty()) return Failed(kErrorInvalidFunction);

  const size_t count = volume.extents.size();
  const DWORD claimed = volume.extentsCountOverride >= 0
                            ? static_cast<DWORD>(volume.extentsCountOverride)
                            : static_cast<DWORD>(count);
  const size_t needed = head + count * sizeof(DISK_EXTENT);
  // When not all extents fit, the volume manager still fills the fixed record
  // (the count and the first extent) and fails with ERROR_MORE_DATA.
  const size_t fitting = outSize >= needed ? count : 1;

  uint8_t* output = static_cast<uint8_t*>(out);
  std::memcpy(output, &claimed, sizeof claimed);
  std::memset(output + sizeof claimed, 0, head - sizeof claimed);
  for (size_t i = 0; i < fitting; ++i) {
    DISK_EXTENT extent;
    std::memset(&extent, 0, sizeof extent);
    extent.DiskNumber = volume.extents[i].disk;
    extent.StartingOffset.QuadPart = static_cast<LONGLONG>(volume.extents[i].start);
    extent.ExtentLength.QuadPart = static_cast<LONGLONG>(volume.extents[i].length);
    std::memcpy(output + head + i * sizeof extent, &extent, sizeof extent);
  }
  if (fitting < count) {
    if (returned) *returned = sizeof(VOLUME_DISK_EXTENTS);
    return Failed(kErrorMoreData);
  }
  if (returned) *returned = static_cast<DWORD>(needed);
  return {TRUE, 0, -1};
}

ScsiReply VolumeStandIn::Execute(const ScsiRequest& request) {
  if (request.cdb[0] != 0x12) return InvalidOpcode();
  return AnswerInquiry(request, 0x00, removable_, "Generic ", "Disk Volume     ", "1.00", "");
}

}  // namespace sim
