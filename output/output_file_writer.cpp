#include "output/output_file_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "imaging/bmp_codec.h"
#include "imaging/png_codec.h"
#include "platform/atomic_file.h"

namespace glyphwell::output {

namespace {

struct JpegError {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

// One row as red, green, blue bytes.
void RgbRow(const imaging::Bitmap& image, int y, std::vector<JSAMPLE>& row) {
  for (int x = 0; x < image.width(); ++x) {
    imaging::ColourValue c = image.pixelColour(x, y);
    row[3 * x] = static_cast<JSAMPLE>(imaging::RedOf(c));
    row[3 * x + 1] = static_cast<JSAMPLE>(imaging::GreenOf(c));
    row[3 * x + 2] = static_cast<JSAMPLE>(imaging::BlueOf(c));
  }
}

}  // namespace

std::string ChangeExtension(const std::string& path, const std::string& extension) {
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return path + extension;
  return path.substr(0, dot) + extension;
}

std::vector<std::uint8_t> EncodeJpeg(const imaging::Bitmap& image, int quality) {
  if (image.empty()) return {};
  jpeg_compress_struct cinfo{};
  JpegError err{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = OnJpegError;
  // Everything that needs freeing after a longjmp is declared before setjmp.
  std::vector<JSAMPLE> row(static_cast<std::size_t>(image.width()) * 3);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return {};
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width());
  cinfo.image_height = static_cast<JDIMENSION>(image.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    RgbRow(image, static_cast<int>(cinfo.next_scanline), row);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

std::string WriteOutputFile(const imaging::Bitmap& image, const std::string& path,
                            imaging::OutputType kind, int pngColours, std::string* error) {
  std::vector<std::uint8_t> bytes;
  std::string target;
  switch (kind) {
    case imaging::OutputType::Bmp:
      target = ChangeExtension(path, ".bmp");
      bytes = imaging::EncodeBmp(image);
      break;
    case imaging::OutputType::Jepg:
      target = ChangeExtension(path, ".jpg");
      bytes = EncodeJpeg(image, 90);
      break;
    case imaging::OutputType::Png: {
      target = ChangeExtension(path, ".png");
      imaging::PngWriteOptions options;
      options.paletteColours = pngColours;
      bytes = imaging::EncodePng(image, options);
      break;
    }
    case imaging::OutputType::Icon:
      if (error) *error = "icon files are written by the icon writer";
      return {};
  }
  if (bytes.empty()) {
    if (error) *error = "the image could not be encoded";
    return {};
  }
  if (!platform::WriteFileAtomically(target, bytes, error)) return {};
  return target;
}

}  // namespace glyphwell::output
