// Who may change the program's file or folders, read from descriptors as
// Windows writes them.
#include <gtest/gtest.h>

#include "app/SecurityDescriptor.h"

namespace {

TEST(SecurityDescriptor, OnlyAdministratorsAndTheSystemMayChangeWhatTheTaskRuns) {
  const char* const kUser = "S-1-5-21-1004336348-1177238915-682003330-1001";
  struct Case {
    std::string sddl;
    uint32_t rights;
    std::string who;  // "" for nobody else
  };
  const Case cases[] = {
      // C:\Program Files\Torvane, made by an administrator: inherited entries.
      {"O:BAD:AI(A;ID;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
       "(A;OICIIOID;GA;;;CO)(A;OICIID;FA;;;SY)(A;OICIID;0x1301bf;;;BA)(A;OICIID;0x1200a9;;;BU)",
       app::kChangesFolder, ""},
      // A folder of the user's own, and one anyone may change.
      {std::string("O:") + kUser + "D:(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;OICIID;FA;;;" + kUser +
           ")",
       app::kChangesFolder, kUser},
      {"O:BAD:(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;" + std::string(kUser) + ")", app::kReplacesFile,
       kUser},
      {"O:SYD:(A;OICI;0x1301bf;;;AU)", app::kChangesFolder, "Authenticated Users"},
      {"O:SYD:(A;;0x2;;;BU)", app::kReplacesFile, "Users"},  // write data alone
      {"O:SYD:(A;;SD;;;WD)", app::kReplacesFile, "Everyone"},  // delete, then put another
      {"O:SYD:(A;;WDRC;;;IU)", app::kReplacesFile, "Interactive users"},  // change the list
      {"O:SYD:NO_ACCESS_CONTROL", app::kReplacesFile, "Everyone: no access control list"},
      {"O:SY", app::kReplacesFile, "anyone: no access control list"},
      {"D:(A;;FA;;;SY)", app::kReplacesFile, "anyone: the owner cannot be read"},
      // The drive's root: users may add folders there, not replace any.
      {"O:SYD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;;0x4;;;AU)"
       "(A;OICIIO;SDGXGWGR;;;AU)",
       app::kReplacesSubfolder, ""},
      // Entries that grant nothing to write, only to what is made inside, or
      // in codes no one knows (which may mean anything).
      {"O:BAD:(A;;FR;;;BU)(A;;FX;;;AU)(A;CIOI;0x1200a9;;;WD)", app::kReplacesFile, ""},
      {"O:BAD:(A;OICIIO;FA;;;BU)", app::kChangesFolder, ""},
      {"O:BAD:(A;;ZZ;;;BU)", app::kReplacesFile, "Users"},
      // Owner rights are the owner's; a deny entry is not weighed.
      {"O:BAD:(A;;FA;;;OW)(D;;FA;;;BU)(A;;FW;;;BU)", app::kReplacesFile, "Users"},
      {"O:BAD:(A;;FA;;;OW)", app::kReplacesFile, ""},
      {"O:BAD:(A;;FA;;;SY", app::kReplacesFile, "anyone: a damaged access control list"},
  };
  for (const Case& c : cases) EXPECT_EQ(app::WhoMayChange(c.sddl, c.rights), c.who) << c.sddl;
}

}  // namespace
