#include "imaging/jpeg_codec.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>

#include "platform/atomic_file.h"

namespace glyphwell::imaging {

namespace {

constexpr JDIMENSION kMaxSide = 1 << 15;

// libjpeg's default error handler calls exit(); ours jumps back to the caller's
// recovery point instead, and keeps libjpeg quiet (the program logs nothing).
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf recovery;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->recovery, 1);
}
void OnJpegMessage(j_common_ptr) {}
void OnJpegEmit(j_common_ptr, int) {}

void InstallErrorManager(ErrorManager& errors) {
  jpeg_std_error(&errors.base);
  errors.base.error_exit = OnJpegError;
  errors.base.output_message = OnJpegMessage;
  errors.base.emit_message = OnJpegEmit;
}

// Everything touched after the recovery point lives outside the frame that calls
// setjmp, so nothing depends on local variables surviving a longjmp.
struct DecodeState {
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  Bitmap image;
  std::vector<std::uint8_t> cmykRow;
};

// One row of CMYK samples to blue, green, red. Adobe's JPEGs store the inks inverted.
void CmykToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    bgr[0] = static_cast<std::uint8_t>(y * k / 255);
    bgr[1] = static_cast<std::uint8_t>(m * k / 255);
    bgr[2] = static_cast<std::uint8_t>(c * k / 255);
  }
}

bool RunDecode(DecodeState& s, std::span<const std::uint8_t> data) {
  if (setjmp(s.errors.recovery)) return false;
  jpeg_decompress_struct& cinfo = s.cinfo;
  jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxSide ||
      cinfo.image_height > kMaxSide)
    return false;
  const bool gray = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = gray ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  s.image = Bitmap(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                   gray ? 8 : 24);
  if (s.image.empty()) return false;
  if (gray) {
    ColourTable table;
    for (int i = 0; i < 256; ++i) {
      const auto v = static_cast<std::uint8_t>(i);
      table.push_back(Rgbq{v, v, v, 0});
    }
    s.image.setColourTable(std::move(table));
  }
  if (cmyk) s.cmykRow.resize(static_cast<std::size_t>(cinfo.output_width) * 4);
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    JSAMPROW row = cmyk ? s.cmykRow.data() : s.image.row(y);
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
    if (cmyk)
      CmykToBgr(s.cmykRow.data(), s.image.row(y), cinfo.output_width, cinfo.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

struct EncodeState {
  jpeg_compress_struct cinfo;
  ErrorManager errors;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
};

bool RunEncode(EncodeState& s, const Bitmap& image, int quality) {
  if (setjmp(s.errors.recovery)) return false;
  jpeg_compress_struct& cinfo = s.cinfo;
  jpeg_mem_dest(&cinfo, &s.buffer, &s.size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width());
  cinfo.image_height = static_cast<JDIMENSION>(image.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    // libjpeg only reads the row; the const_cast is for its C interface.
    JSAMPROW row = const_cast<JSAMPROW>(image.row(static_cast<int>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  return true;
}

}  // namespace

std::optional<JpegSize> PeekJpegSize(std::span<const std::uint8_t> data) {
  if (data.size() < 2 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
  DecodeState s;
  s.cinfo.err = &s.errors.base;
  InstallErrorManager(s.errors);
  jpeg_create_decompress(&s.cinfo);
  std::optional<JpegSize> size;
  if (!setjmp(s.errors.recovery)) {
    jpeg_mem_src(&s.cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&s.cinfo, TRUE);
    size = JpegSize{static_cast<int>(s.cinfo.image_width), static_cast<int>(s.cinfo.image_height)};
  }
  jpeg_destroy_decompress(&s.cinfo);
  return size;
}

bool DecodeJpeg(std::span<const std::uint8_t> data, Bitmap& out) {
  // Every JPEG stream starts with the start-of-image marker.
  if (data.size() < 2 || data[0] != 0xFF || data[1] != 0xD8) return false;
  DecodeState s;
  s.cinfo.err = &s.errors.base;
  InstallErrorManager(s.errors);
  jpeg_create_decompress(&s.cinfo);
  const bool ok = RunDecode(s, data);
  jpeg_destroy_decompress(&s.cinfo);
  if (ok) out = std::move(s.image);
  return ok;
}

bool ReadJpegFile(const std::string& path, Bitmap& out) {
  std::vector<std::uint8_t> bytes;
  if (path.empty() || !platform::ReadWholeFileBytes(path, bytes)) return false;
  return DecodeJpeg(bytes, out);
}

std::vector<std::uint8_t> EncodeJpeg(const Bitmap& image, int quality) {
  if (image.empty()) return {};
  if (image.bits() != 24) {
    Bitmap colours = image;
    colours.setPixelFormat(24);
    if (colours.bits() != 24) return {};
    return EncodeJpeg(colours, quality);
  }
  EncodeState s;
  s.cinfo.err = &s.errors.base;
  InstallErrorManager(s.errors);
  jpeg_create_compress(&s.cinfo);
  const bool ok = RunEncode(s, image, quality);
  jpeg_destroy_compress(&s.cinfo);
  std::vector<std::uint8_t> bytes;
  if (ok && s.buffer) bytes.assign(s.buffer, s.buffer + s.size);
  // The memory destination's buffer belongs to us, also after an error.
  std::free(s.buffer);
  return bytes;
}

bool WriteJpeg(const Bitmap& image, const std::string& path, int quality) {
  if (path.empty()) return false;
  const std::vector<std::uint8_t> bytes = EncodeJpeg(image, quality);
  if (bytes.empty()) return false;
  return platform::WriteFileAtomically(path, bytes);
}

}  // namespace glyphwell::imaging
