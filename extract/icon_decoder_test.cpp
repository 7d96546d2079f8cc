#include "extract/icon_decoder.h"

#include <gtest/gtest.h>

#include "imaging/png_codec.h"
#include "platform/byte_reader.h"
#include "tests/support/module_builder.h"

namespace glyphwell::extract {
namespace {

using testsupport::BuildIcoFile;
using testsupport::Bytes;
using testsupport::MakeIconDib;
using testsupport::MakePatternBitmap;
using testsupport::MakePngImage;

bool PngReaderAvailable() {
  imaging::Bitmap out;
  return imaging::ReadPngMemory(MakePngImage(2, 2), out);
}

// Decodes `data` as an RT_ICON resource placed at offset 8 of a larger file image.
bool DecodeResource(const Bytes& data, ImageFacts& facts, imaging::Picture* picture) {
  Bytes image(data.size() + 16, 0xEE);
  std::copy(data.begin(), data.end(), image.begin() + 8);
  facts = ImageFacts{};
  facts.valid = true;
  return DecodeIconImage(image, picture == nullptr, picture, static_cast<std::int64_t>(data.size()),
                         8, facts);
}

TEST(DecodeIconImage, ColourTableSizeFollowsTheBitCount) {
  struct Case {
    int bits;
    std::size_t table;
  };
  for (Case c : {Case{1, 8}, Case{4, 64}, Case{8, 1024}, Case{24, 0}, Case{32, 0}}) {
    imaging::Bitmap reference = MakePatternBitmap(16, 16, c.bits, 3);
    Bytes dib = testsupport::MakeIconDib(reference, true);
    ImageFacts facts;
    imaging::Picture picture;
    ASSERT_TRUE(DecodeResource(dib, facts, &picture)) << c.bits;
    ASSERT_TRUE(picture.icon);
    const auto& stream = picture.icon->stream();
    platform::ByteReader r(stream);
    std::size_t xorBytes = imaging::RowBytes(16, c.bits) * 16;
    EXPECT_EQ(*r.u32le(6 + 8), 40 + c.table + xorBytes + 4 * 16) << c.bits;
    EXPECT_EQ(*r.u32le(6 + 12), 22u);
    EXPECT_EQ(stream.size(), 22 + 40 + c.table + xorBytes + 4 * 16) << c.bits;
    // The pixels come back as written.
    for (int y = 0; y < 16; y += 5)
      for (int x = 0; x < 16; x += 3)
        EXPECT_EQ(picture.icon->colour().pixelColour(x, y), reference.pixelColour(x, y));
    // The left half was written transparent.
    EXPECT_EQ(picture.icon->mask().pixelColour(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(picture.icon->mask().pixelColour(15, 15) & 0xFFFFFF, 0u);
    EXPECT_EQ(facts.label, ImageFacts::MakeLabel(16, 16, c.bits));
    EXPECT_FALSE(facts.png);
  }
}

TEST(DecodeIconImage, RejectsWhatAnIconImageCannotBe) {
  auto patched = [](int width, int height, std::uint16_t bits, std::uint32_t compression,
                    std::uint16_t planes = 1) {
    Bytes dib = MakeIconDib(16, 16, 8);
    platform::PutU32le(dib.data() + 4, static_cast<std::uint32_t>(width));
    platform::PutU32le(dib.data() + 8, static_cast<std::uint32_t>(height * 2));
    platform::PutU16le(dib.data() + 12, planes);
    platform::PutU16le(dib.data() + 14, bits);
    platform::PutU32le(dib.data() + 16, compression);
    platform::PutU32le(dib.data() + 20, 0);
    return dib;
  };
  ImageFacts facts;
  EXPECT_TRUE(DecodeResource(patched(16, 16, 8, 0), facts, nullptr));
  EXPECT_TRUE(DecodeResource(patched(256, 256, 8, 0), facts, nullptr));
  EXPECT_FALSE(DecodeResource(patched(257, 16, 8, 0), facts, nullptr));
  EXPECT_EQ(facts.width, 257);  // facts are recorded before the size check
  EXPECT_FALSE(facts.valid);
  EXPECT_FALSE(DecodeResource(patched(16, 16, 8, 3), facts, nullptr));
  EXPECT_FALSE(DecodeResource(patched(16, 16, 8, 0, 2), facts, nullptr));
  EXPECT_FALSE(DecodeResource(patched(0, 16, 8, 0), facts, nullptr));
  EXPECT_FALSE(DecodeResource(patched(16, 0, 8, 0), facts, nullptr));
  EXPECT_FALSE(DecodeResource(patched(16, 16, 33, 0), facts, nullptr));
  EXPECT_FALSE(DecodeResource(Bytes(39, 0), facts, nullptr));
}

TEST(DecodeIconImage, DataOutsideTheFileIsInvalid) {
  Bytes image = MakeIconDib(16, 16, 4);
  ImageFacts facts;
  EXPECT_TRUE(
      DecodeIconImage(image, true, nullptr, static_cast<std::int64_t>(image.size()), 0, facts));
  EXPECT_FALSE(
      DecodeIconImage(image, true, nullptr, static_cast<std::int64_t>(image.size()), 1, facts));
  EXPECT_FALSE(DecodeIconImage(image, true, nullptr, 100, -1, facts));
  EXPECT_FALSE(DecodeIconImage(image, true, nullptr, 100, 1ll << 40, facts));
}

TEST(DecodeIconImage, ShortPixelDataIsTakenAsZero) {
  Bytes dib = MakeIconDib(32, 32, 24);
  dib.resize(40 + 100);  // most of the pixels and the whole mask are missing
  platform::PutU32le(dib.data() + 20, 0);
  ImageFacts facts;
  imaging::Picture picture;
  ASSERT_TRUE(DecodeResource(dib, facts, &picture));
  EXPECT_EQ(picture.icon->colour().pixelColour(31, 0), imaging::kBlack);
  EXPECT_EQ(picture.icon->mask().pixelColour(31, 0) & 0xFFFFFF, 0u);
}

TEST(DecodePngIconImage, LargePngImageWithAndWithoutTransparency) {
  if (!PngReaderAvailable()) GTEST_SKIP() << "PNG reader not available";
  ImageFacts facts;
  imaging::Picture picture;
  ASSERT_TRUE(DecodeResource(MakePngImage(256, 256, 5), facts, &picture));
  EXPECT_EQ(facts.label,
            "\n256\xC3\x97"
            "256\n32bit");
  EXPECT_TRUE(facts.png);
  ASSERT_TRUE(picture.icon);
  EXPECT_EQ(picture.icon->width(), 256);
  // The transparent quarter of the pattern is masked, the rest opaque.
  EXPECT_EQ(picture.icon->mask().pixelColour(10, 10) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(picture.icon->mask().pixelColour(200, 200) & 0xFFFFFF, 0u);
  platform::ByteReader r(picture.icon->stream());
  EXPECT_EQ(*r.u8(6), 0);            // 256 is written as 0
  EXPECT_EQ(*r.i32le(22 + 8), 512);  // doubled height

  ASSERT_TRUE(DecodeResource(MakePngImage(48, 48, 5, true), facts, &picture));
  // Without any transparent pixel the mask is all zero: fully opaque.
  const auto& stream = picture.icon->stream();
  std::size_t maskBytes = 8 * 48;
  for (std::size_t i = stream.size() - maskBytes; i < stream.size(); ++i)
    ASSERT_EQ(stream[i], 0) << i;
}

TEST(DecodePngIconImage, UndecodablePngIsRejected) {
  Bytes broken{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  broken.resize(60, 0x5A);
  ImageFacts facts;
  EXPECT_FALSE(DecodeResource(broken, facts, nullptr));
  EXPECT_FALSE(facts.valid);
}

TEST(ReadIconFileEntry, ListsEveryEntryWhateverItsHeaderSays) {
  Bytes bogus(60, 0x41);  // not a usable DIB
  Bytes ico = BuildIcoFile({MakeIconDib(16, 16, 4), bogus, MakeIconDib(48, 48, 32)});
  ImageFacts facts;
  EXPECT_EQ(ReadIconFileEntry(ico, ExtractionMode::kIcon, false, 0, nullptr, facts), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ReadIconFileEntry(ico, ExtractionMode::kIcon, true, i, nullptr, facts), 3);
    EXPECT_TRUE(facts.valid) << i;
  }
  EXPECT_EQ(facts.label,
            "\n48\xC3\x97"
            "48\n32bit");
  imaging::Picture picture;
  ReadIconFileEntry(ico, ExtractionMode::kIcon, false, 1, &picture, facts);
  EXPECT_FALSE(facts.valid);  // listed, but it cannot be drawn
  ReadIconFileEntry(ico, ExtractionMode::kIcon, false, 2, &picture, facts);
  EXPECT_TRUE(facts.valid);
  ASSERT_TRUE(picture.icon);
  EXPECT_EQ(IconFacts(&*picture.icon).width, 48);
  EXPECT_EQ(IconFacts(&*picture.icon).bitCount, 32);
  EXPECT_EQ(IconFacts(nullptr).width, 0);
}

TEST(ReadIconFileEntry, BmpModeAndDamagedFiles) {
  Bytes ico = BuildIcoFile({MakeIconDib(16, 16, 4), MakeIconDib(32, 32, 8)});
  ImageFacts facts;
  EXPECT_EQ(ReadIconFileEntry(ico, ExtractionMode::kBmp, false, 0, nullptr, facts), 0);
  EXPECT_EQ(ReadIconFileEntry(Bytes{0, 0, 1}, ExtractionMode::kIcon, false, 0, nullptr, facts), 0);
  // An entry whose data starts past the end is invalid; the other is fine.
  Bytes beyond = ico;
  platform::PutU32le(beyond.data() + 6 + 12, 1u << 30);
  EXPECT_EQ(ReadIconFileEntry(beyond, ExtractionMode::kIcon, true, 0, nullptr, facts), 2);
  EXPECT_FALSE(facts.valid);
  ReadIconFileEntry(beyond, ExtractionMode::kIcon, true, 1, nullptr, facts);
  EXPECT_TRUE(facts.valid);
  // A directory claiming more entries than the file holds.
  Bytes many = ico;
  platform::PutU16le(many.data() + 4, 500);
  EXPECT_EQ(ReadIconFileEntry(many, ExtractionMode::kIcon, true, 400, nullptr, facts), 500);
  EXPECT_FALSE(facts.valid);
  // The last image cut short is still shown, its missing bytes as zero.
  Bytes cut(ico.begin(), ico.end() - 50);
  imaging::Picture picture;
  ReadIconFileEntry(cut, ExtractionMode::kIcon, false, 1, &picture, facts);
  EXPECT_TRUE(facts.valid);
}

TEST(IconImage, DrawsMaskThenColourAndBlendsAlpha) {
  // 4x4 24-bit icon: red, left half transparent.
  imaging::Bitmap red(4, 4, 24);
  red.fill(imaging::MakeColour(255, 0, 0));
  Bytes stream = BuildIcoFile({MakeIconDib(red, true)});
  auto icon = imaging::IconImage::FromStream(stream);
  ASSERT_TRUE(icon);
  imaging::Bitmap dest(6, 6, 24);
  dest.fill(imaging::MakeColour(0, 0, 255));
  icon->Draw(dest, 1, 1);
  EXPECT_EQ(dest.pixelColour(1, 1), imaging::MakeColour(255, 0, 255));  // XOR onto the background
  EXPECT_EQ(dest.pixelColour(4, 4), imaging::MakeColour(255, 0, 0));
  EXPECT_EQ(dest.pixelColour(0, 0), imaging::MakeColour(0, 0, 255));

  imaging::Bitmap half(2, 1, 32);
  half.setRawPixel(0, 0, imaging::MakeColour(255, 255, 255) | (128u << 24));
  half.setRawPixel(1, 0, imaging::MakeColour(255, 255, 255) | (0u << 24));
  auto blended = imaging::IconImage::FromStream(BuildIcoFile({MakeIconDib(half, false)}));
  ASSERT_TRUE(blended);
  imaging::Bitmap black(2, 1, 32);
  black.fill(imaging::kBlack);
  blended->Draw(black, 0, 0);
  EXPECT_EQ(black.pixelColour(0, 0), imaging::MakeColour(128, 128, 128));
  EXPECT_EQ(black.pixelColour(1, 0), imaging::kBlack);
  // Clipped drawing and stretching never leave the destination.
  icon->DrawStretched(dest, 4, -2, 10, 10);
  EXPECT_FALSE(imaging::IconImage::FromStream(Bytes{0, 0, 1, 0, 1, 0}));
}

}  // namespace
}  // namespace glyphwell::extract
