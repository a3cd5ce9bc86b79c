#include "model/image.h"

#include <gtest/gtest.h>

namespace velmor {

TEST(ParameterImage, WordsAreLittleEndianAtTheirParameterOffset) {
  ParameterImage img;
  img.SetWord(600, 0x1234);
  EXPECT_EQ(img.P(600), 0x34);
  EXPECT_EQ(img.P(601), 0x12);
  EXPECT_EQ(img.Bytes[750], 0x34);  // P+n is image byte 150 + n
  EXPECT_EQ(img.Word(600), 0x1234);
}

TEST(ParameterImage, CellsAndBlocksAreAddressedAsTheUnitLaysThemOut) {
  EXPECT_EQ(kAdvanceMap + MapCell(6, 3), 543);         // TPS 40 %, column 3
  EXPECT_EQ(kInj2Map + 2 * MapCell(9, 14), 1198);      // last word of map 2
  EXPECT_EQ(BlockOfParam(0), 1);
  EXPECT_EQ(BlockOfParam(149), 1);
  EXPECT_EQ(BlockOfParam(150), 2);
  EXPECT_EQ(BlockOfParam(1349), 9);

  ParameterImage img;
  img.P(150) = 7;
  EXPECT_EQ(img.Block(2)[0], 7);
  img.I(10) = 78;
  EXPECT_EQ(img.Block(0)[10], 78);
  EXPECT_EQ(img.ParamArea()[150], 7);
}

}  // namespace velmor
