#pragma once
// The layout of a Windows metafile: its headers, its record list and the record
// function numbers the player knows. Every read is checked against the record's own
// length, so a malformed record is skipped instead of read past.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/byte_reader.h"

namespace glyphwell::imaging::wmf {

inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
inline constexpr std::size_t kPlaceableHeaderBytes = 22;
inline constexpr std::size_t kMetaHeaderBytes = 18;

enum Function : std::uint16_t {
  kEof = 0x0000,
  kSaveDc = 0x001E,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetPolyFillMode = 0x0106,
  kRestoreDc = 0x0127,
  kSelectObject = 0x012D,
  kDibCreatePatternBrush = 0x0142,
  kDeleteObject = 0x01F0,
  kCreatePatternBrush = 0x01F9,
  kCreatePalette = 0x00F7,
  kSetBkColor = 0x0201,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kSetViewportOrg = 0x020D,
  kSetViewportExt = 0x020E,
  kOffsetWindowOrg = 0x020F,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kIntersectClipRect = 0x0416,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kSetPixel = 0x041F,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
  kPatBlt = 0x061D,
  kCreateRegion = 0x06FF,
  kDibBitBlt = 0x0940,
  kDibStretchBlt = 0x0B41,
  kSetDiBitsToDevice = 0x0D33,
  kStretchDib = 0x0F43,
};

// One record: its function and its parameter words.
class Record {
 public:
  Record(std::uint16_t function, std::span<const std::uint8_t> params)
      : function_(function), params_(params) {}

  std::uint16_t function() const { return function_; }
  std::size_t words() const { return params_.size() / 2; }
  bool has(std::size_t count) const { return words() >= count; }
  // Parameter word i as signed / unsigned; 0 when missing (callers check has()).
  std::int16_t s16(std::size_t i) const { return reader().i16le(2 * i).value_or(0); }
  std::uint16_t u16(std::size_t i) const { return reader().u16le(2 * i).value_or(0); }
  std::uint32_t u32(std::size_t i) const { return reader().u32le(2 * i).value_or(0); }
  // The bytes from parameter word i to the end of the record.
  std::span<const std::uint8_t> tail(std::size_t i) const {
    return 2 * i <= params_.size() ? params_.subspan(2 * i) : std::span<const std::uint8_t>();
  }

 private:
  platform::ByteReader reader() const { return platform::ByteReader(params_); }
  std::uint16_t function_;
  std::span<const std::uint8_t> params_;
};

// The headers of a metafile and where its records start.
struct Layout {
  bool placeable = false;
  std::int16_t left = 0, top = 0, right = 0, bottom = 0;  // placeable bounding box
  std::uint16_t unitsPerInch = 0;
  std::uint16_t objectCount = 0;
  std::size_t recordsAt = 0;
};

inline std::optional<Layout> ReadLayout(std::span<const std::uint8_t> file) {
  const platform::ByteReader r(file);
  Layout l;
  std::size_t header = 0;
  if (r.u32le(0) == kPlaceableKey) {
    if (!r.Fits(0, kPlaceableHeaderBytes)) return std::nullopt;
    l.placeable = true;
    l.left = *r.i16le(6);
    l.top = *r.i16le(8);
    l.right = *r.i16le(10);
    l.bottom = *r.i16le(12);
    l.unitsPerInch = *r.u16le(14);
    header = kPlaceableHeaderBytes;
  }
  if (!r.Fits(header, kMetaHeaderBytes)) return std::nullopt;
  const std::uint16_t type = *r.u16le(header);
  const std::uint16_t headerWords = *r.u16le(header + 2);
  if ((type != 1 && type != 2) || headerWords != kMetaHeaderBytes / 2) return std::nullopt;
  l.objectCount = *r.u16le(header + 10);
  l.recordsAt = header + kMetaHeaderBytes;
  return l;
}

// Walks the records from `at`: calls visit(record) for each until the end record, the
// end of the data, a record shorter than its own header or one running past the data,
// or until visit returns false.
template <typename Visit>
void ForEachRecord(std::span<const std::uint8_t> file, std::size_t at, Visit visit) {
  const platform::ByteReader r(file);
  while (true) {
    const auto sizeWords = r.u32le(at);
    const auto function = r.u16le(at + 4);
    if (!sizeWords || !function || *sizeWords < 3) return;
    const std::uint64_t bytes = std::uint64_t{*sizeWords} * 2;
    if (!r.Fits(at, bytes)) return;
    if (*function == kEof) return;
    if (!visit(Record(*function, file.subspan(at + 6, bytes - 6)))) return;
    at += bytes;
  }
}

}  // namespace glyphwell::imaging::wmf
