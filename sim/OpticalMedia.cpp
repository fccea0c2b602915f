#include "sim/OpticalMedia.h"

#include <cctype>

namespace sim {

namespace {

struct NamedProfile {
  const char* name;
  uint16_t profile;
};

// MMC-6 profile numbers.
const NamedProfile kProfiles[] = {
    {"cd-rom", 0x0008},   {"cd-r", 0x0009},          {"cd-rw", 0x000A},     {"dvd-rom", 0x0010},
    {"dvd-r", 0x0011},    {"dvd-ram", 0x0012},       {"dvd-rw-ro", 0x0013}, {"dvd-rw", 0x0014},
    {"dvd-r-dl", 0x0015}, {"dvd-r-dl-jump", 0x0016}, {"dvd-rw-dl", 0x0017}, {"dvd+rw", 0x001A},
    {"dvd+r", 0x001B},    {"dvd+rw-dl", 0x002A},     {"dvd+r-dl", 0x002B},  {"bd-rom", 0x0040},
    {"bd-r", 0x0041},     {"bd-r-rrm", 0x0042},      {"bd-re", 0x0043},     {"hd-dvd-rom", 0x0050},
    {"hd-dvd-r", 0x0051}, {"hd-dvd-ram", 0x0052},
};

constexpr uint32_t kCdLastLba = 359999;        // 80 minutes of 75 sectors a second
constexpr uint32_t kDvdLastLba = 2295103;      // 4.7 GB single layer
constexpr uint32_t kDvdDualLastLba = 4173823;  // 8.5 GB dual layer
constexpr uint32_t kBdLastLba = 12219391;      // 25 GB single layer

bool IsDualLayerDvd(uint16_t profile) {
  return profile == 0x0015 || profile == 0x0016 || profile == 0x0017 || profile == 0x002A ||
         profile == 0x002B;
}

bool ParseProfileNumber(const std::string& text, uint16_t* profile) {
  if (text.size() < 3 || text.size() > 6 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
    return false;
  }
  uint32_t value = 0;
  for (size_t i = 2; i < text.size(); ++i) {
    const int c = std::tolower(static_cast<unsigned char>(text[i]));
    if (!std::isxdigit(c)) return false;
    value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
  }
  *profile = static_cast<uint16_t>(value);
  return true;
}

}  // namespace

MediumKind KindOfProfile(uint16_t profile) {
  if (profile == 0) return MediumKind::kNone;
  if (profile < 0x0010) return MediumKind::kCd;
  if (profile < 0x0040) return MediumKind::kDvd;
  return MediumKind::kBd;
}

uint32_t UsualLastLba(uint16_t profile) {
  switch (KindOfProfile(profile)) {
    case MediumKind::kNone:
      return 0;
    case MediumKind::kCd:
      return kCdLastLba;
    case MediumKind::kDvd:
      return IsDualLayerDvd(profile) ? kDvdDualLastLba : kDvdLastLba;
    case MediumKind::kBd:
      return kBdLastLba;
  }
  return 0;
}

const char* MediumKindName(MediumKind kind) {
  switch (kind) {
    case MediumKind::kCd:
      return "cd";
    case MediumKind::kDvd:
      return "dvd";
    case MediumKind::kBd:
      return "bd";
    case MediumKind::kNone:
      break;
  }
  return "none";
}

bool ParseMediumName(const std::string& text, OpticalMedium* medium) {
  std::string word;
  for (char c : text)
    word.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  uint16_t profile = 0;
  bool found = word == "none";
  for (const NamedProfile& named : kProfiles) {
    if (!found && word == named.name) {
      profile = named.profile;
      found = true;
    }
  }
  if (!found && !ParseProfileNumber(word, &profile)) return false;
  medium->profile = profile;
  medium->kind = KindOfProfile(profile);
  medium->lastLba = UsualLastLba(profile);
  return true;
}

}  // namespace sim
