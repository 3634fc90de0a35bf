#pragma once
// Real JPEG files for tests and benchmarks, written by libjpeg's own compressor into memory,
// so no binary sample is kept in the tree. Plus helpers that find and patch the frame header
// to make sizes and variants the compressor will not write.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
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
  // APP1 payloads written as they are, before the blocks of app1Sizes (an EXIF block, say).
  std::vector<std::string> app1Payloads = {};
  // Paints pixel (x, y): `components` samples. Unset: the gradient above.
  std::function<void(int x, int y, JSAMPLE* samples)> paint = {};
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

  for (const std::string& payload : o.app1Payloads) {
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(payload.data()),
                      static_cast<unsigned int>(payload.size()));
  }
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
      if (o.paint) {
        o.paint(x, y, &row[static_cast<std::size_t>(x) * o.components]);
        continue;
      }
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

// An EXIF APP1 payload whose IFD0 holds `entries` (tag, type, count, value) in the byte
// order given, IFD0 right after the TIFF header as cameras write it. SHORT values sit in the
// first two bytes of the value field.
struct ExifEntry {
  std::uint16_t tag, type;
  std::uint32_t count, value;
};
inline std::string ExifPayload(const std::vector<ExifEntry>& entries, bool bigEndian = false) {
  std::string out("Exif\0\0", 6);
  auto put16 = [&](std::uint32_t v) {
    if (bigEndian) {
      out += static_cast<char>(v >> 8 & 0xFF);
      out += static_cast<char>(v & 0xFF);
    } else {
      out += static_cast<char>(v & 0xFF);
      out += static_cast<char>(v >> 8 & 0xFF);
    }
  };
  auto put32 = [&](std::uint32_t v) {
    if (bigEndian) {
      put16(v >> 16);
      put16(v & 0xFFFF);
    } else {
      put16(v & 0xFFFF);
      put16(v >> 16);
    }
  };
  out += bigEndian ? "MM" : "II";
  put16(42);
  put32(8);
  put16(static_cast<std::uint32_t>(entries.size()));
  for (const ExifEntry& e : entries) {
    put16(e.tag);
    put16(e.type);
    put32(e.count);
    if (e.type == 3 && e.count == 1) {
      put16(e.value);
      put16(0);
    } else {
      put32(e.value);
    }
  }
  put32(0);  // no next IFD
  return out;
}

inline std::string OrientationPayload(int orientation, bool bigEndian = false) {
  // Make and Model before it, as cameras write them (sorted by tag).
  return ExifPayload({{0x010F, 2, 4, 0},
                      {0x0110, 2, 4, 0},
                      {0x0112, 3, 1, static_cast<std::uint32_t>(orientation)}},
                     bigEndian);
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
