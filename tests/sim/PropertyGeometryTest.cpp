// IOCTL_STORAGE_QUERY_PROPERTY and IOCTL_DISK_GET_DRIVE_GEOMETRY answers.
#include "BaySupport.h"

namespace {

class PropertyGeometry : public simtest::BayTest {
 protected:
  // The descriptor answer in a buffer of `size` bytes (filled with EEh first).
  BOOL Query(HANDLE disk, DWORD size, std::vector<uint8_t>* answer, DWORD* returned) {
    STORAGE_PROPERTY_QUERY query;
    std::memset(&query, 0, sizeof query);
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    answer->assign(size, 0xEE);
    return platform::DeviceIoControl(disk, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                                     answer->data(), size, returned);
  }
  static uint32_t Dword(const std::vector<uint8_t>& a, size_t at) {
    return a[at] | (a[at + 1] << 8) | (a[at + 2] << 16) | (uint32_t{a[at + 3]} << 24);
  }
};

TEST_F(PropertyGeometry, DescriptorHoldsVendorAndProductAfterTheFixedPart) {
  Load(
      "[disk 0]\nproperty_vendor = Generic-\nproperty_product = \"SD/MMC  \"\nremovable = yes\n"
      "bus_type = usb\n");
  std::vector<uint8_t> a;
  DWORD returned = 0;
  ASSERT_TRUE(Query(Open("\\\\.\\PhysicalDrive0"), 1000, &a, &returned));
  const uint32_t fixed = sizeof(STORAGE_DEVICE_DESCRIPTOR);
  EXPECT_EQ(returned, fixed + 9 + 9);
  EXPECT_EQ(Dword(a, 0), fixed);       // Version
  EXPECT_EQ(Dword(a, 4), returned);    // Size
  EXPECT_EQ(a[10], 1);                 // RemovableMedia
  EXPECT_EQ(Dword(a, 12), fixed);      // VendorIdOffset
  EXPECT_EQ(Dword(a, 16), fixed + 9);  // ProductIdOffset
  EXPECT_EQ(Dword(a, 20), 0u);         // no revision
  EXPECT_EQ(Dword(a, 28), 7u);         // BusTypeUsb
  EXPECT_STREQ(reinterpret_cast<const char*>(&a[fixed]), "Generic-");
  EXPECT_STREQ(reinterpret_cast<const char*>(&a[fixed + 9]), "SD/MMC  ");
  EXPECT_EQ(a[returned], 0xEE);
}

TEST_F(PropertyGeometry, ShortBufferGetsTheBeginningAndTheFullSize) {
  Load("[disk 0]\nproperty_vendor = none\nproperty_product = TV500GB0001\n");
  std::vector<uint8_t> a;
  DWORD returned = 0;
  ASSERT_TRUE(Query(Open("\\\\.\\PhysicalDrive0"), 20, &a, &returned));
  EXPECT_EQ(returned, 20u);
  EXPECT_EQ(Dword(a, 4), sizeof(STORAGE_DEVICE_DESCRIPTOR) + 12);  // Size tells the whole
  EXPECT_EQ(Dword(a, 12), 0u);                                     // absent vendor
  EXPECT_EQ(Dword(a, 16), sizeof(STORAGE_DEVICE_DESCRIPTOR));
  EXPECT_FALSE(Query(Open("\\\\.\\PhysicalDrive0"), 4, &a, &returned));
}

TEST_F(PropertyGeometry, RawOverridesForRobustness) {
  Load(
      "[disk 0]\nproperty_vendor = ABC\nproperty_product = XYZ\nproperty_vendor_offset = 9999\n"
      "property_unterminated = yes\n");
  std::vector<uint8_t> a;
  DWORD returned = 0;
  ASSERT_TRUE(Query(Open("\\\\.\\PhysicalDrive0"), 1000, &a, &returned));
  const uint32_t fixed = sizeof(STORAGE_DEVICE_DESCRIPTOR);
  EXPECT_EQ(Dword(a, 12), 9999u);
  EXPECT_EQ(Dword(a, 16), fixed + 4);
  EXPECT_EQ(returned, fixed + 4 + 3);  // "XYZ" without its zero ends the answer
  EXPECT_EQ(std::string(a.begin() + fixed + 4, a.begin() + returned), "XYZ");
  EXPECT_EQ(a[returned], 0xEE);
}

TEST_F(PropertyGeometry, GeometryRecord) {
  Load(
      "[disk 0]\nlast_lba = 976773167\n[disk 1]\ncylinders = 100\ntracks_per_cylinder = 16\n"
      "sectors_per_track = 32\nbytes_per_sector = 4096\nremovable = yes\n[disk 2]\ngeometry = "
      "fail\n");
  for (int n : {0, 1}) {
    std::vector<uint8_t> g(32, 0xEE);
    DWORD returned = 0;
    ASSERT_TRUE(platform::DeviceIoControl(Open("\\\\.\\PhysicalDrive" + std::to_string(n)),
                                          IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, g.data(), 24,
                                          &returned));
    EXPECT_EQ(returned, 24u);
    EXPECT_EQ(Dword(g, 0), n == 0 ? 60801u : 100u);  // Cylinders, low part
    EXPECT_EQ(Dword(g, 4), 0u);
    EXPECT_EQ(Dword(g, 8), n == 0 ? 12u : 11u);  // FixedMedia / RemovableMedia
    EXPECT_EQ(Dword(g, 12), n == 0 ? 255u : 16u);
    EXPECT_EQ(Dword(g, 16), n == 0 ? 63u : 32u);
    EXPECT_EQ(Dword(g, 20), n == 0 ? 512u : 4096u);
    EXPECT_EQ(g[24], 0xEE);
  }
  uint8_t g[24];
  DWORD returned;
  EXPECT_FALSE(platform::DeviceIoControl(
      Open("\\\\.\\PhysicalDrive2"), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, g, 24, &returned));
  EXPECT_FALSE(platform::DeviceIoControl(
      Open("\\\\.\\PhysicalDrive0"), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, g, 23, &returned));
}

TEST_F(PropertyGeometry, PropertyCanFail) {
  Load("[disk 0]\nproperty = fail\n");
  std::vector<uint8_t> a;
  DWORD returned = 0;
  EXPECT_FALSE(Query(Open("\\\\.\\PhysicalDrive0"), 1000, &a, &returned));
  EXPECT_EQ(a[0], 0xEE);
}

}  // namespace
