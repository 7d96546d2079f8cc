#include "imaging/libjpeg_quantize.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace glyphwell::imaging {

namespace {

// libjpeg reports errors by calling error_exit, which must not return: it jumps
// back to the setjmp of the call that started the work.
struct JumpingErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void JumpOnError(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

void Silent(j_common_ptr) {}

// Frees the buffer jpeg_mem_dest allocates, however the compression ends.
struct MallocBuffer {
  unsigned char* data = nullptr;
  unsigned long size = 0;
  ~MallocBuffer() { std::free(data); }
};

// The image's rows as red, green, blue triples, top row first.
std::vector<JSAMPLE> RgbRows(const Bitmap& image) {
  std::vector<JSAMPLE> rgb(static_cast<std::size_t>(image.width()) * image.height() * 3);
  std::size_t i = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      ColourValue c = image.pixelColour(x, y);
      rgb[i++] = static_cast<JSAMPLE>(RedOf(c));
      rgb[i++] = static_cast<JSAMPLE>(GreenOf(c));
      rgb[i++] = static_cast<JSAMPLE>(BlueOf(c));
    }
  return rgb;
}

// Nothing with a destructor may live in this function's frame across setjmp: a
// longjmp skips destructors. The callers own every buffer.
bool Compress(const std::vector<JSAMPLE>& rgb, int width, int height, MallocBuffer& out) {
  jpeg_compress_struct cinfo;
  JumpingErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = JumpOnError;
  errors.base.output_message = Silent;
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &out.data, &out.size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, kQuantizeJpegQuality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(rgb.data() + cinfo.next_scanline * stride);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

struct Decoded {
  int width = 0, height = 0;
  std::vector<JSAMPLE> indexes;  // one byte a pixel, top row first
  ColourTable table;
};

bool DecompressQuantized(const MallocBuffer& jpeg, Decoded& out) {
  jpeg_decompress_struct cinfo;
  JumpingErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = JumpOnError;
  errors.base.output_message = Silent;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data, jpeg.size);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.quantize_colors = TRUE;
  cinfo.desired_number_of_colors = kQuantizeColours;
  cinfo.two_pass_quantize = TRUE;
  cinfo.dither_mode = JDITHER_FS;
  cinfo.dct_method = JDCT_ISLOW;
  cinfo.do_fancy_upsampling = TRUE;
  jpeg_start_decompress(&cinfo);
  out.width = static_cast<int>(cinfo.output_width);
  out.height = static_cast<int>(cinfo.output_height);
  out.indexes.resize(static_cast<std::size_t>(out.width) * out.height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.indexes.data() + static_cast<std::size_t>(cinfo.output_scanline) * out.width;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  // The colour map is complete once the second pass has started.
  out.table.assign(static_cast<std::size_t>(cinfo.actual_number_of_colors), Rgbq{});
  for (int i = 0; i < cinfo.actual_number_of_colors; ++i) {
    Rgbq& e = out.table[i];
    if (cinfo.out_color_components == 3) {
      e.red = cinfo.colormap[0][i];
      e.green = cinfo.colormap[1][i];
      e.blue = cinfo.colormap[2][i];
    } else {
      e.red = e.green = e.blue = cinfo.colormap[0][i];
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

bool LibjpegQuantize(Bitmap& image) {
  if (image.empty() || image.indexed()) return false;
  const std::vector<JSAMPLE> rgb = RgbRows(image);
  MallocBuffer jpeg;
  if (!Compress(rgb, image.width(), image.height(), jpeg)) return false;
  Decoded decoded;
  if (!DecompressQuantized(jpeg, decoded)) return false;
  if (decoded.width != image.width() || decoded.height != image.height()) return false;

  Bitmap out(decoded.width, decoded.height, 8);
  out.setColourTable(decoded.table);
  for (int y = 0; y < decoded.height; ++y) {
    const JSAMPLE* src = decoded.indexes.data() + static_cast<std::size_t>(y) * decoded.width;
    std::copy(src, src + decoded.width, out.row(y));
  }
  image = std::move(out);
  return true;
}

}  // namespace glyphwell::imaging
