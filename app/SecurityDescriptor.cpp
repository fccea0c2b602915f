#include "app/SecurityDescriptor.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace app {

namespace {

// The accounts trusted with the program: local administrators, the system,
// and the Windows installer service that owns the system's folders.
bool Trusted(const std::string& sid) {
  return sid == "BA" || sid == "SY" || sid == "S-1-5-32-544" || sid == "S-1-5-18" ||
         sid == "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
}

// The names of the usual accounts, for the message.
std::string Named(const std::string& sid) {
  static const struct {
    const char* sid;
    const char* name;
  } kNames[] = {{"BU", "Users"}, {"AU", "Authenticated Users"}, {"WD", "Everyone"},
                {"IU", "Interactive users"}, {"AN", "Anonymous"}, {"PU", "Power Users"}};
  for (const auto& entry : kNames)
    if (sid == entry.sid) return entry.name;
  return sid;
}

// One ACE's rights: a number (0x...), or two-letter codes one after another.
uint32_t Rights(const std::string& text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return static_cast<uint32_t>(std::strtoul(text.c_str() + 2, nullptr, 16));
  if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0])))
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
  static const struct {
    const char* code;
    uint32_t rights;
  } kCodes[] = {
      {"GA", 0x10000000}, {"GR", 0x80000000}, {"GW", 0x40000000}, {"GX", 0x20000000},
      {"RC", 0x20000},    {"SD", 0x10000},    {"WD", 0x40000},    {"WO", 0x80000},
      {"RP", 0x10},       {"WP", 0x20},       {"CC", 0x1},        {"DC", 0x2},
      {"LC", 0x4},        {"SW", 0x8},        {"LO", 0x80},       {"DT", 0x40},
      {"CR", 0x100},      {"FA", 0x1F01FF},   {"FR", 0x120089},   {"FW", 0x120116},
      {"FX", 0x1200A0},   {"KA", 0xF003F},    {"KR", 0x20019},    {"KW", 0x20006},
      {"KX", 0x20019},
  };
  uint32_t rights = 0;
  for (size_t at = 0; at + 2 <= text.size(); at += 2) {
    bool known = false;
    for (const auto& code : kCodes) {
      if (text.compare(at, 2, code.code) == 0) {
        rights |= code.rights;
        known = true;
      }
    }
    if (!known) return 0xFFFFFFFF;  // what cannot be read may be anything
  }
  return text.size() % 2 ? 0xFFFFFFFF : rights;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

// An ACE's flags are two-letter codes one after another (OICIIO).
bool HasFlag(const std::string& flags, const char* flag) {
  for (size_t at = 0; at + 2 <= flags.size(); at += 2)
    if (flags.compare(at, 2, flag) == 0) return true;
  return false;
}

// The text of component `key` (O, G, D, S): from "key:" to the next
// component, outside the entries' parentheses. False when it is absent.
bool Component(const std::string& sddl, char key, std::string* text) {
  int depth = 0;
  size_t begin = std::string::npos;
  for (size_t i = 0; i < sddl.size(); ++i) {
    const char c = sddl[i];
    if (c == '(') ++depth;
    if (c == ')') --depth;
    const bool starts = depth == 0 && i + 1 < sddl.size() && sddl[i + 1] == ':' &&
                        (c == 'O' || c == 'G' || c == 'D' || c == 'S');
    if (!starts) continue;
    if (begin != std::string::npos) {
      *text = sddl.substr(begin, i - begin);
      return true;
    }
    if (c == key) begin = i + 2;
  }
  if (begin == std::string::npos) return false;
  *text = sddl.substr(begin);
  return true;
}

}  // namespace

std::string WhoMayChange(const std::string& sddl, uint32_t rights) {
  std::string owner, dacl;
  if (!Component(sddl, 'O', &owner)) return "anyone: the owner cannot be read";
  // The owner may always change who may do what.
  if (!Trusted(owner)) return Named(owner);
  if (!Component(sddl, 'D', &dacl)) return "anyone: no access control list";
  if (dacl.compare(0, 17, "NO_ACCESS_CONTROL") == 0) return "Everyone: no access control list";
  for (size_t open = dacl.find('('); open != std::string::npos; open = dacl.find('(', open + 1)) {
    const size_t close = dacl.find(')', open);
    if (close == std::string::npos) return "anyone: a damaged access control list";
    // type;flags;rights;object;inherited object;account[;attributes]
    const std::vector<std::string> field = Split(dacl.substr(open + 1, close - open - 1), ';');
    if (field.size() < 6) return "anyone: a damaged access control list";
    const std::string& type = field[0];
    if (type != "A" && type != "OA" && type != "XA" && type != "ZA") continue;  // allows only
    if (HasFlag(field[1], "IO")) continue;  // only for what is made inside
    std::string account = field[5];
    if (account == "CO") continue;  // creator owner: only ever inherited
    if (account == "OW") account = owner;  // owner rights: the owner's
    if ((Rights(field[2]) & rights) != 0 && !Trusted(account)) return Named(account);
  }
  return std::string();
}

}  // namespace app
