#include "output/icon_file_writer.h"

#include <optional>

#include "imaging/bmp_codec.h"
#include "imaging/mask_ops.h"
#include "imaging/png_codec.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"
#include "platform/byte_writer.h"

namespace glyphwell::output {

namespace {

using platform::ByteReader;

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kIconHeaderBytes = 22;  // 6-byte directory + one 16-byte entry
constexpr std::int32_t kMaxSide = 10000;      // the icon reader's own limit

// The fields of a bitmap's info header that fill an icon directory entry.
struct EntryFields {
  int width = 0;
  int height = 0;
  int planes = 1;
  int bitCount = 0;
};

std::uint8_t ColourCountByte(int planes, int bitCount) {
  int depth = planes * bitCount;
  return depth < 8 ? static_cast<std::uint8_t>(1u << depth) : 0;
}

// The entry fields of a bitmap file's info header; std::nullopt when it is too short
// or its size is not positive.
std::optional<EntryFields> ReadEntryFields(std::span<const std::uint8_t> bmpFile) {
  ByteReader r(bmpFile);
  auto w = r.i32le(kFileHeaderBytes + 4);
  auto h = r.i32le(kFileHeaderBytes + 8);
  auto planes = r.u16le(kFileHeaderBytes + 12);
  auto bits = r.u16le(kFileHeaderBytes + 14);
  if (!w || !h || !planes || !bits || *w <= 0 || *h <= 0) return std::nullopt;
  return EntryFields{*w, *h, *planes, *bits};
}

void WriteDirectory(platform::ByteWriter& out, const EntryFields& e, std::uint32_t bytes) {
  out.u16(0);                                         // reserved
  out.u16(1);                                         // icon
  out.u16(1);                                         // one image
  out.u8(static_cast<std::uint8_t>(e.width & 0xFF));  // 256 is written as 0
  out.u8(static_cast<std::uint8_t>(e.height & 0xFF));
  out.u8(ColourCountByte(e.planes, e.bitCount));
  out.u8(0);
  out.u16(static_cast<std::uint16_t>(e.planes));
  out.u16(static_cast<std::uint16_t>(e.bitCount));
  out.u32(bytes);
  out.u32(kIconHeaderBytes);
}

// Alpha 255 minus the mask's red: white mask (transparent) gives 0, black 255.
// Pixels outside a smaller mask stay opaque.
void AlphaFromMask(imaging::Bitmap& image, const imaging::Bitmap& mask) {
  for (int y = 0; y < image.height(); ++y) {
    std::uint8_t* row = image.row(y);
    for (int x = 0; x < image.width(); ++x) {
      int alpha = 255;
      if (y < mask.height() && x < mask.width())
        alpha = 255 - imaging::RedOf(mask.pixelColour(x, y));
      row[4 * x + 3] = static_cast<std::uint8_t>(alpha);
    }
  }
}

}  // namespace

IconRoute ChooseIconRoute(const IconRouteFacts& f, const IconOptions& options) {
  if (f.ownParserIconMode && f.originalSize && f.originalColours && !f.editorOpen && f.savingAsIcon)
    return IconRoute::AsRead;
  if (UsePng(options, f.width, f.height)) return IconRoute::Png;
  return IconRoute::Rendered;
}

IconFileWriter::IconFileWriter(const PelmoraLoader& pelmora, std::string workFolder,
                               IconOptions options)
    : pelmora_(pelmora), workFolder_(std::move(workFolder)), options_(options) {}

std::string IconFileWriter::temporaryBitmapPath() const {
  return workFolder_ + "/" + kTemporaryBitmapName;
}

std::string IconFileWriter::temporaryPngPath() const {
  return workFolder_ + "/" + kTemporaryPngName;
}

IconWriteResult IconFileWriter::SaveIconFile(const imaging::Bitmap& outputMask,
                                             const std::string& target, bool writeMask) const {
  IconWriteResult png = WritePngIcon(outputMask, target);
  if (png != IconWriteResult::kDeclined) return png;
  if (!pelmora_.available()) return IconWriteResult::kFailed;

  // The library reads height rows of the mask for the bitmap file's own size, so the
  // mask is packed for exactly that size whatever the mask image's size.
  std::vector<std::uint8_t> bmpFile;
  if (!platform::ReadWholeFileBytes(temporaryBitmapPath(), bmpFile))
    return IconWriteResult::kFailed;
  auto fields = ReadEntryFields(bmpFile);
  if (!fields) return IconWriteResult::kFailed;
  std::vector<std::uint8_t> packed;
  if (writeMask) packed = imaging::PackMask(outputMask, fields->width, fields->height);
  int result =
      pelmora_.WriteIcon(temporaryBitmapPath(), target, writeMask ? packed.data() : nullptr);
  return result == 0 ? IconWriteResult::kWritten : IconWriteResult::kFailed;
}

IconWriteResult IconFileWriter::WritePngIcon(const imaging::Bitmap& outputMask,
                                             const std::string& target) const {
  std::vector<std::uint8_t> bmpFile;
  imaging::Bitmap image;
  if (!platform::ReadWholeFileBytes(temporaryBitmapPath(), bmpFile) ||
      !imaging::ReadBmp(bmpFile, image))
    return IconWriteResult::kFailed;
  auto fields = ReadEntryFields(bmpFile);
  if (!fields) return IconWriteResult::kFailed;
  if (!UsePng(options_, image.width(), image.height())) return IconWriteResult::kDeclined;

  // The entry keeps the bitmap file's bit count even when the PNG gains alpha.
  if (options_.pngsv && image.bits() != 32) {
    image.setPixelFormat(32);
    AlphaFromMask(image, outputMask);
  }
  // The PNG goes through "tpng.png" in the work folder, which stays there.
  std::vector<std::uint8_t> png;
  if (!imaging::WritePng(image, temporaryPngPath()) ||
      !platform::ReadWholeFileBytes(temporaryPngPath(), png) || png.empty())
    return IconWriteResult::kFailed;

  platform::ByteWriter out;
  WriteDirectory(out, *fields, static_cast<std::uint32_t>(png.size()));
  out.append(png);
  return platform::WriteFileAtomically(target, out.bytes()) ? IconWriteResult::kWritten
                                                            : IconWriteResult::kFailed;
}

IconWriteResult IconFileWriter::SaveIconAsRead(std::span<const std::uint8_t> iconData,
                                               const std::string& target) const {
  ByteReader r(iconData);
  auto header = r.Slice(kIconHeaderBytes, kInfoHeaderBytes);
  // PNG-compressed data is already what the PNG options ask for: kept as read.
  if (!header || (*header)[0] == 0x89) return IconWriteResult::kDeclined;
  ByteReader h(*header);
  const std::int32_t width = *h.i32le(4);
  const std::int32_t halfHeight = *h.i32le(8) / 2;
  const int planes = *h.u16le(12);
  const int bits = *h.u16le(14);
  if (width <= 0 || halfHeight <= 0 || width > kMaxSide || halfHeight > kMaxSide ||
      !imaging::IsValidPixelFormat(bits))
    return IconWriteResult::kDeclined;
  if (!(options_.pngfrg || (options_.png256 && (width >= 256 || halfHeight >= 256))))
    return IconWriteResult::kDeclined;

  const std::size_t tableBytes = bits == 8 ? 1024 : 4u * ColourCountByte(planes, bits);
  const std::size_t rowBytes = imaging::RowBytes(width, bits) * halfHeight;
  const std::size_t maskBytes = imaging::PackedMaskBytes(width, halfHeight);
  const std::size_t colourStart = kIconHeaderBytes + kInfoHeaderBytes;
  // Data shorter than its header states cannot be re-encoded; it is kept as read.
  if (!r.Fits(colourStart, tableBytes + rowBytes + maskBytes)) return IconWriteResult::kDeclined;

  // Rebuild the temporary bitmap file: file header, the header with the real height
  // and the colour rows' size, colour table, colour rows.
  platform::ByteWriter bmp;
  bmp.u8('B');
  bmp.u8('M');
  bmp.u32(static_cast<std::uint32_t>(tableBytes + rowBytes + 54));
  bmp.u32(0);
  bmp.u32(static_cast<std::uint32_t>(tableBytes + 54));
  bmp.append(*header);
  bmp.patchU32(kFileHeaderBytes + 8, static_cast<std::uint32_t>(halfHeight));
  bmp.patchU32(kFileHeaderBytes + 20, static_cast<std::uint32_t>(rowBytes));
  bmp.append(*r.Slice(colourStart, tableBytes + rowBytes));
  if (!platform::WriteFileAtomically(temporaryBitmapPath(), bmp.bytes()))
    return IconWriteResult::kFailed;

  imaging::Bitmap mask(width, halfHeight, 32);
  imaging::UnpackMask(mask, iconData.subspan(iconData.size() - maskBytes));
  IconWriteResult result = WritePngIcon(mask, target);
  // The size rule above is the one WritePngIcon applies, so it cannot decline here.
  return result == IconWriteResult::kDeclined ? IconWriteResult::kFailed : result;
}

bool IconFileWriter::WriteIconAsRead(std::span<const std::uint8_t> iconData,
                                     const std::string& target) const {
  IconWriteResult result = SaveIconAsRead(iconData, target);
  if (result != IconWriteResult::kDeclined) return result == IconWriteResult::kWritten;
  return platform::WriteFileAtomically(target, iconData);
}

}  // namespace glyphwell::output
