#pragma once
// The displayed size of an image: its longer side becomes ImageLongSide pixels and the
// shorter side is scaled with the program's exact rounding rule.

#include <cstdint>
#include <string>
#include <utility>

#include "core/file_system.h"
#include "core/jpeg_header.h"

namespace corvane {

// L / longSide, rounded to a 64-bit significand (nearest, ties to even), times shortSide,
// rounded the same way, then truncated toward zero. Computed exactly with integers so every
// processor gives the same result. longSide == 0 raises EZeroDivide (L != 0) or EInvalidOp.
std::int64_t ScaledShortSide(std::int32_t L, std::uint32_t longSide, std::uint32_t shortSide);

// The WIDTH and HEIGHT texts for an image of width w and height h: the longer side (height
// for a square) is the longSideText unchanged, the other ScaledShortSide in decimal.
// longSideText is converted with TextToInteger here, after the image was measured.
std::pair<std::string, std::string> DisplaySizeTexts(std::uint32_t w, std::uint32_t h,
                                                     const std::string& longSideText);

// Reads the image file at path (this file system's name) and returns its display size texts.
// The file is read only up to its frame header; an EXIF orientation of a quarter turn
// exchanges width and height first. Errors: EFOpenError with `entry` when it cannot be opened,
// EJPEG for a file the JPEG library rejects, then the errors of DisplaySizeTexts.
// An empty file measures 0 x 0.
std::pair<std::string, std::string> ImageDisplaySize(const std::string& path,
                                                     const std::string& entry,
                                                     const std::string& longSideText);

// Opens an image file (this file system's name, in the folder `dir` held for the run) for
// ImageDisplaySize; an empty handle with errno set when it does not open.
sys::FileHandle OpenImageFile(int dir, const std::string& fsName);
inline sys::FileHandle OpenImageFile(const std::string& fsPath) {
  return OpenImageFile(AT_FDCWD, fsPath);
}
// The same for a file already opened with OpenImageFile (which may have failed), closed here;
// stats, when given, as ReadJpegSize takes and fills it.
std::pair<std::string, std::string> ImageDisplaySize(sys::FileHandle file, const std::string& entry,
                                                     const std::string& longSideText,
                                                     JpegReadStats* stats = nullptr);

}  // namespace corvane
