// LoadPicture: the picture loader. It chooses the decoder by the file's content, not
// its extension: BMP, JPEG, PNG, icon or cursor, and metafile.
#include <algorithm>
#include <vector>

#include "imaging/bmp_codec.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture.h"
#include "imaging/png_codec.h"
#include "imaging/wmf_player.h"
#include "imaging/wmf_records.h"
#include "platform/atomic_file.h"
#include "platform/byte_reader.h"

namespace glyphwell::imaging {

namespace {

using platform::ByteReader;
using platform::PutU16le;
using platform::PutU32le;

constexpr std::size_t kIconHeaderBytes = 6;
constexpr std::size_t kIconEntryBytes = 16;

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// Icon (type 1) and cursor (type 2) files: reserved 0, type, at least one entry.
int IconFileType(std::span<const std::uint8_t> bytes) {
  const ByteReader r(bytes);
  const auto reserved = r.u16le(0), type = r.u16le(2), count = r.u16le(4);
  if (!reserved || *reserved != 0 || !count || *count == 0) return 0;
  if (*type != 1 && *type != 2) return 0;
  return *type;
}

// The one-image icon stream of a cursor's first image: the cursor's hot spot fields
// become the icon entry's planes (1) and bit count (from the image's own header).
std::vector<std::uint8_t> IconStreamOfFirstCursor(std::span<const std::uint8_t> bytes) {
  const ByteReader r(bytes);
  const auto length = r.u32le(kIconHeaderBytes + 8);
  const auto offset = r.u32le(kIconHeaderBytes + 12);
  if (!length || !offset || *offset >= bytes.size()) return {};
  const std::size_t have = std::min<std::size_t>(*length, bytes.size() - *offset);
  const std::span<const std::uint8_t> image = bytes.subspan(*offset, have);
  const std::uint16_t bitCount = ByteReader(image).u16le(14).value_or(0);

  std::vector<std::uint8_t> stream(kIconHeaderBytes + kIconEntryBytes, 0);
  PutU16le(stream.data() + 2, 1);
  PutU16le(stream.data() + 4, 1);
  std::uint8_t* entry = stream.data() + kIconHeaderBytes;
  std::copy_n(bytes.begin() + kIconHeaderBytes, 4, entry);  // width, height, colours, reserved
  PutU16le(entry + 4, 1);
  PutU16le(entry + 6, bitCount);
  PutU32le(entry + 8, static_cast<std::uint32_t>(have));
  PutU32le(entry + 12, static_cast<std::uint32_t>(stream.size()));
  stream.insert(stream.end(), image.begin(), image.end());
  return stream;
}

bool LoadIcon(std::span<const std::uint8_t> bytes, int type, Picture& out) {
  if (!ByteReader(bytes).Fits(kIconHeaderBytes, kIconEntryBytes)) return false;
  std::optional<IconImage> icon;
  if (type == 1) {
    icon = IconImage::FromStream(bytes);
  } else {
    const std::vector<std::uint8_t> stream = IconStreamOfFirstCursor(bytes);
    if (!stream.empty()) icon = IconImage::FromStream(stream);
  }
  if (!icon) return false;
  out = Picture{};
  out.kind = PictureKind::kIcon;
  out.icon = std::move(icon);
  return true;
}

bool IsMetafile(std::span<const std::uint8_t> bytes) {
  return wmf::ReadLayout(bytes).has_value();
}

}  // namespace

bool DecodePicture(std::span<const std::uint8_t> bytes, Picture& out) {
  Bitmap bitmap;
  PictureKind kind = PictureKind::kNone;
  if (StartsWith(bytes, {'B', 'M'})) {
    if (ReadBmp(bytes, bitmap)) kind = PictureKind::kBitmap;
  } else if (StartsWith(bytes, {0xFF, 0xD8})) {
    if (DecodeJpeg(bytes, bitmap)) kind = PictureKind::kJpeg;
  } else if (StartsWith(bytes, {0x89, 'P', 'N', 'G'})) {
    if (ReadPngMemory(bytes, bitmap)) kind = PictureKind::kBitmap;
  } else if (const int type = IconFileType(bytes); type != 0) {
    return LoadIcon(bytes, type, out);
  } else if (IsMetafile(bytes)) {
    if (auto played = WmfPlayer::Play(bytes)) {
      bitmap = std::move(*played);
      kind = PictureKind::kMetafile;
    }
  }
  if (kind == PictureKind::kNone) return false;
  out = Picture{};
  out.kind = kind;
  out.bitmap = std::move(bitmap);
  return true;
}

bool LoadPicture(const std::string& path, Picture& out) {
  std::vector<std::uint8_t> bytes;
  if (path.empty() || !platform::ReadWholeFileBytes(path, bytes)) return false;
  return DecodePicture(bytes, out);
}

}  // namespace glyphwell::imaging
