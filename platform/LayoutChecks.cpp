// The drive layer builds its exchanges from the platform's own records; these
// checks pin the sizes and control codes it relies on, for both word sizes.
#include <cstddef>

#include "platform/PlatformTypes.h"

static_assert(sizeof(DWORD) == 4 && sizeof(ULONG) == 4, "DWORD and ULONG are 32 bits");
static_assert(sizeof(IDEREGS) == 8, "IDEREGS");
static_assert(offsetof(SENDCMDINPARAMS, bBuffer) == 32, "SENDCMDINPARAMS head");
static_assert(offsetof(SENDCMDOUTPARAMS, bBuffer) == 16, "SENDCMDOUTPARAMS head");
static_assert(sizeof(DISK_GEOMETRY) == 24, "DISK_GEOMETRY");
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12, "STORAGE_PROPERTY_QUERY");
static_assert(sizeof(DISK_EXTENT) == 24, "DISK_EXTENT");
static_assert(offsetof(VOLUME_DISK_EXTENTS, Extents) == 8, "VOLUME_DISK_EXTENTS head");
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset) == 12, "descriptor offsets");
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) == 16, "descriptor offsets");

constexpr bool kIs32Bit = sizeof(void*) == 4;
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == (kIs32Bit ? 44 : 56), "SCSI_PASS_THROUGH_DIRECT");
static_assert(sizeof(ATA_PASS_THROUGH_EX) == (kIs32Bit ? 40 : 48), "ATA_PASS_THROUGH_EX");

static_assert(IOCTL_SCSI_PASS_THROUGH_DIRECT == 0x4D014, "control code");
static_assert(IOCTL_ATA_PASS_THROUGH == 0x4D02C, "control code");
static_assert(SMART_SEND_DRIVE_COMMAND == 0x7C084, "control code");
static_assert(SMART_RCV_DRIVE_DATA == 0x7C088, "control code");
static_assert(IOCTL_STORAGE_QUERY_PROPERTY == 0x2D1400, "control code");
static_assert(IOCTL_DISK_GET_DRIVE_GEOMETRY == 0x70000, "control code");
static_assert(IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS == 0x560000, "control code");
static_assert(SCSI_IOCTL_DATA_OUT == 0 && SCSI_IOCTL_DATA_IN == 1, "directions");
static_assert(ATA_FLAGS_DRDY_REQUIRED == 1 && ATA_FLAGS_DATA_IN == 2 && ATA_FLAGS_DATA_OUT == 4,
              "ATA flags");
