#include "imaging/png_codec.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/atomic_file.h"

namespace glyphwell::imaging {

namespace {

constexpr std::size_t kSignatureBytes = 8;
// Same limit as the Bitmap's: a larger side could not be held anyway.
constexpr png_uint_32 kMaxSide = 1 << 15;

// libpng reports errors through these. The error handler jumps back to the recovery
// point set with setjmp(png_jmpbuf(...)); nothing is printed (the program logs nothing).
[[noreturn]] void OnPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

// The source of the compressed bytes of a memory read.
struct MemorySource {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (length > source->size - source->position) png_error(png, "read beyond the end of the data");
  std::memcpy(out, source->data + source->position, length);
  source->position += length;
}

// Everything a read touches after the recovery point lives here, outside the frame
// that calls setjmp, so nothing depends on local variables surviving a longjmp.
struct ReadState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  Bitmap working;
  bool layoutOnly = false;  // stop once the layout is known, before any row is decoded
  PngLayout layout;
  bool rowsStarted = false;
  std::vector<png_bytep> rows;
};

// Asks for the transformations that turn every PNG into one of our pixel formats and
// sizes the working Bitmap. Called after png_read_info, inside the recovery point.
void PrepareWorkingBitmap(ReadState& s) {
  png_structp png = s.png;
  png_infop info = s.info;
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const int depth = png_get_bit_depth(png, info);
  const int colourType = png_get_color_type(png, info);
  const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

  png_colorp plte = nullptr;
  int plteCount = 0;
  const bool keepIndexed = colourType == PNG_COLOR_TYPE_PALETTE && (depth == 4 || depth == 8) &&
                           !hasTrns && png_get_PLTE(png, info, &plte, &plteCount) == PNG_INFO_PLTE;
  if (!keepIndexed) {
    // A tRNS chunk of an RGB image is ignored: expanding it would add an alpha channel
    // the 24-bit result has no room for.
    const bool isGray = (colourType & PNG_COLOR_MASK_COLOR) == 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE || (isGray && depth < 8) || (isGray && hasTrns))
      png_set_expand(png);
    if (depth == 16) png_set_strip_16(png);
    if (isGray) png_set_gray_to_rgb(png);
    png_set_bgr(png);
  }
  double fileGamma = 0;
  if (png_get_gAMA(png, info, &fileGamma) && fileGamma > 0) png_set_gamma(png, 2.2, fileGamma);

  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  int bits = 0;
  if (keepIndexed) {
    bits = depth;
  } else {
    const int channels = png_get_channels(png, info);
    if (png_get_bit_depth(png, info) != 8 || (channels != 3 && channels != 4))
      png_error(png, "unexpected transformed row layout");
    bits = channels == 4 ? 32 : 24;
  }
  if (s.layoutOnly) {
    // The checks the working Bitmap makes below, without allocating it: the user limits
    // already keep both sides within a Bitmap's.
    if (png_get_rowbytes(png, info) > RowBytes(static_cast<int>(width), bits))
      png_error(png, "row larger than expected");
    s.layout = PngLayout{static_cast<int>(width), static_cast<int>(height), bits};
    return;
  }
  s.working = Bitmap(static_cast<int>(width), static_cast<int>(height), bits);
  if (s.working.empty()) png_error(png, "image too large");
  if (png_get_rowbytes(png, info) > s.working.stride()) png_error(png, "row larger than expected");
  if (keepIndexed) {
    ColourTable table;
    for (int i = 0; i < plteCount; ++i)
      table.push_back(Rgbq{plte[i].blue, plte[i].green, plte[i].red, 0});
    s.working.setColourTable(std::move(table));
    // Rows a truncated read never reaches keep the initial white.
    s.working.fill(kWhite);
  }
  s.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    s.rows[y] = s.working.row(static_cast<int>(y));
}

// Runs the read up to the end chunk. Returns true when the image (or, after an error
// once the rows had begun, the part of it read so far) is in s.working.
bool RunRead(ReadState& s) {
  if (setjmp(png_jmpbuf(s.png))) return s.rowsStarted;
  png_set_user_limits(s.png, kMaxSide, kMaxSide);
  png_read_info(s.png, s.info);
  PrepareWorkingBitmap(s);
  s.rowsStarted = true;
  if (s.layoutOnly) return true;
  png_read_image(s.png, s.rows.data());
  png_read_end(s.png, nullptr);
  return true;
}

bool HasSignature(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kSignatureBytes && png_sig_cmp(bytes.data(), 0, kSignatureBytes) == 0;
}

png_structp CreateReadStruct() {
  return png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
}

}  // namespace

namespace {

bool RunMemoryRead(std::span<const std::uint8_t> data, ReadState& s) {
  if (!HasSignature(data)) return false;
  s.png = CreateReadStruct();
  if (!s.png) return false;
  s.info = png_create_info_struct(s.png);
  if (!s.info) {
    png_destroy_read_struct(&s.png, nullptr, nullptr);
    return false;
  }
  MemorySource source{data.data(), data.size(), 0};
  png_set_read_fn(s.png, &source, ReadFromMemory);
  const bool ok = RunRead(s);
  png_destroy_read_struct(&s.png, &s.info, nullptr);
  return ok;
}

}  // namespace

bool ReadPngMemory(std::span<const std::uint8_t> data, Bitmap& out) {
  ReadState s;
  const bool ok = RunMemoryRead(data, s);
  if (ok) out = std::move(s.working);
  return ok;
}

std::optional<PngLayout> ReadPngLayout(std::span<const std::uint8_t> data) {
  ReadState s;
  s.layoutOnly = true;
  if (!RunMemoryRead(data, s)) return std::nullopt;
  return s.layout;
}

bool ReadPngFile(const std::string& path, Bitmap& out) {
  if (path.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::uint8_t signature[kSignatureBytes];
  if (std::fread(signature, 1, kSignatureBytes, file) != kSignatureBytes ||
      !HasSignature(signature)) {
    std::fclose(file);
    return false;
  }
  ReadState s;
  s.png = CreateReadStruct();
  png_infop endInfo = nullptr;
  if (s.png) s.info = png_create_info_struct(s.png);
  if (s.info) endInfo = png_create_info_struct(s.png);
  if (!endInfo) {
    png_destroy_read_struct(&s.png, s.info ? &s.info : nullptr, nullptr);
    std::fclose(file);
    return false;
  }
  png_init_io(s.png, file);
  png_set_sig_bytes(s.png, kSignatureBytes);
  const bool ok = RunRead(s);
  png_destroy_read_struct(&s.png, &s.info, &endInfo);
  std::fclose(file);
  if (ok) out = std::move(s.working);
  return ok;
}

namespace {

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void FlushNothing(png_structp) {}

// The palette entries written for an indexed image: the first `paletteColours` table
// entries, but never fewer than the largest index used plus one, so that every pixel
// refers to a palette entry and the file stays valid. Indexes beyond the colour table
// are written as black, the colour the Bitmap gives them.
std::vector<png_color> PaletteFor(const Bitmap& image, int paletteColours) {
  const ColourTable& table = image.colourTable();
  int largest = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      largest = std::max(largest, static_cast<int>(image.rawPixel(x, y)));
  int count = std::min(paletteColours, static_cast<int>(table.size()));
  count = std::clamp(std::max(count, largest + 1), 1, 1 << image.bits());
  std::vector<png_color> palette(static_cast<std::size_t>(count), png_color{0, 0, 0});
  for (int i = 0; i < count && i < static_cast<int>(table.size()); ++i)
    palette[static_cast<std::size_t>(i)] = png_color{table[i].red, table[i].green, table[i].blue};
  return palette;
}

struct WriteState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const Bitmap* image = nullptr;
  PngWriteOptions options;
  std::vector<png_color> palette;
  std::vector<png_bytep> rows;
};

bool RunWrite(WriteState& s) {
  if (setjmp(png_jmpbuf(s.png))) return false;
  const Bitmap& image = *s.image;
  png_set_compression_level(s.png, 9);
  const int interlace = s.options.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
  const auto width = static_cast<png_uint_32>(image.width());
  const auto height = static_cast<png_uint_32>(image.height());
  if (image.indexed()) {
    s.palette = PaletteFor(image, s.options.paletteColours);
    png_set_IHDR(s.png, s.info, width, height, image.bits(), PNG_COLOR_TYPE_PALETTE, interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(s.png, s.info, s.palette.data(), static_cast<int>(s.palette.size()));
  } else {
    png_set_IHDR(s.png, s.info, width, height, 8,
                 image.bits() == 32 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  }
  // Gamma 1 / 2.2, stored as 45455.
  png_set_gAMA_fixed(s.png, s.info, 45455);
  png_write_info(s.png, s.info);
  png_set_bgr(s.png);
  // libpng only reads the rows; the const_cast is for its C interface.
  s.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    s.rows[y] = const_cast<png_bytep>(image.row(static_cast<int>(y)));
  if (s.options.interlaced) {
    png_set_interlace_handling(s.png);
    png_write_image(s.png, s.rows.data());
  } else {
    for (png_uint_32 y = 0; y < height; ++y)
      png_write_row(s.png, s.rows[y]);
  }
  png_write_end(s.png, nullptr);
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Bitmap& image, const PngWriteOptions& options) {
  if (image.empty()) return {};
  // 15- and 16-bit pixels have no PNG layout; they are written as the 24-bit colours
  // they stand for.
  if (image.bits() == 15 || image.bits() == 16) {
    Bitmap wide = image;
    wide.setPixelFormat(24);
    return EncodePng(wide, options);
  }
  std::vector<std::uint8_t> bytes;
  WriteState s;
  s.image = &image;
  s.options = options;
  s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!s.png) return {};
  s.info = png_create_info_struct(s.png);
  if (!s.info) {
    png_destroy_write_struct(&s.png, nullptr);
    return {};
  }
  png_set_write_fn(s.png, &bytes, WriteToVector, FlushNothing);
  const bool ok = RunWrite(s);
  png_destroy_write_struct(&s.png, &s.info);
  if (!ok) return {};
  return bytes;
}

bool WritePng(const Bitmap& image, const std::string& path, const PngWriteOptions& options) {
  if (path.empty()) return false;
  const std::vector<std::uint8_t> bytes = EncodePng(image, options);
  if (bytes.empty()) return false;
  return platform::WriteFileAtomically(path, bytes);
}

}  // namespace glyphwell::imaging
