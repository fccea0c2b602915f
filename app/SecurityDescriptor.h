// Who, besides administrators and the system, may change a file or folder:
// judged from its security descriptor in the platform's text form (SDDL), as
// the system reports it. Plain text functions, tested natively.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// Access rights as the descriptor's entries grant them.
constexpr uint32_t kRightWriteData = 0x2;       // a file's data; a folder: add a file
constexpr uint32_t kRightAppendData = 0x4;      // a folder: add a subfolder
constexpr uint32_t kRightDeleteChild = 0x40;    // a folder: delete what is in it
constexpr uint32_t kRightDelete = 0x10000;      // delete or rename the object itself
constexpr uint32_t kRightWriteDac = 0x40000;    // change who may do what
constexpr uint32_t kRightWriteOwner = 0x80000;  // take it over
constexpr uint32_t kRightGenericAll = 0x10000000;
constexpr uint32_t kRightGenericWrite = 0x40000000;

// What lets someone put other code in place of the program: write or replace
// the file, add or replace files in its folder, or replace a folder above it.
constexpr uint32_t kReplacesFile =
    kRightWriteData | kRightAppendData | kRightDelete | kRightWriteDac | kRightWriteOwner |
    kRightGenericAll | kRightGenericWrite;
constexpr uint32_t kChangesFolder = kReplacesFile | kRightDeleteChild;
constexpr uint32_t kReplacesSubfolder = kRightDeleteChild | kRightDelete | kRightWriteDac |
                                        kRightWriteOwner | kRightGenericAll | kRightGenericWrite;

// The first account other than administrators, the system and the Windows
// installer that owns the object or is allowed any of `rights` on it, as the
// descriptor names it ("Users", "S-1-5-21-...", "everyone: no access control
// list"); empty when there is none. A descriptor that cannot be read is
// answered as one that anyone may change. Deny entries are not weighed: a
// place safe only because of one is still refused.
std::string WhoMayChange(const std::string& sddl, uint32_t rights);

}  // namespace app
