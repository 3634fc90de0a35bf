#pragma once
// Reads the pixel size from a JPEG's frame header with libjpeg, pulling the file in small
// chunks on demand and seeking over the markers libjpeg skips, so that neither time nor
// memory grows with the file's size.

#include <cstdint>

namespace corvane {

struct JpegSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int orientation = 1;  // EXIF orientation, 1 (as stored) without a valid tag
};

// Whether a file's first block was in memory when it was read.
enum class FirstBlock { NotAsked, Cached, NotCached };

struct JpegReadStats {
  std::uint64_t bytesRead = 0;  // bytes actually read from the file
  // Set by the caller: make the first read ask for what is in memory before waiting for the
  // disk, which costs nothing more when the file is in memory. firstBlock then says what it
  // found; NotAsked where the file system cannot tell.
  bool askCached = false;
  FirstBlock firstBlock = FirstBlock::NotAsked;
};

// fd: an open file; it is read from its start whatever its position. An empty file gives 0 x 0.
// libjpeg's fatal errors raise EJPEG with the library's message code; warnings are ignored. The
// decompression object is always destroyed; the caller owns fd.
JpegSize ReadJpegSize(int fd, JpegReadStats* stats = nullptr);

// The same, from bytes in memory (the fuzz target and tests use it).
JpegSize ReadJpegSizeFromMemory(const unsigned char* data, std::size_t size);

}  // namespace corvane
