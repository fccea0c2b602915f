// Finds the hard drives, fills their slots of the DriveList and marks the
// drive that holds the Windows directory.
#pragma once

#include "drive/DriveList.h"

namespace drive {

constexpr int kVolumeNameLength = 256;

// Disks that the storage stack makes of something else: a VHD file on
// another disk, a Storage Spaces disk on a pool of others (STORAGE_BUS_TYPE).
constexpr uint32_t kBusTypeFileBackedVirtual = 15;
constexpr uint32_t kBusTypeSpaces = 16;

// Tries \\.\PhysicalDrive0 to 63; returns and stores driveCount.
int EnumerateHardDrives(DriveList& list);
bool IdentifyHardDrive(HardDriveInfo& drive);
void DetectSystemDrive(HardDriveInfo& drive);
// When Windows lies on a virtual disk, the physical disk beneath it is not
// known: standby is then refused on every disk.
void RefuseStandbyUnderVirtualWindowsDisk(DriveList& list);
bool ContainsVolumeName(const char (*names)[kVolumeNameLength], int count, const char* name);
// Keeps what a 512-byte IDENTIFY answer says of the two feature sets.
void StoreFeatureLevels(HardDriveInfo& drive, const uint8_t* identify);
// Names the drive by its model and takes its serial number and the support of
// both feature sets from a 512-byte IDENTIFY answer; the identity is known.
void TakeIdentity(HardDriveInfo& drive, const uint8_t* identify);

}  // namespace drive
