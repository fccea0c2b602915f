// GET CONFIGURATION (MMC-6): the feature header with the current profile,
// and the drive's feature descriptors in ascending order of feature code,
// chosen by the RT field and cut to the allocation length.
#include <algorithm>

#include "sim/Bytes.h"
#include "sim/OpticalDrive.h"

namespace sim {

namespace {

struct Feature {
  uint16_t code;
  uint8_t version;
  bool persistent;
  bool current;
  std::vector<uint8_t> data;  // the bytes after byte 3 of the descriptor
};

// RT (byte 1 bits 1-0).
constexpr uint8_t kAllFeatures = 0;
constexpr uint8_t kCurrentFeatures = 1;
constexpr uint8_t kOneFeature = 2;

constexpr uint32_t kInterfaceAtapi = 2;  // Core feature: physical interface standard
constexpr uint32_t kBlockLength = 2048;

std::vector<uint8_t> Be32Bytes(uint32_t value) {
  std::vector<uint8_t> bytes(4);
  PutBe32(bytes.data(), value);
  return bytes;
}

// Profiles a reader of each kind of medium knows, as MMC-6 numbers them.
void AddProfiles(MediumKind kind, std::vector<uint16_t>* profiles) {
  static const uint16_t kCd[] = {0x0008, 0x0009, 0x000A};
  static const uint16_t kDvd[] = {0x0010, 0x0011, 0x0012, 0x0013, 0x0014, 0x0015,
                                  0x0016, 0x001A, 0x001B, 0x002A, 0x002B};
  static const uint16_t kBd[] = {0x0040, 0x0041, 0x0042, 0x0043};
  if (kind == MediumKind::kCd) profiles->insert(profiles->end(), std::begin(kCd), std::end(kCd));
  if (kind == MediumKind::kDvd) {
    profiles->insert(profiles->end(), std::begin(kDvd), std::end(kDvd));
  }
  if (kind == MediumKind::kBd) profiles->insert(profiles->end(), std::begin(kBd), std::end(kBd));
}

uint16_t Blocking(MediumKind kind) {
  // Logical blocks in one ECC block: a CD sector, a DVD ECC block of 16, a
  // BD cluster of 32.
  return kind == MediumKind::kDvd ? 16 : kind == MediumKind::kBd ? 32 : 1;
}

}  // namespace

ScsiReply SimOptical::GetConfiguration(const ScsiRequest& request) const {
  // Byte 1 bits 1-0 RT, bytes 2-3 starting feature number, bytes 7-8
  // allocation length.
  const uint8_t rt = request.cdb[1] & 0x03;
  const uint16_t start = GetBe16(request.cdb + 2);
  const size_t allocation = GetBe16(request.cdb + 7);
  if (rt > kOneFeature) return InvalidField();
  if (config_.featureZeroOnly && start != 0) return InvalidField();

  const bool readsCd = !config_.cdSpeeds.empty();
  const bool readsDvd = !config_.dvdSpeeds.empty();
  const bool readsBd = !config_.bdSpeeds.empty();
  const uint16_t profile = currentProfile();
  const MediumKind kind = HasMedium() ? medium_.kind : MediumKind::kNone;

  std::vector<uint16_t> profiles;
  if (readsCd) AddProfiles(MediumKind::kCd, &profiles);
  if (readsDvd) AddProfiles(MediumKind::kDvd, &profiles);
  if (readsBd) AddProfiles(MediumKind::kBd, &profiles);
  if (profile != 0) profiles.push_back(profile);  // a medium of a profile not listed above
  std::sort(profiles.begin(), profiles.end(), [](uint16_t a, uint16_t b) { return a > b; });
  profiles.erase(std::unique(profiles.begin(), profiles.end()), profiles.end());

  std::vector<Feature> features;
  // 0000h Profile List: per profile its number, CurrentP, a reserved byte.
  Feature profileList{0x0000, 0, true, true, {}};
  for (uint16_t p : profiles) {
    profileList.data.push_back(static_cast<uint8_t>(p >> 8));
    profileList.data.push_back(static_cast<uint8_t>(p));
    profileList.data.push_back(p == profile ? 0x01 : 0x00);
    profileList.data.push_back(0x00);
  }
  features.push_back(profileList);
  // 0001h Core: physical interface standard; DBE.
  Feature core{0x0001, 2, true, true, Be32Bytes(kInterfaceAtapi)};
  core.data.insert(core.data.end(), {0x01, 0x00, 0x00, 0x00});
  features.push_back(core);
  // 0002h Morphing: OCEvent.
  features.push_back({0x0002, 1, true, true, {0x02, 0x00, 0x00, 0x00}});
  // 0003h Removable Medium: tray (001b), Eject, Lock.
  features.push_back({0x0003, 0, true, true, {0x29, 0x00, 0x00, 0x00}});
  // 0010h Random Readable: block size, blocking, PP.
  Feature randomReadable{0x0010, 0, false, kind != MediumKind::kNone, Be32Bytes(kBlockLength)};
  const uint16_t blocking = Blocking(kind);
  randomReadable.data.insert(
      randomReadable.data.end(),
      {static_cast<uint8_t>(blocking >> 8), static_cast<uint8_t>(blocking), 0x01, 0x00});
  features.push_back(randomReadable);
  if (readsCd) {
    // 001Dh Multi-Read; 001Eh CD Read: C2 flags, CD-Text.
    features.push_back({0x001D, 0, false, kind == MediumKind::kCd, {}});
    features.push_back({0x001E, 2, false, kind == MediumKind::kCd, {0x03, 0x00, 0x00, 0x00}});
  }
  if (readsDvd) {
    // 001Fh DVD Read: MULTI110, DUAL-R.
    features.push_back({0x001F, 1, false, kind == MediumKind::kDvd, {0x01, 0x00, 0x01, 0x00}});
  }
  if (readsBd) {
    // 0040h BD Read: read support bitmaps of class 0 BD-RE (versions 1
    // and 2), BD-R (version 1) and BD-ROM (version 1); HD DVD is not BD.
    Feature bdRead{0x0040, 1, false, profile >= 0x0040 && profile <= 0x004F,
                   std::vector<uint8_t>(28, 0)};
    bdRead.data[5] = 0x06;
    bdRead.data[13] = 0x02;
    bdRead.data[21] = 0x02;
    features.push_back(bdRead);
  }
  // 0100h Power Management.
  features.push_back({0x0100, 0, true, true, {}});
  if (config_.setStreaming != SpeedCommandAnswer::kUnsupported && config_.getPerformance) {
    // 0107h Real Time Streaming (SET STREAMING and GET PERFORMANCE); SCS:
    // SET CD SPEED is supported too.
    const bool setCdSpeed = config_.setCdSpeed != SpeedCommandAnswer::kUnsupported;
    features.push_back({0x0107,
                        3,
                        false,
                        kind != MediumKind::kNone,
                        {setCdSpeed ? uint8_t{0x08} : uint8_t{0x00}, 0x00, 0x00, 0x00}});
  }
  if (config_.hasSerial) {
    // 0108h Logical Unit Serial Number: the serial, padded with blanks to a
    // multiple of 4 bytes unless the drive leaves it at its own length.
    Feature serial{0x0108, 0, true, true,
                   std::vector<uint8_t>(config_.serial.begin(), config_.serial.end())};
    if (config_.serialPadded) {
      while (serial.data.size() % 4 != 0) serial.data.push_back(' ');
    }
    features.push_back(serial);
  }

  // Header: 0-3 data length (the bytes after the field), 6-7 current profile.
  std::vector<uint8_t> answer(8, 0);
  PutBe16(&answer[6], profile);
  for (const Feature& feature : features) {
    const bool wanted = rt == kAllFeatures       ? feature.code >= start
                        : rt == kCurrentFeatures ? feature.code >= start && feature.current
                                                 : feature.code == start;
    if (!wanted) continue;
    // Descriptor: 0-1 feature code, 2 version (bits 5-2), persistent
    // (bit 1), current (bit 0), 3 additional length.
    answer.push_back(static_cast<uint8_t>(feature.code >> 8));
    answer.push_back(static_cast<uint8_t>(feature.code));
    answer.push_back(static_cast<uint8_t>((feature.version << 2) | (feature.persistent ? 0x02 : 0) |
                                          (feature.current ? 0x01 : 0)));
    answer.push_back(static_cast<uint8_t>(feature.data.size()));
    answer.insert(answer.end(), feature.data.begin(), feature.data.end());
  }
  PutBe32(&answer[0], static_cast<uint32_t>(answer.size() - 4));
  if (answer.size() > allocation) answer.resize(allocation);
  return ScsiReply::Good(std::move(answer));
}

}  // namespace sim
