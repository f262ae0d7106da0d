// The .ico byte layout, read back field by field at the offsets the format defines.
#include "favorites/IcoFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

uint32_t U16At(const std::vector<uint8_t>& bytes, size_t offset) {
  return bytes.at(offset) | (bytes.at(offset + 1) << 8);
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
  return U16At(bytes, offset) | (U16At(bytes, offset + 2) << 16);
}

int32_t I32At(const std::vector<uint8_t>& bytes, size_t offset) { return static_cast<int32_t>(U32At(bytes, offset)); }

// Pixel bytes that differ from their neighbours, so a shifted copy shows.
std::vector<uint8_t> Pixels(int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(1 + i % 251);
  return pixels;
}

// What GDI reports for a screen-compatible bitmap: bottom-up, with a few extra fields set.
IconImageHeader Reported(int width, int height) {
  IconImageHeader header;
  header.biWidth = width;
  header.biHeight = height;
  header.biSizeImage = static_cast<uint32_t>(width * height * 4);
  header.biXPelsPerMeter = 3780;
  header.biYPelsPerMeter = 3779;
  return header;
}

IconImage Image(int side) { return MakeIconImage(Reported(side, side), Pixels(side, side)); }

TEST(IconImageBlock, SizesOfTheStandardAndEdgeSides) {
  struct Case {
    int side;
    size_t maskRow;
    size_t block;
  };
  const Case cases[] = {{128, 16, 67624}, {48, 8, 9640}, {32, 4, 4264}, {16, 4, 1128},
                        {1, 4, 48},       {33, 8, 40 + 33 * 33 * 4 + 33 * 8}, {256, 32, 40 + 256 * 256 * 4 + 256 * 32}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.side);
    EXPECT_EQ(IconMaskRowBytes(c.side), c.maskRow);
    EXPECT_EQ(IconImageBlockSize(c.side, c.side), c.block);
    EXPECT_EQ(Image(c.side).block.size(), c.block);
  }
}

TEST(IconImageBlock, HeaderIsThatOfA32BitIconImage) {
  IconImageHeader reported = Reported(48, 48);
  reported.biSize = 124;  // a larger header, as newer GDI versions may report
  reported.biBitCount = 24;
  reported.biCompression = 3;
  reported.biClrImportant = 7;
  const IconImage image = MakeIconImage(reported, Pixels(48, 48));
  ASSERT_TRUE(image.IsValid());
  EXPECT_EQ(image.width, 48);
  EXPECT_EQ(image.height, 48);
  EXPECT_EQ(image.bitCount, 32);
  const std::vector<uint8_t>& b = image.block;
  EXPECT_EQ(U32At(b, 0), 40u);
  EXPECT_EQ(I32At(b, 4), 48);
  EXPECT_EQ(I32At(b, 8), 96);  // colour rows and mask rows
  EXPECT_EQ(U16At(b, 12), 1u);
  EXPECT_EQ(U16At(b, 14), 32u);
  EXPECT_EQ(U32At(b, 16), 0u);
  EXPECT_EQ(U32At(b, 20), 48u * 48 * 4);  // as reported; the file writer clears it
  EXPECT_EQ(I32At(b, 24), 3780);
  EXPECT_EQ(I32At(b, 28), 3779);
  EXPECT_EQ(U32At(b, 32), 0u);
  EXPECT_EQ(U32At(b, 36), 7u);
}

TEST(IconImageBlock, TopDownHeightIsMadePositive) {
  const IconImage image = MakeIconImage(Reported(16, -16), Pixels(16, 16));
  ASSERT_TRUE(image.IsValid());
  EXPECT_EQ(image.height, 16);
  EXPECT_EQ(I32At(image.block, 8), 32);
}

TEST(IconImageBlock, PixelsFollowTheHeaderAndTheMaskIsAllZero) {
  const std::vector<uint8_t> pixels = Pixels(33, 20);  // mask rows of 8 bytes, 4 of them padding
  const IconImage image = MakeIconImage(Reported(33, 20), pixels);
  ASSERT_TRUE(image.IsValid());
  const auto pixelStart = image.block.begin() + kIconHeaderBytes;
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), pixelStart));
  const auto maskStart = pixelStart + static_cast<std::ptrdiff_t>(pixels.size());
  EXPECT_EQ(image.block.end() - maskStart, 20 * 8);
  EXPECT_TRUE(std::all_of(maskStart, image.block.end(), [](uint8_t byte) { return byte == 0; }));
}

TEST(IconImageBlock, RefusesSidesOutsideTheFormatAndPixelsOfTheWrongLength) {
  EXPECT_FALSE(MakeIconImage(Reported(0, 16), {}).IsValid());
  EXPECT_FALSE(MakeIconImage(Reported(16, 0), {}).IsValid());
  EXPECT_FALSE(MakeIconImage(Reported(-16, 16), Pixels(16, 16)).IsValid());
  EXPECT_FALSE(MakeIconImage(Reported(257, 1), Pixels(257, 1)).IsValid());
  EXPECT_FALSE(MakeIconImage(Reported(1, 257), Pixels(1, 257)).IsValid());
  std::vector<uint8_t> pixels = Pixels(16, 16);
  pixels.pop_back();
  EXPECT_FALSE(MakeIconImage(Reported(16, 16), pixels).IsValid());
  pixels.push_back(0);
  pixels.push_back(0);
  EXPECT_FALSE(MakeIconImage(Reported(16, 16), pixels).IsValid());
  EXPECT_TRUE(MakeIconImage(Reported(256, 256), Pixels(256, 256)).IsValid());
}

TEST(IcoFileLayout, FourStandardSizesInListOrder) {
  const std::vector<IconImage> images = {Image(128), Image(48), Image(32), Image(16)};
  const std::vector<uint8_t> file = IcoFileBytes(images);
  ASSERT_EQ(file.size(), 82726u);
  EXPECT_EQ(U16At(file, 0), 0u);
  EXPECT_EQ(U16At(file, 2), 1u);
  EXPECT_EQ(U16At(file, 4), 4u);

  const int sides[] = {128, 48, 32, 16};
  const uint32_t sizes[] = {67624, 9640, 4264, 1128};
  uint32_t expectedOffset = 70;
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(sides[i]);
    const size_t entry = 6 + 16 * static_cast<size_t>(i);
    EXPECT_EQ(file[entry], sides[i]);
    EXPECT_EQ(file[entry + 1], sides[i]);
    EXPECT_EQ(file[entry + 2], 0);
    EXPECT_EQ(file[entry + 3], 0);
    EXPECT_EQ(U16At(file, entry + 4), 1u);
    EXPECT_EQ(U16At(file, entry + 6), 32u);
    EXPECT_EQ(U32At(file, entry + 8), sizes[i]);
    EXPECT_EQ(U32At(file, entry + 12), expectedOffset);
    EXPECT_EQ(I32At(file, expectedOffset + 4), sides[i]);  // the block really starts there
    EXPECT_EQ(I32At(file, expectedOffset + 8), 2 * sides[i]);
    expectedOffset += sizes[i];
  }
  EXPECT_EQ(expectedOffset, file.size());
}

TEST(IcoFileLayout, BlocksAreCopiedWithTheirImageSizeCleared) {
  const std::vector<IconImage> images = {Image(32), Image(16)};
  const std::vector<uint8_t> file = IcoFileBytes(images);
  size_t offset = 6 + 2 * 16;
  for (const IconImage& image : images) {
    ASSERT_NE(U32At(image.block, 20), 0u);
    std::vector<uint8_t> expected = image.block;
    expected[20] = expected[21] = expected[22] = expected[23] = 0;
    ASSERT_LE(offset + expected.size(), file.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + static_cast<std::ptrdiff_t>(offset)));
    offset += expected.size();
  }
}

TEST(IcoFileLayout, SideOf256IsWrittenAsZeroAndOblongSidesApart) {
  const IconImage oblong = MakeIconImage(Reported(16, 24), Pixels(16, 24));
  const std::vector<uint8_t> file = IcoFileBytes({Image(256), oblong});
  ASSERT_EQ(file.size(), 6 + 2 * 16 + IconImageBlockSize(256, 256) + IconImageBlockSize(16, 24));
  EXPECT_EQ(file[6], 0);
  EXPECT_EQ(file[7], 0);
  EXPECT_EQ(file[22], 16);
  EXPECT_EQ(file[23], 24);
  EXPECT_EQ(U32At(file, 22 + 8), IconImageBlockSize(16, 24));
}

TEST(IcoFileLayout, NoImageOrABadImageGivesNoFile) {
  EXPECT_TRUE(IcoFileBytes({}).empty());
  EXPECT_TRUE(IcoFileBytes({Image(16), IconImage()}).empty());
  IconImage truncated = Image(16);
  truncated.block.pop_back();
  EXPECT_TRUE(IcoFileBytes({truncated}).empty());
  IconImage relabelled = Image(16);
  relabelled.width = 32;  // the block no longer matches its side
  EXPECT_TRUE(IcoFileBytes({relabelled}).empty());
}

}  // namespace
