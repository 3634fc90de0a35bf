#include "core/exif_orientation.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstring>

#include <jpeglib.h>

namespace corvane {
namespace {

// The TIFF structure in the block, read with its own byte order; every read is checked
// against the end of what was read, so a damaged block only means "no orientation".
class Tiff {
 public:
  Tiff(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

  bool ReadByteOrder() {
    if (size_ < 8) return false;
    if (data_[0] == 'I' && data_[1] == 'I') {
      bigEndian_ = false;
    } else if (data_[0] == 'M' && data_[1] == 'M') {
      bigEndian_ = true;
    } else {
      return false;
    }
    return U16(2) == 42;
  }

  bool Has(std::size_t offset, std::size_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  std::uint32_t U16(std::size_t at) const {
    return bigEndian_ ? (data_[at] << 8 | data_[at + 1]) : (data_[at + 1] << 8 | data_[at]);
  }
  std::uint32_t U32(std::size_t at) const {
    return bigEndian_ ? (U16(at) << 16 | U16(at + 2)) : (U16(at + 2) << 16 | U16(at));
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  bool bigEndian_ = false;
};

constexpr unsigned char kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint32_t kOrientationTag = 0x0112;
constexpr std::uint32_t kShortType = 3;
constexpr std::size_t kEntrySize = 12;

// What the marker routine keeps between blocks. It lives in the decompression object's
// memory pool, and nothing in the routine needs a destructor: the library leaves a failed
// read by a long jump straight through it.
struct OrientationReader {
  int* orientation;
  bool seen;  // only the first EXIF block counts
  unsigned char bytes[kExifPrefix];
};

// Appends source bytes to reader->bytes up to `wanted` in all. False when the source had to
// suspend (the program's sources never do).
bool Take(j_decompress_ptr cinfo, std::size_t wanted, OrientationReader* reader,
          std::size_t* have) {
  jpeg_source_mgr* src = cinfo->src;
  while (*have < wanted) {
    if (src->bytes_in_buffer == 0 && !src->fill_input_buffer(cinfo)) return false;
    std::size_t n = src->bytes_in_buffer;
    if (n > wanted - *have) n = wanted - *have;
    std::memcpy(reader->bytes + *have, src->next_input_byte, n);
    *have += n;
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
  }
  return true;
}

std::size_t AtMost(long length, std::size_t limit) {
  return static_cast<std::size_t>(length) < limit ? static_cast<std::size_t>(length) : limit;
}

boolean ReadApp1(j_decompress_ptr cinfo) {
  auto* reader = static_cast<OrientationReader*>(cinfo->client_data);
  std::size_t have = 0;
  if (!Take(cinfo, 2, reader, &have)) return FALSE;
  const long length = static_cast<long>(reader->bytes[0] << 8 | reader->bytes[1]) - 2;
  if (length <= 0) return TRUE;
  have = 0;
  if (!reader->seen) {
    // The header first: a block that is not EXIF is skipped after six bytes.
    if (!Take(cinfo, AtMost(length, sizeof kExifHeader), reader, &have)) return FALSE;
    if (have == sizeof kExifHeader && std::memcmp(reader->bytes, kExifHeader, have) == 0) {
      reader->seen = true;
      const std::size_t wanted = AtMost(length, kExifPrefix);
      // Cameras put the tag within the first hundred bytes, which the source has mostly read
      // already: look there first, and read on only when it is not found in them. A tag
      // found in a prefix is the one the whole block gives, so the answer is the same.
      const std::size_t ready = std::min(wanted - have, cinfo->src->bytes_in_buffer);
      std::memcpy(reader->bytes + have, cinfo->src->next_input_byte, ready);
      int o = ExifOrientation(reader->bytes, have + ready);
      if (o == 0 && have + ready < wanted) {
        if (!Take(cinfo, wanted, reader, &have)) return FALSE;
        o = ExifOrientation(reader->bytes, have);
      }
      if (o != 0) *reader->orientation = o;
    }
  }
  const long rest = length - static_cast<long>(have);
  if (rest > 0) cinfo->src->skip_input_data(cinfo, rest);
  return TRUE;
}

}  // namespace

int ExifOrientation(const unsigned char* payload, std::size_t size) {
  if (size < sizeof kExifHeader || std::memcmp(payload, kExifHeader, sizeof kExifHeader) != 0)
    return 0;
  Tiff tiff(payload + sizeof kExifHeader, size - sizeof kExifHeader);
  if (!tiff.ReadByteOrder()) return 0;
  const std::uint32_t ifd0 = tiff.U32(4);
  if (ifd0 < 8 || !tiff.Has(ifd0, 2)) return 0;
  const std::uint32_t count = tiff.U16(ifd0);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = ifd0 + 2 + static_cast<std::size_t>(i) * kEntrySize;
    if (!tiff.Has(entry, kEntrySize)) return 0;
    if (tiff.U16(entry) != kOrientationTag) continue;
    // One SHORT, held in the first two bytes of the value field.
    if (tiff.U16(entry + 2) != kShortType || tiff.U32(entry + 4) != 1) return 0;
    const std::uint32_t value = tiff.U16(entry + 8);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 0;
  }
  return 0;
}

void ReadOrientationWithHeader(jpeg_decompress_struct* cinfo, int* orientation) {
  auto* reader = static_cast<OrientationReader*>(cinfo->client_data);
  if (!reader) {
    // Owned by the decompression object's memory pool: freed when it is destroyed, also
    // after a failure, and kept for every later image it reads.
    void* memory = cinfo->mem->alloc_small(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT,
                                           sizeof(OrientationReader));
    reader = static_cast<OrientationReader*>(memory);
    cinfo->client_data = reader;
    jpeg_set_marker_processor(cinfo, JPEG_APP0 + 1, ReadApp1);
  }
  reader->orientation = orientation;
  reader->seen = false;
}

}  // namespace corvane
