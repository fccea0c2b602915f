#include "sim/BayFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <set>
#include <vector>

#include "platform/Calendar.h"
#include "sim/OpticalMedia.h"

namespace sim {

namespace {

constexpr uint64_t kDefaultLastLba = 976773167;    // a 500 GB disk of 512-byte blocks
constexpr uint64_t kDefaultExtentStart = 1048576;  // the first partition's usual 1 MiB offset
constexpr int kMaxDiskNumber = 9999;
constexpr uint64_t kMaxLastLba = (1ull << 40) - 1;  // keeps byte counts far inside 64 bits
constexpr uint32_t kDriveCdrom = 5;                 // DRIVE_CDROM

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string PadRight(const std::string& text, size_t width) {
  std::string padded = text.substr(0, width);
  padded.resize(width, ' ');
  return padded;
}

// One value after '=': its text, and whether it was written in quotes (so
// that blanks at its ends and keywords such as `none` are taken literally).
struct Value {
  std::string text;
  bool quoted = false;
};

// Splits off a comment: ';' or '#' at the start of the line or after a blank,
// outside quotes.
std::string StripComment(const std::string& line) {
  bool inQuotes = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') inQuotes = !inQuotes;
    if (!inQuotes && (c == ';' || c == '#') &&
        (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
      return line.substr(0, i);
    }
  }
  return line;
}

bool ParseValue(const std::string& raw, Value* value, std::string* error) {
  std::string text = Trim(raw);
  if (!text.empty() && text.front() == '"') {
    if (text.size() < 2 || text.back() != '"') {
      *error = "a quoted value must end with '\"'";
      return false;
    }
    value->text = text.substr(1, text.size() - 2);
    if (value->text.find('"') != std::string::npos) {
      *error = "a quoted value cannot hold '\"'";
      return false;
    }
    value->quoted = true;
  } else {
    value->text = text;
    value->quoted = false;
  }
  return true;
}

bool ParseUnsigned(const std::string& text, uint64_t max, uint64_t* out) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t result = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    for (size_t i = 2; i < text.size(); ++i) {
      char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else
        return false;
      if (result > (UINT64_MAX >> 4)) return false;
      result = (result << 4) | static_cast<uint64_t>(digit);
    }
  } else {
    for (char c : text) {
      if (c < '0' || c > '9') return false;
      uint64_t digit = static_cast<uint64_t>(c - '0');
      if (result > (UINT64_MAX - digit) / 10) return false;
      result = result * 10 + digit;
    }
  }
  if (result > max) return false;
  *out = result;
  return true;
}

bool ParseBool(const std::string& text, bool* out) {
  std::string word = Lower(text);
  if (word == "yes" || word == "true" || word == "on" || word == "1") {
    *out = true;
    return true;
  }
  if (word == "no" || word == "false" || word == "off" || word == "0") {
    *out = false;
    return true;
  }
  return false;
}

bool IsPrintable(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
  }
  return true;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::string current;
  for (char c : text) {
    if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
      if (!current.empty()) items.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) items.push_back(current);
  return items;
}

// Disk fields whose defaults follow from other keys, resolved when the
// section ends.
struct DiskDraft {
  DiskConfig disk;
  std::set<std::string> given;
  int geometryLine = 0;  // the last geometry key's line: where a bad product is reported
};

struct VolumeDraft {
  VolumeConfig volume;
  std::set<std::string> given;
  // Extents as written: disk, and start/length when given.
  struct Extent {
    uint32_t disk;
    bool hasStart;
    uint64_t start;
    bool hasLength;
    uint64_t length;
  };
  std::vector<Extent> extents;
  int extentsLine = 0;
};

struct OpticalDraft {
  OpticalConfig optical;
  std::set<std::string> given;
  int mediumLine = 0;
};

class Parser {
 public:
  bool Run(const std::string& text, BayConfig* config, std::string* error);

 private:
  enum class Section { kNone, kSystem, kDisk, kVolume, kOptical, kFile };

  bool Fail(int line, const std::string& message, std::string* error) {
    *error = "line " + std::to_string(line) + ": " + message;
    return false;
  }

  bool StartSection(const std::string& header, int line, std::string* message);
  bool SetKey(const std::string& key, const Value& value, std::string* message);
  bool SetSystemKey(const std::string& key, const Value& value, std::string* message);
  bool SetDiskKey(const std::string& key, const Value& value, std::string* message);
  bool SetVolumeKey(const std::string& key, const Value& value, std::string* message);
  bool SetOpticalKey(const std::string& key, const Value& value, std::string* message);
  bool SetFileKey(const std::string& key, const Value& value, std::string* message);
  bool FinishDisk(DiskDraft& draft, std::string* error);
  bool FinishOptical(OpticalDraft& draft, std::string* error);
  bool FinishVolumes(std::string* error);

  BayConfig* config_ = nullptr;
  Section section_ = Section::kNone;
  bool sawSystem_ = false;
  std::set<std::string> systemKeys_;
  std::vector<DiskDraft> disks_;
  std::vector<VolumeDraft> volumes_;
  std::vector<OpticalDraft> opticals_;
  std::vector<std::set<std::string>> fileKeys_;
  int line_ = 0;
};

bool Parser::Run(const std::string& text, BayConfig* config, std::string* error) {
  config_ = config;
  *config_ = BayConfig();
  line_ = 0;
  // Lines end at '\n'; a last line without one still counts, and a final
  // '\n' starts no empty line.
  for (size_t begin = 0; begin < text.size();) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string rawLine = text.substr(begin, end - begin);
    begin = end + 1;
    ++line_;
    if (!rawLine.empty() && rawLine.back() == '\r') rawLine.pop_back();
    std::string line = Trim(StripComment(rawLine));
    if (line.empty()) continue;
    std::string message;
    if (line.front() == '[') {
      if (line.back() != ']') return Fail(line_, "a section header must end with ']'", error);
      if (!StartSection(Trim(line.substr(1, line.size() - 2)), line_, &message)) {
        return Fail(line_, message, error);
      }
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) {
      return Fail(line_, "expected 'key = value' or a [section] header", error);
    }
    std::string key = Lower(Trim(line.substr(0, equals)));
    if (key.empty()) return Fail(line_, "a key is missing before '='", error);
    Value value;
    if (!ParseValue(line.substr(equals + 1), &value, &message)) return Fail(line_, message, error);
    if (!SetKey(key, value, &message)) return Fail(line_, message, error);
  }
  for (DiskDraft& draft : disks_) {
    if (!FinishDisk(draft, error)) return false;
    config_->disks[draft.disk.number] = draft.disk;
  }
  for (OpticalDraft& draft : opticals_) {
    if (!FinishOptical(draft, error)) return false;
    config_->opticals[draft.optical.letter] = draft.optical;
  }
  for (size_t i = 0; i < config_->files.size(); ++i) {
    if (!fileKeys_[i].count("path") || !fileKeys_[i].count("security"))
      return Fail(config_->files[i].line, "a [file] needs its path and its security", error);
  }
  return FinishVolumes(error);
}

bool Parser::StartSection(const std::string& header, int line, std::string* message) {
  std::vector<std::string> words = SplitList(header);
  std::string kind = words.empty() ? std::string() : Lower(words[0]);
  if (kind == "system" && words.size() == 1) {
    if (sawSystem_) {
      *message = "[system] appears twice";
      return false;
    }
    sawSystem_ = true;
    section_ = Section::kSystem;
    return true;
  }
  if (kind == "disk" && words.size() == 2) {
    uint64_t number;
    if (!ParseUnsigned(words[1], kMaxDiskNumber, &number) || Lower(words[1].substr(0, 2)) == "0x") {
      *message = "a disk number must be a decimal number from 0 to 9999, not '" + words[1] + "'";
      return false;
    }
    for (const DiskDraft& other : disks_) {
      if (other.disk.number == static_cast<int>(number)) {
        *message = "[disk " + std::to_string(number) + "] appears twice (first on line " +
                   std::to_string(other.disk.line) + ")";
        return false;
      }
    }
    DiskDraft draft;
    draft.disk.number = static_cast<int>(number);
    draft.disk.line = line;
    disks_.push_back(draft);
    section_ = Section::kDisk;
    return true;
  }
  if (kind == "volume" && words.size() <= 2) {
    VolumeDraft draft;
    draft.volume.line = line;
    if (words.size() == 2) {
      std::string letter = words[1];
      if (letter.size() == 2 && letter[1] == ':') letter.pop_back();
      if (letter.size() != 1 || !std::isalpha(static_cast<unsigned char>(letter[0]))) {
        *message = "a volume's drive letter must be one letter A-Z, not '" + words[1] + "'";
        return false;
      }
      draft.volume.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0])));
    }
    volumes_.push_back(draft);
    section_ = Section::kVolume;
    return true;
  }
  if (kind == "optical" && words.size() == 2) {
    std::string letter = words[1];
    if (letter.size() == 2 && letter[1] == ':') letter.pop_back();
    if (letter.size() != 1 || !std::isalpha(static_cast<unsigned char>(letter[0]))) {
      *message = "an optical drive's letter must be one letter A-Z, not '" + words[1] + "'";
      return false;
    }
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0])));
    for (const OpticalDraft& other : opticals_) {
      if (other.optical.letter == upper) {
        *message = "[optical " + std::string(1, upper) + "] appears twice (first on line " +
                   std::to_string(other.optical.line) + ")";
        return false;
      }
    }
    OpticalDraft draft;
    draft.optical.letter = upper;
    draft.optical.line = line;
    opticals_.push_back(draft);
    section_ = Section::kOptical;
    return true;
  }
  if (kind == "file" && words.size() == 1) {
    config_->files.emplace_back();
    config_->files.back().line = line;
    fileKeys_.emplace_back();
    section_ = Section::kFile;
    return true;
  }
  *message = "unknown section [" + header +
             "]; expected [system], [disk N], [volume X], [optical X] or [file]";
  return false;
}

bool Parser::SetKey(const std::string& key, const Value& value, std::string* message) {
  std::set<std::string>* given = nullptr;
  switch (section_) {
    case Section::kNone:
      *message = "'" + key + "' appears before any [section]";
      return false;
    case Section::kSystem:
      given = &systemKeys_;
      break;
    case Section::kDisk:
      given = &disks_.back().given;
      break;
    case Section::kVolume:
      given = &volumes_.back().given;
      break;
    case Section::kOptical:
      given = &opticals_.back().given;
      break;
    case Section::kFile:
      given = &fileKeys_.back();
      break;
  }
  if (!given->insert(key).second) {
    *message = "'" + key + "' is given twice in this section";
    return false;
  }
  if (section_ == Section::kSystem) return SetSystemKey(key, value, message);
  if (section_ == Section::kDisk) return SetDiskKey(key, value, message);
  if (section_ == Section::kOptical) return SetOpticalKey(key, value, message);
  if (section_ == Section::kFile) return SetFileKey(key, value, message);
  return SetVolumeKey(key, value, message);
}

bool ReadNumber(const Value& value, uint64_t min, uint64_t max, uint64_t* out,
                std::string* message);

bool Parser::SetFileKey(const std::string& key, const Value& value, std::string* message) {
  FileConfig& file = config_->files.back();
  // A path may hold any character but the controls (UTF-8 beyond ASCII).
  for (char c : value.text) {
    if (static_cast<unsigned char>(c) < 0x20) {
      *message = "control characters are not allowed";
      return false;
    }
  }
  if (key == "path") {
    file.path = value.text;
    return true;
  }
  if (key == "security") {
    file.readable = value.quoted || Lower(value.text) != "unreadable";
    file.security = file.readable ? value.text : std::string();
    return true;
  }
  *message = "unknown key '" + key + "' in [file]";
  return false;
}

bool Parser::SetSystemKey(const std::string& key, const Value& value, std::string* message) {
  if (key == "windows_directory") {
    if (value.text.size() < 3 || value.text[1] != ':' ||
        !std::isalpha(static_cast<unsigned char>(value.text[0])) || value.text.size() >= 260 ||
        !IsPrintable(value.text)) {
      *message = "windows_directory must be a path such as C:\\WINDOWS";
      return false;
    }
    config_->windowsDirectory = value.text;
    return true;
  }
  if (key == "clock") {
    int year, month, day, hour, minute, second;
    char end;
    if (std::sscanf(value.text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour,
                    &minute, &second, &end) != 6 ||
        year < 1970 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
        minute > 59 || second > 59) {
      *message = "clock must be a date and time such as 2026-12-08 10:00:00";
      return false;
    }
    config_->clockStart = platform::DaysFromCivil(year, month, day) * 86400 + hour * 3600 +
                          minute * 60 + second;
    return true;
  }
  if (key == "time_scale") {
    uint64_t number = 0;
    if (!ReadNumber(value, 1, 100000, &number, message)) return false;
    config_->timeScale = static_cast<uint32_t>(number);
    return true;
  }
  *message = "unknown key '" + key + "' in [system]";
  return false;
}

// Small readers shared by the disk keys; each sets *message on failure.
bool ReadNumber(const Value& value, uint64_t min, uint64_t max, uint64_t* out,
                std::string* message) {
  if (!ParseUnsigned(value.text, max, out) || *out < min) {
    *message = "expected a number from " + std::to_string(min) + " to " + std::to_string(max) +
               ", not '" + value.text + "'";
    return false;
  }
  return true;
}

bool ReadBool(const Value& value, bool* out, std::string* message) {
  if (!ParseBool(value.text, out)) {
    *message = "expected yes or no, not '" + value.text + "'";
    return false;
  }
  return true;
}

bool ReadText(const Value& value, size_t maxLength, std::string* out, std::string* message) {
  if (value.text.size() > maxLength) {
    *message = "'" + value.text + "' is longer than " + std::to_string(maxLength) + " characters";
    return false;
  }
  if (!IsPrintable(value.text)) {
    *message = "only printable ASCII characters are allowed";
    return false;
  }
  *out = value.text;
  return true;
}

// `choices` lists the accepted words; *index gets the position of the one given.
// Plain C strings: each call site stays a short table, not code building strings.
bool ReadChoice(const Value& value, std::initializer_list<const char*> choices, size_t* index,
                std::string* message) {
  const std::string word = Lower(value.text);
  size_t i = 0;
  for (const char* choice : choices) {
    if (word == choice) {
      *index = i;
      return true;
    }
    ++i;
  }
  std::string list;
  for (const char* choice : choices) {
    if (!list.empty()) list += ", ";
    list += choice;
  }
  *message = "expected one of " + list + ", not '" + value.text + "'";
  return false;
}

// A feature level key: `unsupported`, `disabled`, or the enabled level.
bool ReadFeature(const Value& value, uint64_t min, uint64_t max, bool* supported, bool* enabled,
                 uint8_t* level, std::string* message) {
  std::string word = Lower(value.text);
  if (word == "unsupported") {
    *supported = false;
    *enabled = false;
    *level = 0;
    return true;
  }
  if (word == "disabled") {
    *supported = true;
    *enabled = false;
    *level = 0;
    return true;
  }
  uint64_t number;
  if (!ParseUnsigned(value.text, max, &number) || number < min) {
    *message = "expected unsupported, disabled or a level from " + std::to_string(min) + " to " +
               std::to_string(max) + ", not '" + value.text + "'";
    return false;
  }
  *supported = true;
  *enabled = true;
  *level = static_cast<uint8_t>(number);
  return true;
}

// The commands that wake a disk, by name: ATA commands reach the drive over
// any path, SCSI ones are those its bridge or driver passes on.
bool ReadWakeCommands(const Value& value, DiskConfig* d, std::string* message) {
  struct Waker {
    const char* name;
    bool ata;
    uint8_t code;
  };
  static const Waker kWakers[] = {
      {"identify", true, 0xEC},       {"set_features", true, 0xEF},
      {"read_capacity", false, 0x25}, {"test_unit_ready", false, 0x00},
      {"inquiry", false, 0x12},
  };
  d->ata.wakeCommands.clear();
  d->wakeOpcodes.clear();
  const std::vector<std::string> items = SplitList(Lower(value.text));
  if (items.size() == 1 && items[0] == "none") return true;
  for (const std::string& item : items) {
    const Waker* found = nullptr;
    for (const Waker& waker : kWakers)
      if (item == waker.name) found = &waker;
    if (found == nullptr) {
      *message = "expected none or commands among identify, set_features, read_capacity, "
                 "test_unit_ready, inquiry, not '" + item + "'";
      return false;
    }
    (found->ata ? d->ata.wakeCommands : d->wakeOpcodes).push_back(found->code);
  }
  if (items.empty()) {
    *message = "expected none or a list of commands";
    return false;
  }
  return true;
}

// SMART attributes as id:raw pairs (4:1234 193:56789), or none: no SMART.
bool ReadSmartAttributes(const Value& value, AtaDeviceConfig* ata, std::string* message) {
  ata->smart = false;
  ata->smartAttributes.clear();
  const std::vector<std::string> items = SplitList(value.text);
  if (items.size() == 1 && Lower(items[0]) == "none") return true;
  for (const std::string& item : items) {
    const size_t colon = item.find(':');
    uint64_t id = 0, raw = 0;
    if (colon == std::string::npos || !ParseUnsigned(item.substr(0, colon), 255, &id) || id == 0 ||
        !ParseUnsigned(item.substr(colon + 1), 0xFFFFFFFFFFFFull, &raw) ||
        ata->smartAttributes.size() == 30) {
      *message = "expected none or up to 30 attributes as id:raw (4:1234 193:56789), not '" +
                 item + "'";
      return false;
    }
    ata->smartAttributes.emplace_back(static_cast<uint8_t>(id), raw);
  }
  ata->smart = !items.empty();
  return true;
}

// Command block opcodes in hexadecimal (DF, 0xF8, ...), or none.
bool ReadOpcodes(const Value& value, std::vector<uint8_t>* opcodes, std::string* message) {
  opcodes->clear();
  const std::vector<std::string> items = SplitList(value.text);
  if (items.size() == 1 && Lower(items[0]) == "none") return true;
  for (std::string item : items) {
    if (Lower(item.substr(0, 2)) == "0x") item = item.substr(2);
    uint64_t code = 0;
    if (item.empty() || item.size() > 2 || !ParseUnsigned("0x" + item, 0xFF, &code)) {
      *message = "expected none or opcodes in hexadecimal such as DF F8, not '" + item + "'";
      return false;
    }
    opcodes->push_back(static_cast<uint8_t>(code));
  }
  if (opcodes->empty()) {
    *message = "expected none or a list of opcodes";
    return false;
  }
  return true;
}

bool Parser::SetDiskKey(const std::string& key, const Value& value, std::string* message) {
  DiskConfig& d = disks_.back().disk;
  uint64_t number = 0;
  size_t choice = 0;
  if (key == "type") {
    if (!ReadNumber(value, 0, 31, &number, message)) return false;
    d.deviceType = static_cast<uint8_t>(number);
    return true;
  }
  if (key == "removable") return ReadBool(value, &d.removable, message);
  if (key == "scsi_pass_through") return ReadBool(value, &d.scsiPassThrough, message);
  if (key == "inquiry") {
    if (!ReadChoice(value, {"ok", "fail"}, &choice, message)) return false;
    d.inquiryFails = choice == 1;
    return true;
  }
  if (key == "vendor") return ReadText(value, 8, &d.vendor, message);
  if (key == "product") return ReadText(value, 16, &d.product, message);
  if (key == "revision") return ReadText(value, 4, &d.revision, message);
  if (key == "read_capacity") {
    if (!ReadChoice(value, {"ok", "no_medium", "unsupported"}, &choice, message)) return false;
    d.capacity = choice == 0   ? CapacityAnswer::kOk
                 : choice == 1 ? CapacityAnswer::kNoMedium
                               : CapacityAnswer::kUnsupported;
    return true;
  }
  if (key == "last_lba") return ReadNumber(value, 0, kMaxLastLba, &d.lastLba, message);
  if (key == "block_length") {
    if (!ReadNumber(value, 1, 65536, &number, message)) return false;
    d.blockLength = static_cast<uint32_t>(number);
    return true;
  }
  if (key == "property") {
    if (!ReadChoice(value, {"ok", "fail"}, &choice, message)) return false;
    d.propertyFails = choice == 1;
    return true;
  }
  if (key == "property_vendor" || key == "property_product") {
    bool vendor = key == "property_vendor";
    bool absent = !value.quoted && Lower(value.text) == "none";
    (vendor ? d.hasPropertyVendor : d.hasPropertyProduct) = !absent;
    if (absent) return true;
    return ReadText(value, 200, vendor ? &d.propertyVendor : &d.propertyProduct, message);
  }
  if (key == "property_vendor_offset" || key == "property_product_offset") {
    if (!ReadNumber(value, 0, 0xFFFFFFFFu, &number, message)) return false;
    (key == "property_vendor_offset" ? d.propertyVendorOffset : d.propertyProductOffset) =
        static_cast<int64_t>(number);
    return true;
  }
  if (key == "property_unterminated") return ReadBool(value, &d.propertyUnterminated, message);
  if (key == "bus_type") {
    static const char* const names[] = {
        "unknown", "scsi", "atapi", "ata",     "1394",    "ssa",                 "fibre",
        "usb",     "raid", "iscsi", "sas",     "sata",    "sd",                  "mmc",
        "virtual", "file_backed_virtual",      "spaces"};
    std::string word = Lower(value.text);
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
      if (word == names[i]) {
        d.busType = static_cast<uint32_t>(i);
        return true;
      }
    }
    if (word == "nvme") {
      d.busType = 17;
      return true;
    }
    if (!ParseUnsigned(value.text, 255, &number)) {
      *message =
          "expected a bus type (unknown, scsi, ata, usb, raid, sas, sata, nvme, ...) or "
          "a number, not '" +
          value.text + "'";
      return false;
    }
    d.busType = static_cast<uint32_t>(number);
    return true;
  }
  if (key == "geometry") {
    if (!ReadChoice(value, {"ok", "fail"}, &choice, message)) return false;
    d.geometryFails = choice == 1;
    return true;
  }
  if (key == "cylinders" || key == "tracks_per_cylinder" || key == "sectors_per_track" ||
      key == "bytes_per_sector")
    disks_.back().geometryLine = line_;
  if (key == "cylinders") return ReadNumber(value, 0, INT64_MAX, &d.cylinders, message);
  if (key == "tracks_per_cylinder" || key == "sectors_per_track" || key == "bytes_per_sector") {
    if (!ReadNumber(value, 1, 0xFFFFFFFFu, &number, message)) return false;
    uint32_t* field = key == "tracks_per_cylinder" ? &d.tracksPerCylinder
                      : key == "sectors_per_track" ? &d.sectorsPerTrack
                                                   : &d.bytesPerSector;
    *field = static_cast<uint32_t>(number);
    return true;
  }
  if (key == "ata_paths") {
    AtaPaths paths;
    std::vector<std::string> items = SplitList(Lower(value.text));
    if (items.empty()) {
      *message = "ata_paths needs 'none' or a list of paths";
      return false;
    }
    for (const std::string& item : items) {
      if (item == "none" && items.size() == 1) continue;
      if (item == "smart")
        paths.smart = true;
      else if (item == "ata_pass_through")
        paths.ataPassThrough = true;
      else if (item == "sat12")
        paths.sat12 = true;
      else if (item == "vendor_df")
        paths.vendorDF = true;
      else if (item == "vendor_f8")
        paths.vendorF8 = true;
      else {
        *message = "unknown ATA path '" + item +
                   "'; expected none, smart, ata_pass_through, sat12, vendor_df, vendor_f8";
        return false;
      }
    }
    d.paths = paths;
    return true;
  }
  if (key == "sat_strict") return ReadBool(value, &d.satStrict, message);
  if (key == "sat_sense") {
    if (!ReadChoice(value, {"descriptor", "fixed"}, &choice, message)) return false;
    d.satFixedSense = choice == 1;
    return true;
  }
  if (key == "df_wide_read") return ReadBool(value, &d.dfWideReadBack, message);
  if (key == "ata_pass_through_registers") {
    if (!ReadChoice(value, {"returned", "zero"}, &choice, message)) return false;
    d.ataRegistersZero = choice == 1;
    return true;
  }
  if (key == "never_answers") return ReadOpcodes(value, &d.neverAnswers, message);
  if (key == "smart_attributes") return ReadSmartAttributes(value, &d.ata, message);
  if (key == "smart_checksum") {
    if (!ReadChoice(value, {"good", "bad"}, &choice, message)) return false;
    d.ata.smartChecksumBad = choice == 1;
    return true;
  }
  if (key == "load_cycles_per_hour") {
    if (!ReadNumber(value, 0, 100000, &number, message)) return false;
    d.ata.loadCyclesPerHour = static_cast<uint32_t>(number);
    return true;
  }
  if (key == "power_page") {
    if (!ReadChoice(value, {"writable", "refused", "absent"}, &choice, message)) return false;
    static const PowerPageAnswer answers[] = {PowerPageAnswer::kWritable,
                                              PowerPageAnswer::kRefused, PowerPageAnswer::kAbsent};
    d.powerPage = answers[choice];
    return true;
  }
  if (key == "property_serial") {
    d.hasPropertySerial = value.quoted || Lower(value.text) != "none";
    if (!d.hasPropertySerial) return true;
    return ReadText(value, 40, &d.propertySerial, message);
  }
  if (key == "smart_filter") return ReadBool(value, &d.smartFilter, message);
  if (key == "df_layout") {
    if (!ReadChoice(value, {"0", "4"}, &choice, message)) return false;
    d.dfLayoutBase = choice == 0 ? 0 : 4;
    return true;
  }
  if (key == "latency_ms") {
    if (!ReadNumber(value, 0, 60000, &number, message)) return false;
    d.latencyMs = static_cast<uint32_t>(number);
    return true;
  }
  if (key == "model") return ReadText(value, 40, &d.ata.model, message);
  if (key == "serial") return ReadText(value, 20, &d.ata.serial, message);
  if (key == "firmware") return ReadText(value, 8, &d.ata.firmware, message);
  if (key == "sectors") return ReadNumber(value, 1, kMaxLastLba, &d.ata.sectors, message);
  if (key == "apm") {
    return ReadFeature(value, 1, 254, &d.ata.apmSupported, &d.ata.apmEnabled, &d.ata.apmLevel,
                       message);
  }
  if (key == "aam") {
    return ReadFeature(value, 128, 254, &d.ata.aamSupported, &d.ata.aamEnabled, &d.ata.aamLevel,
                       message);
  }
  if (key == "aam_recommended") {
    if (!ReadNumber(value, 0, 255, &number, message)) return false;
    d.ata.aamRecommended = static_cast<uint8_t>(number);
    return true;
  }
  if (key == "wakes_on") return ReadWakeCommands(value, &d, message);
  if (key == "spin_up_ms") {
    if (!ReadNumber(value, 0, 60000, &number, message)) return false;
    d.spinUpMs = static_cast<uint32_t>(number);
    return true;
  }
  if (key == "power_mode") {
    if (!ReadChoice(value,
                    {"active", "idle", "standby", "standby_y", "idle_a", "idle_b", "idle_c"},
                    &choice, message))
      return false;
    static const uint8_t modes[] = {0xFF, 0x80, 0x00, 0x01, 0x81, 0x82, 0x83};
    d.ata.powerMode = modes[choice];
    return true;
  }
  *message = "unknown key '" + key + "' in [disk " + std::to_string(d.number) + "]";
  return false;
}

bool ParseExtent(const std::string& item, VolumeDraft::Extent* extent) {
  std::vector<std::string> parts;
  size_t begin = 0;
  while (true) {
    size_t colon = item.find(':', begin);
    parts.push_back(item.substr(begin, colon - begin));
    if (colon == std::string::npos) break;
    begin = colon + 1;
  }
  if (parts.size() > 3) return false;
  uint64_t disk;
  if (!ParseUnsigned(parts[0], kMaxDiskNumber, &disk)) return false;
  extent->disk = static_cast<uint32_t>(disk);
  extent->hasStart = parts.size() >= 2;
  extent->hasLength = parts.size() >= 3;
  extent->start = 0;
  extent->length = 0;
  if (extent->hasStart && !ParseUnsigned(parts[1], INT64_MAX, &extent->start)) return false;
  if (extent->hasLength && !ParseUnsigned(parts[2], INT64_MAX, &extent->length)) return false;
  return true;
}

bool Parser::SetVolumeKey(const std::string& key, const Value& value, std::string* message) {
  VolumeDraft& draft = volumes_.back();
  VolumeConfig& v = draft.volume;
  if (key == "name") {
    const std::string prefix = "\\\\?\\Volume{";
    if (value.text.size() < prefix.size() + 2 || value.text.compare(0, prefix.size(), prefix) ||
        value.text.compare(value.text.size() - 2, 2, "}\\") || !IsPrintable(value.text) ||
        value.text.size() >= 100) {
      *message = "a volume name looks like \\\\?\\Volume{GUID}\\ (with the trailing backslash)";
      return false;
    }
    v.name = value.text;
    return true;
  }
  if (key == "type") {
    size_t choice;
    if (!ReadChoice(value, {"fixed", "removable", "cdrom", "remote", "ramdisk"}, &choice,
                    message)) {
      return false;
    }
    static const uint32_t types[] = {3, 2, 5, 4, 6};  // DRIVE_FIXED, _REMOVABLE, _CDROM, ...
    v.driveType = types[choice];
    return true;
  }
  if (key == "extents") {
    draft.extents.clear();
    draft.extentsLine = line_;
    std::vector<std::string> items = SplitList(value.text);
    v.extentsEmpty = items.size() == 1 && Lower(items[0]) == "empty";
    if (items.size() == 1 && (Lower(items[0]) == "none" || v.extentsEmpty)) return true;
    for (const std::string& item : items) {
      VolumeDraft::Extent extent;
      if (!ParseExtent(item, &extent)) {
        *message = "an extent is DISK, DISK:START or DISK:START:LENGTH (bytes), not '" + item + "'";
        return false;
      }
      draft.extents.push_back(extent);
    }
    return true;
  }
  if (key == "scsi_pass_through") return ReadBool(value, &v.scsiPassThrough, message);
  if (key == "mounted") return ReadBool(value, &v.mounted, message);
  if (key == "extents_count_override") {
    uint64_t number;
    if (!ReadNumber(value, 0, 0xFFFFFFFFu, &number, message)) return false;
    v.extentsCountOverride = static_cast<int64_t>(number);
    return true;
  }
  *message = "unknown key '" + key + "' in [volume]";
  return false;
}

// A list of read speeds in KB/s, or `none`; kept fastest first, each once.
bool ReadSpeedList(const Value& value, std::vector<uint32_t>* speeds, std::string* message) {
  std::vector<std::string> items = SplitList(value.text);
  speeds->clear();
  if (items.size() == 1 && Lower(items[0]) == "none") return true;
  if (items.empty() || items.size() > 64) {
    *message = "expected 'none' or a list of 1 to 64 speeds in KB/s";
    return false;
  }
  for (const std::string& item : items) {
    uint64_t speed;
    if (!ParseUnsigned(item, 65535, &speed) || speed == 0) {
      *message = "a read speed is a number of KB/s from 1 to 65535, not '" + item + "'";
      return false;
    }
    speeds->push_back(static_cast<uint32_t>(speed));
  }
  std::sort(speeds->begin(), speeds->end(), [](uint32_t a, uint32_t b) { return a > b; });
  speeds->erase(std::unique(speeds->begin(), speeds->end()), speeds->end());
  return true;
}

bool ReadSpeedCommand(const Value& value, SpeedCommandAnswer* answer, std::string* message) {
  if (Lower(value.text) == "honored") {
    *answer = SpeedCommandAnswer::kHonoured;
    return true;
  }
  size_t choice;
  if (!ReadChoice(value, {"honoured", "ignored", "unsupported"}, &choice, message)) return false;
  static const SpeedCommandAnswer answers[] = {SpeedCommandAnswer::kHonoured,
                                               SpeedCommandAnswer::kIgnored,
                                               SpeedCommandAnswer::kUnsupported};
  *answer = answers[choice];
  return true;
}

bool Parser::SetOpticalKey(const std::string& key, const Value& value, std::string* message) {
  OpticalDraft& draft = opticals_.back();
  OpticalConfig& o = draft.optical;
  uint64_t number = 0;
  size_t choice = 0;
  if (key == "vendor") return ReadText(value, 8, &o.vendor, message);
  if (key == "product") return ReadText(value, 16, &o.product, message);
  if (key == "revision") return ReadText(value, 4, &o.revision, message);
  if (key == "serial") {
    o.hasSerial = value.quoted || Lower(value.text) != "none";
    if (!o.hasSerial) return true;
    return ReadText(value, 252, &o.serial, message);
  }
  if (key == "serial_pad") return ReadBool(value, &o.serialPadded, message);
  if (key == "starting_feature") {
    if (!ReadChoice(value, {"any", "zero"}, &choice, message)) return false;
    o.featureZeroOnly = choice == 1;
    return true;
  }
  if (key == "mode_select") return ReadBool(value, &o.modeSelect, message);
  if (key == "cd_speeds") return ReadSpeedList(value, &o.cdSpeeds, message);
  if (key == "dvd_speeds") return ReadSpeedList(value, &o.dvdSpeeds, message);
  if (key == "bd_speeds") return ReadSpeedList(value, &o.bdSpeeds, message);
  if (key == "set_cd_speed") return ReadSpeedCommand(value, &o.setCdSpeed, message);
  if (key == "set_streaming") return ReadSpeedCommand(value, &o.setStreaming, message);
  if (key == "capabilities_page") return ReadBool(value, &o.capabilitiesPage, message);
  if (key == "get_performance") return ReadBool(value, &o.getPerformance, message);
  if (key == "reported_speed" || key == "capabilities_speed" || key == "performance_speed") {
    ReportedSpeed report = ReportedSpeed::kFixed;
    const std::string word = Lower(value.text);
    if (word == "current" || word == "fastest") {
      report = word == "current" ? ReportedSpeed::kCurrent : ReportedSpeed::kFastest;
    } else if (!ParseUnsigned(value.text, 65535, &number)) {
      *message =
          "expected current, fastest or a speed in KB/s up to 65535, not '" + value.text + "'";
      return false;
    }
    // reported_speed sets both paths; the key of one path, given anywhere in
    // the section, wins for that path.
    if (key != "performance_speed" &&
        !(key == "reported_speed" && draft.given.count("capabilities_speed"))) {
      o.capabilitiesReport = report;
      o.capabilitiesFixed = static_cast<uint32_t>(number);
    }
    if (key != "capabilities_speed" &&
        !(key == "reported_speed" && draft.given.count("performance_speed"))) {
      o.performanceReport = report;
      o.performanceFixed = static_cast<uint32_t>(number);
    }
    return true;
  }
  if (key == "idle_speed") {
    if (!ReadNumber(value, 0, 65535, &number, message)) return false;
    o.idleSpeed = static_cast<uint32_t>(number);
    return true;
  }
  if (key == "medium") {
    if (!ParseMediumName(value.text, &o.medium)) {
      *message =
          "expected none, a medium such as cd-rom, cd-rw, dvd-rom, dvd+r-dl, bd-re, or a "
          "profile number such as 0x0050, not '" +
          value.text + "'";
      return false;
    }
    draft.mediumLine = line_;
    return true;
  }
  if (key == "last_lba") {
    if (!ReadNumber(value, 0, 0xFFFFFFFFu, &number, message)) return false;
    o.medium.lastLba = static_cast<uint32_t>(number);  // applied when the section ends
    return true;
  }
  if (key == "power_page") {
    if (!ReadChoice(value, {"writable", "refused", "absent"}, &choice, message)) return false;
    static const PowerPageAnswer answers[] = {PowerPageAnswer::kWritable, PowerPageAnswer::kRefused,
                                              PowerPageAnswer::kAbsent};
    o.powerPage = answers[choice];
    return true;
  }
  if (key == "idle") return ReadBool(value, &o.power.idle, message);
  if (key == "standby") return ReadBool(value, &o.power.standby, message);
  if (key == "idle_timer" || key == "standby_timer") {
    if (!ReadNumber(value, 0, 0xFFFFFFFFu, &number, message)) return false;
    (key == "idle_timer" ? o.power.idleTimer : o.power.standbyTimer) =
        static_cast<uint32_t>(number);
    return true;
  }
  if (key == "power_condition") {
    if (!ReadChoice(value, {"active", "idle", "standby"}, &choice, message)) return false;
    static const OpticalPower conditions[] = {OpticalPower::kActive, OpticalPower::kIdle,
                                              OpticalPower::kStandby};
    o.powerCondition = conditions[choice];
    return true;
  }
  if (key == "unit_attention") return ReadBool(value, &o.unitAttention, message);
  if (key == "latency_ms") {
    if (!ReadNumber(value, 0, 60000, &number, message)) return false;
    o.latencyMs = static_cast<uint32_t>(number);
    return true;
  }
  *message = "unknown key '" + key + "' in [optical " + std::string(1, o.letter) + "]";
  return false;
}

bool Parser::FinishDisk(DiskDraft& draft, std::string* error) {
  DiskConfig& d = draft.disk;
  auto given = [&draft](const char* key) { return draft.given.count(key) != 0; };
  AtaDeviceConfig& ata = d.ata;

  // Size: last_lba and sectors each follow from the other when only one is given.
  if (!given("last_lba")) {
    uint64_t blocks = given("sectors") ? ata.sectors * 512 / d.blockLength : kDefaultLastLba + 1;
    d.lastLba = blocks > 1 ? blocks - 1 : 0;
  }
  uint64_t capacityBytes = (d.lastLba + 1) * d.blockLength;
  if (!given("sectors")) {
    uint64_t sectors = capacityBytes / 512;
    ata.sectors = sectors < (1ull << 48) ? sectors : (1ull << 48) - 1;
  }

  if (!given("model")) ata.model = "SIMULATED DISK " + std::to_string(d.number);
  if (!given("serial")) ata.serial = "SIMDISK" + std::to_string(d.number);
  if (!given("firmware")) ata.firmware = "1.00";

  // INQUIRY identification as a SCSI / ATA Translation layer reports it:
  // vendor "ATA", the first 16 characters of the model, the firmware.
  if (!given("vendor")) d.vendor = "ATA";
  if (!given("product")) d.product = ata.model.substr(0, 16);
  if (!given("revision")) d.revision = ata.firmware.substr(0, 4);
  d.vendor = PadRight(d.vendor, 8);
  d.product = PadRight(d.product, 16);
  d.revision = PadRight(d.revision, 4);

  // The storage driver copies the INQUIRY fields, blanks included.
  if (!given("property_vendor")) d.propertyVendor = d.vendor;
  if (!given("property_product")) d.propertyProduct = d.product;

  // The geometry's size is a product of four numbers; one that does not fit
  // 64 bits describes no disk.
  const uint64_t trackSectors = static_cast<uint64_t>(d.tracksPerCylinder) * d.sectorsPerTrack;
  if (trackSectors > UINT64_MAX / d.bytesPerSector ||
      (given("cylinders") && d.cylinders != 0 &&
       trackSectors * d.bytesPerSector > UINT64_MAX / d.cylinders)) {
    return Fail(draft.geometryLine ? draft.geometryLine : d.line,
                "the geometry's size (cylinders x tracks_per_cylinder x sectors_per_track x "
                "bytes_per_sector) does not fit 64 bits",
                error);
  }
  if (!given("cylinders")) d.cylinders = capacityBytes / (trackSectors * d.bytesPerSector);
  return true;
}

bool Parser::FinishOptical(OpticalDraft& draft, std::string* error) {
  OpticalConfig& o = draft.optical;
  auto given = [&draft](const char* key) { return draft.given.count(key) != 0; };
  const std::string letter(1, o.letter);
  if (!given("vendor")) o.vendor = "SIMOPT";
  if (!given("product")) o.product = "OPTICAL DRIVE " + letter;
  if (!given("revision")) o.revision = "1.00";
  if (!given("serial")) o.serial = "SIMOPT" + letter + "01";
  o.vendor = PadRight(o.vendor, 8);
  o.product = PadRight(o.product, 16);
  o.revision = PadRight(o.revision, 4);

  // By default a DVD-ROM drive: 40X on CD (1X = 176.4 KB/s), 16X on DVD
  // (1X = 1385 KB/s), no BD.
  if (!given("cd_speeds")) o.cdSpeeds = {7056, 5645, 4234, 2822, 1411};
  if (!given("dvd_speeds")) o.dvdSpeeds = {22160, 16620, 11080, 5540, 2770};

  const uint32_t lastLba = o.medium.lastLba;
  if (!given("medium")) o.medium = OpticalMedium();
  if (given("last_lba")) {
    if (o.medium.kind == MediumKind::kNone) {
      return Fail(o.line, "[optical " + letter + "] has last_lba but no medium", error);
    }
    o.medium.lastLba = lastLba;
  }
  const std::vector<uint32_t>& speeds = o.medium.kind == MediumKind::kCd    ? o.cdSpeeds
                                        : o.medium.kind == MediumKind::kDvd ? o.dvdSpeeds
                                                                            : o.bdSpeeds;
  if (o.medium.kind != MediumKind::kNone && speeds.empty()) {
    const std::string kind = MediumKindName(o.medium.kind);
    return Fail(draft.mediumLine,
                "the drive reads no " + kind + " medium; give it " + kind + "_speeds", error);
  }
  return true;
}

bool Parser::FinishVolumes(std::string* error) {
  std::set<char> letters;
  std::set<std::string> names;
  int index = 0;
  for (VolumeDraft& draft : volumes_) {
    ++index;
    VolumeConfig& v = draft.volume;
    if (v.name.empty()) {
      char name[64];
      std::snprintf(name, sizeof name, "\\\\?\\Volume{00000000-0000-0000-0000-%012x}\\", index);
      v.name = name;
    }
    if (v.letter && !letters.insert(v.letter).second) {
      return Fail(v.line, std::string("drive letter ") + v.letter + ": has two volumes", error);
    }
    if (!names.insert(Lower(v.name)).second) {
      return Fail(v.line, "volume name " + v.name + " is used twice", error);
    }
    for (const VolumeDraft::Extent& written : draft.extents) {
      auto disk = config_->disks.find(static_cast<int>(written.disk));
      if (disk == config_->disks.end()) {
        return Fail(draft.extentsLine,
                    "an extent is on disk " + std::to_string(written.disk) +
                        ", which has no [disk] section",
                    error);
      }
      uint64_t diskBytes = (disk->second.lastLba + 1) * disk->second.blockLength;
      ExtentConfig extent;
      extent.disk = written.disk;
      extent.start = written.hasStart ? written.start : kDefaultExtentStart;
      extent.length = written.hasLength          ? written.length
                      : diskBytes > extent.start ? diskBytes - extent.start
                                                 : 0;
      v.extents.push_back(extent);
    }
    config_->volumes.push_back(v);
  }
  // Each optical drive has its CD-ROM volume on its letter; one that was not
  // written comes after the others.
  for (const auto& entry : config_->opticals) {
    const OpticalConfig& optical = entry.second;
    const std::string letter(1, optical.letter);
    const VolumeConfig* volume = nullptr;
    for (const VolumeConfig& v : config_->volumes) {
      if (v.letter == optical.letter) volume = &v;
    }
    if (volume && volume->driveType != kDriveCdrom) {
      return Fail(
          volume->line,
          "[volume " + letter + "] belongs to [optical " + letter + "] and must have type = cdrom",
          error);
    }
    if (volume) continue;
    VolumeConfig added;
    added.line = optical.line;
    added.letter = optical.letter;
    added.driveType = kDriveCdrom;
    for (int index = static_cast<int>(config_->volumes.size()) + 1; added.name.empty(); ++index) {
      char name[64];
      std::snprintf(name, sizeof name, "\\\\?\\Volume{00000000-0000-0000-0000-%012x}\\", index);
      if (names.insert(Lower(name)).second) added.name = name;
    }
    config_->volumes.push_back(added);
  }
  return true;
}

}  // namespace

bool ParseBayText(const std::string& text, BayConfig* config, std::string* error) {
  Parser parser;
  std::string message;
  if (parser.Run(text, config, &message)) return true;
  if (error) *error = message;
  return false;
}

}  // namespace sim
