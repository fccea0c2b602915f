// IDENTIFY DEVICE data as the bay's drives send it: text packing and padding,
// the feature words, the capacity words and the integrity word.
#include "BaySupport.h"

namespace {

using simtest::Word;

class Identify : public simtest::BayTest {
 protected:
  std::vector<uint8_t> Read(const std::string& diskKeys) {
    Load("[disk 0]\nata_paths = ata_pass_through\n" + diskKeys);
    simtest::AtaResult r =
        simtest::SendAta(Open("\\\\.\\PhysicalDrive0"), simtest::kIdentify, 512, ATA_FLAGS_DATA_IN);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.transferred, 512u);
    return r.data;
  }
};

TEST_F(Identify, TextIsTwoCharactersAWordHighByteFirstBlankPadded) {
  std::vector<uint8_t> id =
      Read("model = ACME AD5000AKS\nserial = AX-WCAPW1234567\nfirmware = 01.03B01\n");
  // Model words 27-46: "AC" in word 27 is 4143h, stored little-endian.
  EXPECT_EQ(id[54], 'C');
  EXPECT_EQ(id[55], 'A');
  EXPECT_EQ(simtest::AtaText(id, 27, 20), "ACME AD5000AKS                          ");
  EXPECT_EQ(simtest::AtaText(id, 10, 10), "AX-WCAPW1234567     ");
  EXPECT_EQ(simtest::AtaText(id, 23, 4), "01.03B01");
  EXPECT_EQ(Word(id, 46), 0x2020);
}

TEST_F(Identify, SerialKeepsLeadingBlanks) {
  std::vector<uint8_t> id = Read("serial = \"    S012345678ABCDEF\"\n");
  EXPECT_EQ(simtest::AtaText(id, 10, 10), "    S012345678ABCDEF");
  EXPECT_EQ(Word(id, 10), 0x2020);
  EXPECT_EQ(Word(id, 12), 0x5330);  // "S0"
}

TEST_F(Identify, IntegrityWordMakesTheSectorSumZero) {
  for (const char* model : {"A", "ACMEDISK AD501L", "Z"}) {
    std::vector<uint8_t> id = Read(std::string("model = ") + model + "\napm = 128\n");
    EXPECT_EQ(id[510], 0xA5);
    unsigned sum = 0;
    for (uint8_t byte : id) sum += byte;
    EXPECT_EQ(sum % 256, 0u) << model;
  }
}

TEST_F(Identify, CapacityWords) {
  std::vector<uint8_t> id = Read("last_lba = 5860533167\n");   // 3 TB
  EXPECT_EQ(Word(id, 60) | (Word(id, 61) << 16), 0x0FFFFFFF);  // 28-bit field saturates
  const uint64_t sectors = Word(id, 100) | (uint64_t{Word(id, 101)} << 16) |
                           (uint64_t{Word(id, 102)} << 32) | (uint64_t{Word(id, 103)} << 48);
  EXPECT_EQ(sectors, 5860533168u);
  EXPECT_EQ(Word(id, 0) & 0x8000, 0);   // an ATA device
  EXPECT_NE(Word(id, 49) & 0x0200, 0);  // LBA supported
}

struct FeatureWords {
  const char* keys;
  uint16_t word83, word86, word91, word94;
};

class IdentifyFeatures : public Identify, public ::testing::WithParamInterface<FeatureWords> {};

TEST_P(IdentifyFeatures, Words83To94) {
  std::vector<uint8_t> id = Read(GetParam().keys);
  EXPECT_EQ(Word(id, 83), GetParam().word83);
  EXPECT_EQ(Word(id, 86), GetParam().word86);
  EXPECT_EQ(Word(id, 91), GetParam().word91);
  EXPECT_EQ(Word(id, 94), GetParam().word94);
}

INSTANTIATE_TEST_SUITE_P(
    Bay, IdentifyFeatures,
    ::testing::Values(FeatureWords{"", 0x7400, 0x3400, 0, 0},
                      FeatureWords{"apm = 128\n", 0x7408, 0x3408, 128, 0},
                      FeatureWords{"apm = disabled\n", 0x7408, 0x3400, 0, 0},
                      FeatureWords{"aam = 128\naam_recommended = 254\n", 0x7600, 0x3600, 0, 0xFE80},
                      FeatureWords{"aam = disabled\naam_recommended = 128\n", 0x7600, 0x3400, 0,
                                   0x8000},
                      FeatureWords{"apm = 1\naam = 254\n", 0x7608, 0x3608, 1, 0xFEFE}));

}  // namespace
