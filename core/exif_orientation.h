#pragma once
// The EXIF orientation of a JPEG: how a viewer turns the stored pixels to show the photo.
// Cameras store a portrait photo as landscape pixels plus this tag, and browsers turn the
// picture by it, so the page must give the turned sides.

#include <cstddef>

struct jpeg_decompress_struct;

namespace corvane {

// The orientation (1..8) in an APP1 block's payload (the bytes after its length field):
// "Exif\0\0", a TIFF header, IFD0 and its tag 0x0112. 0 when the block holds none, or
// when anything about it is out of place or cut short; reading never fails.
int ExifOrientation(const unsigned char* payload, std::size_t size);

// 5 to 8 turn the picture a quarter: its width and height change places.
inline bool IsQuarterTurn(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

// Has the decompression object read the orientation from the first EXIF block it meets
// while reading the header, into *orientation (left as it is when there is none). Only the
// start of the block is read, at most kExifPrefix bytes; the rest is skipped like any
// other block, so reading the tag keeps the header reader's small reading budget. Called
// again for each image an object reads; client_data is the routine's own.
void ReadOrientationWithHeader(jpeg_decompress_struct* cinfo, int* orientation);
constexpr std::size_t kExifPrefix = 4096;

}  // namespace corvane
