// make_samples: writes the bundled sample files, the fuzz seed corpora and module
// sets for the benchmarks, all through the fixture writer.
//
//   make_samples samples DIR         sample.dll and sample.ico
//   make_samples fuzz-seeds DIR      DIR/{pe,ne,ico,dib}/ small seed inputs
//   make_samples bench DIR COUNT     COUNT modules of 16 icon images each (and an .icl)
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/byte_reader.h"
#include "tests/support/fixture_files.h"
#include "tests/support/module_builder.h"

namespace {

using namespace glyphwell;
using testsupport::Bytes;
using testsupport::ModuleBuilder;
using testsupport::ResName;
using testsupport::WriteBytesFile;

// A badge: a filled disc in `colour` with a darker ring and a light highlight,
// transparent outside; 32-bit images get a soft edge.
imaging::Bitmap Badge(int size, int bits, imaging::ColourValue colour, int shape) {
  imaging::Bitmap image(size, size, bits);
  double c = (size - 1) / 2.0, r = size / 2.0 - 0.5;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double dx = x - c, dy = y - c;
      double d = shape == 1 ? std::max(std::fabs(dx), std::fabs(dy)) : std::sqrt(dx * dx + dy * dy);
      double edge = r - d;
      int red = imaging::RedOf(colour), green = imaging::GreenOf(colour),
          blue = imaging::BlueOf(colour);
      if (edge < size / 10.0) {
        red /= 2;
        green /= 2;
        blue /= 2;
      } else if (dx < 0 && dy < 0 && d < r / 2) {
        red = (red + 255) / 2;
        green = (green + 255) / 2;
        blue = (blue + 255) / 2;
      }
      imaging::ColourValue px = imaging::MakeColour(red, green, blue);
      if (bits == 32) {
        int alpha = edge >= 1 ? 255 : edge <= 0 ? 0 : static_cast<int>(edge * 255);
        image.setRawPixel(x, y, px | (static_cast<std::uint32_t>(alpha) << 24));
      } else {
        image.setPixelColour(x, y, edge > 0 ? px : imaging::kBlack);
      }
    }
  }
  return image;
}

// An icon image whose AND mask marks the outside of the badge transparent.
Bytes BadgeIcon(int size, int bits, imaging::ColourValue colour, int shape = 0) {
  imaging::Bitmap image = Badge(size, bits, colour, shape);
  Bytes dib = testsupport::MakeIconDib(image, false);
  std::size_t maskRow = ((static_cast<std::size_t>(size) + 31) / 32) * 4;
  std::size_t maskAt = dib.size() - maskRow * size;
  imaging::Bitmap shapeRef = Badge(size, 32, colour, shape);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (shapeRef.pixelAlpha(x, y) < 128)
        dib[maskAt + maskRow * (size - 1 - y) + x / 8] |=
            static_cast<std::uint8_t>(0x80 >> (x % 8));
  return dib;
}

Bytes BadgePng(int size, imaging::ColourValue colour) {
  return testsupport::MakePng(Badge(size, 32, colour, 0));
}

void Samples(const std::filesystem::path& dir) {
  const imaging::ColourValue blue = imaging::MakeColour(40, 110, 220);
  const imaging::ColourValue green = imaging::MakeColour(40, 170, 80);
  const imaging::ColourValue amber = imaging::MakeColour(230, 160, 30);
  ModuleBuilder dll(ModuleBuilder::Kind::kPe32);
  dll.AddIconGroup(ResName::Named("MAINICON"), 1,
                   {BadgeIcon(16, 4, blue), BadgeIcon(32, 4, blue), BadgeIcon(48, 4, blue),
                    BadgeIcon(16, 8, blue), BadgeIcon(32, 8, blue), BadgeIcon(48, 8, blue),
                    BadgeIcon(16, 32, blue), BadgeIcon(32, 32, blue), BadgeIcon(48, 32, blue),
                    BadgePng(256, blue)});
  dll.AddIconGroup(
      ResName::Id(101), 11,
      {BadgeIcon(16, 4, green, 1), BadgeIcon(32, 8, green, 1), BadgeIcon(48, 32, green, 1)});
  dll.AddIconGroup(ResName::Named("DOCUMENT"), 14,
                   {BadgeIcon(32, 32, amber, 1), BadgeIcon(16, 32, amber, 1)});
  dll.AddBitmap(ResName::Id(1), testsupport::MakeBitmapDib(Badge(64, 8, amber, 0)));
  dll.AddBitmap(ResName::Named("BANNER"), testsupport::MakeBitmapDib(Badge(48, 24, green, 1)));
  WriteBytesFile(dir / "sample.dll", dll.Build());
  WriteBytesFile(dir / "sample.ico",
                 testsupport::BuildIcoFile({BadgeIcon(16, 4, blue), BadgeIcon(32, 8, blue),
                                            BadgeIcon(48, 32, blue), BadgePng(256, blue)}));
}

void FuzzSeeds(const std::filesystem::path& dir) {
  const imaging::ColourValue red = imaging::MakeColour(200, 30, 30);
  ModuleBuilder pe(ModuleBuilder::Kind::kPe32);
  pe.AddIconGroup(ResName::Named("APP"), 1, {BadgeIcon(16, 4, red), BadgeIcon(16, 32, red)});
  pe.AddIconGroup(ResName::Id(7), {{9, BadgeIcon(16, 1, red)}});
  pe.AddBitmap(ResName::Id(1), testsupport::MakeBitmapDib(8, 8, 4));
  WriteBytesFile(dir / "pe" / "pe32_groups.dll", pe.Build());
  ModuleBuilder pe64(ModuleBuilder::Kind::kPe64);
  pe64.AddIconGroup(ResName::Id(1), 1, {BadgeIcon(16, 8, red), BadgePng(16, red)});
  WriteBytesFile(dir / "pe" / "pe64_png.dll", pe64.Build());

  ModuleBuilder icl(ModuleBuilder::Kind::kNe);
  icl.setIclNames(true);
  icl.AddIconGroup(ResName::Named("ONE"), 1, {BadgeIcon(16, 4, red), BadgeIcon(16, 8, red)});
  icl.AddIconGroup(ResName::Named("TWO"), 3, {BadgeIcon(16, 1, red)});
  WriteBytesFile(dir / "ne" / "named.icl", icl.Build());
  ModuleBuilder ne(ModuleBuilder::Kind::kNe);
  ne.setLinkerVersion(5, 10);
  ne.setAlignmentShift(1);
  ne.AddIconGroup(ResName::Id(1), 1, {BadgeIcon(16, 4, red), BadgePng(16, red)});
  WriteBytesFile(dir / "ne" / "plain.exe", ne.Build());

  WriteBytesFile(dir / "ico" / "dib.ico",
                 testsupport::BuildIcoFile({BadgeIcon(16, 4, red), BadgeIcon(16, 32, red)}));
  WriteBytesFile(dir / "ico" / "png.ico", testsupport::BuildIcoFile({BadgePng(16, red)}));

  WriteBytesFile(dir / "dib" / "plain8.bin", testsupport::MakeBitmapDib(6, 5, 8));
  WriteBytesFile(dir / "dib" / "plain4_used16.bin",
                 testsupport::MakeBitmapDib(testsupport::MakePatternBitmap(5, 3, 4, 1), 16));
  const std::uint8_t rle8[] = {3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 2, 9, 0, 1};
  WriteBytesFile(dir / "dib" / "rle8.bin", testsupport::MakeRleBitmap(8, 3, 1, rle8));
  const std::uint8_t rle4[] = {5, 0x12, 0, 3, 0xAB, 0xC0, 0, 0, 4, 0x34, 0, 1};
  WriteBytesFile(dir / "dib" / "rle4.bin", testsupport::MakeRleBitmap(8, 2, 2, rle4, true));
  const std::uint8_t overflow[] = {8, 1, 8, 2, 0, 1};
  WriteBytesFile(dir / "dib" / "rle8_err.bin", testsupport::MakeRleBitmap(8, 2, 1, overflow));
}

void BenchSet(const std::filesystem::path& dir, int count) {
  for (int m = 0; m < count; ++m) {
    ModuleBuilder b(m % 5 == 4 ? ModuleBuilder::Kind::kPe64 : ModuleBuilder::Kind::kPe32);
    for (int g = 0; g < 4; ++g) {
      imaging::ColourValue c = imaging::MakeColour(40 * g + m % 50, 100 + g * 30, 200 - m % 100);
      b.AddIconGroup(ResName::Id(static_cast<std::uint16_t>(100 + g)),
                     static_cast<std::uint16_t>(1 + 4 * g),
                     {BadgeIcon(16, 4, c), BadgeIcon(32, 8, c), BadgeIcon(48, 32, c),
                      BadgeIcon(32, 32, c, 1)});
    }
    char name[32];
    std::snprintf(name, sizeof name, "module%04d.dll", m);
    WriteBytesFile(dir / name, b.Build());
  }
}

int Usage() {
  std::fprintf(stderr, "usage: make_samples samples DIR | fuzz-seeds DIR | bench DIR COUNT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string what = argv[1];
  std::filesystem::path dir = argv[2];
  if (what == "samples") {
    Samples(dir);
  } else if (what == "fuzz-seeds") {
    FuzzSeeds(dir);
  } else if (what == "bench" && argc >= 4) {
    BenchSet(dir, std::atoi(argv[3]));
  } else {
    return Usage();
  }
  return 0;
}
