#pragma once
// Real JPEG files for tests and benchmarks, written by libjpeg's own compressor into memory,
// so no binary sample is kept in the tree. Plus helpers that find and patch the frame header
// to make sizes and variants the compressor will not write.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace corvane::testing {

struct JpegOptions {
  int width = 16;
  int height = 12;
  int components = 3;  // 1: grayscale, 3: colour (YCbCr in the file), 4: CMYK (with Adobe marker)
  bool progressive = false;
  bool arithmetic = false;
  bool jfif = true;  // the JFIF APP0 marker right after SOI
  int quality = 75;
  int restartRows = 0;
  // Amplitude of random noise over a smooth gradient: 0 gives a tiny file, large values an
  // almost incompressible one.
  int noise = 0;
  // Sizes of APP1 blocks written after SOI (and JFIF) and before the tables and frame header,
  // like the metadata cameras store there. At most 65533 bytes each.
  std::vector<std::size_t> app1Sizes = {};
};

// The encoded file. The compressor's default error handler ends the process on a bad option,
// which in a test is a bug of the test itself.
inline std::string EncodeJpeg(const JpegOptions& o) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&cinfo, &out, &outSize);

  cinfo.image_width = static_cast<JDIMENSION>(o.width);
  cinfo.image_height = static_cast<JDIMENSION>(o.height);
  cinfo.input_components = o.components;
  cinfo.in_color_space = o.components == 1 ? JCS_GRAYSCALE : o.components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, o.quality, TRUE);
  cinfo.write_JFIF_header = o.jfif ? TRUE : FALSE;
  cinfo.arith_code = o.arithmetic ? TRUE : FALSE;
  cinfo.restart_in_rows = o.restartRows;
  if (o.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);

  for (std::size_t i = 0; i < o.app1Sizes.size(); ++i) {
    std::string block(o.app1Sizes[i], '\0');
    // Recognisable content, never a marker byte that matters: the library skips it whole.
    for (std::size_t j = 0; j < block.size(); ++j) block[j] = static_cast<char>((i * 31 + j) % 251);
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(block.data()),
                      static_cast<unsigned int>(block.size()));
  }

  std::mt19937 rng(12345);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(o.width) * o.components);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < o.width; ++x) {
      for (int c = 0; c < o.components; ++c) {
        int v = (x * 255 / o.width + y * 255 / o.height + c * 64) % 256;
        if (o.noise > 0) v += static_cast<int>(rng() % (2 * o.noise + 1)) - o.noise;
        row[static_cast<std::size_t>(x) * o.components + c] = static_cast<JSAMPLE>(v < 0     ? 0
                                                                                   : v > 255 ? 255
                                                                                             : v);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(out), outSize);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

// Offset of the frame header marker (0xFF, SOFn) found by walking the marker segments from
// SOI, so that table bytes that look like a marker are never mistaken for it.
inline std::size_t FrameHeaderOffset(const std::string& jpeg) {
  std::size_t i = 2;
  while (i + 4 <= jpeg.size()) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(jpeg[k]); };
    if (b(i) != 0xFF) break;
    unsigned char m = b(i + 1);
    if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) return i;
    i += 2 + (static_cast<std::size_t>(b(i + 2)) << 8 | b(i + 3));
  }
  throw std::runtime_error("no frame header in test image");
}

// Frame header layout after the marker: length (2), precision (1), height (2), width (2),
// component count (1), then three bytes per component.
inline std::string WithFrameSize(std::string jpeg, std::uint16_t width, std::uint16_t height) {
  std::size_t sof = FrameHeaderOffset(jpeg);
  jpeg[sof + 5] = static_cast<char>(height >> 8);
  jpeg[sof + 6] = static_cast<char>(height & 0xFF);
  jpeg[sof + 7] = static_cast<char>(width >> 8);
  jpeg[sof + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

inline std::string WithFrameByte(std::string jpeg, std::size_t offsetFromMarker,
                                 unsigned char value) {
  jpeg[FrameHeaderOffset(jpeg) + offsetFromMarker] = static_cast<char>(value);
  return jpeg;
}

}  // namespace corvane::testing
