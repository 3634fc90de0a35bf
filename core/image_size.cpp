#include "core/image_size.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <bit>
#include <cerrno>
#include <utility>

#include "core/errors.h"
#include "core/exif_orientation.h"
#include "core/file_system.h"
#include "core/jpeg_header.h"
#include "core/text_to_integer.h"

namespace corvane {
namespace {

using u128 = unsigned __int128;

int BitLength(u128 v) {
  auto high = static_cast<std::uint64_t>(v >> 64);
  if (high != 0) return 128 - std::countl_zero(high);
  return 64 - std::countl_zero(static_cast<std::uint64_t>(v));
}

// Rounds v to 64 significant bits, to nearest, ties to even, and returns the rounded value
// as an integer of the same scale (the dropped bits become zero; a carry out of the top
// bit is kept, since 2^64 times a power of two is itself representable). `sticky` says
// that the true value lies strictly above v by less than one unit of its last bit: the
// remainder of a division that did not come out even.
u128 RoundTo64Bits(u128 v, bool sticky) {
  int bits = BitLength(v);
  if (bits <= 64) return v;
  int drop = bits - 64;
  u128 kept = v >> drop;
  u128 rest = v & ((u128{1} << drop) - 1);
  u128 half = u128{1} << (drop - 1);
  if (rest > half || (rest == half && (sticky || (kept & 1) != 0))) ++kept;
  return kept << drop;
}

}  // namespace

// No lock is taken. The program and its other running copies never write a file whose name
// ends in "jpg", and an advisory lock keeps out nobody else, so a lock would only add a
// system call to every image: the header is read in a few microseconds.
sys::FileHandle OpenImageFile(int dir, const std::string& fsName) {
  // Non-blocking, so that a pipe given an image's name cannot stall the run waiting for a
  // writer; regular files ignore the flag.
  return sys::OpenHandleAt(dir, fsName.c_str(), O_RDONLY | O_NONBLOCK);
}

std::int64_t ScaledShortSide(std::int32_t L, std::uint32_t longSide, std::uint32_t shortSide) {
  if (longSide == 0) {
    if (L == 0) throw EInvalidOp();
    throw EZeroDivide();
  }
  // Rounding to nearest is symmetric, and so is truncation toward zero: work on the
  // magnitude and put the sign back at the end.
  const bool negative = L < 0;
  const std::uint64_t a = negative ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(L))
                                   : static_cast<std::uint64_t>(L);
  if (a == 0 || shortSide == 0) return 0;

  // Quotient a / longSide as quotient * 2^-k, scaled so that the integer quotient has 65 or
  // 66 bits: rounding then always drops at least one bit, and the division's remainder only
  // has to break ties. a < 2^32 and k <= 97 - bitlen(a), so the shifted dividend fits.
  const int k = 65 + BitLength(longSide) - BitLength(a);
  const u128 dividend = u128{a} << k;
  const u128 quotient = dividend / longSide;
  const bool inexact = dividend % longSide != 0;
  const u128 q = RoundTo64Bits(quotient, inexact);  // at most 2^66

  // The product of a 64-bit significand and a 32-bit integer needs up to 98 bits; it is
  // exact here, so only the rounding back to 64 bits matters.
  const u128 p = RoundTo64Bits(q * shortSide, false);
  const auto whole = static_cast<std::int64_t>(p >> k);  // truncation toward zero
  return negative ? -whole : whole;
}

std::pair<std::string, std::string> DisplaySizeTexts(std::uint32_t w, std::uint32_t h,
                                                     const std::string& longSideText) {
  const std::int32_t L = TextToInteger(longSideText);
  if (h < w) return {longSideText, std::to_string(ScaledShortSide(L, w, h))};
  // Portrait, and squares too: the height carries the text and the width is computed.
  return {std::to_string(ScaledShortSide(L, h, w)), longSideText};
}

std::pair<std::string, std::string> ImageDisplaySize(sys::FileHandle file, const std::string& entry,
                                                     const std::string& longSideText,
                                                     JpegReadStats* stats) {
  JpegSize size;
  {
    // A file that does not open and anything but a regular file (a pipe, a device, a folder)
    // are the same failure to the user.
    sys::FileHandle image = std::move(file);
    if (!image) throw EFOpenError::CannotOpen(entry);
    struct stat st;
    if (sys::Fstat(image.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
      throw EFOpenError::CannotOpen(entry);
    }
    size = ReadJpegSize(image.Get(), stats);
  }
  // Browsers show a photo turned by its EXIF orientation: a quarter turn exchanges the sides
  // the page must give it, or it is squeezed.
  if (IsQuarterTurn(size.orientation)) std::swap(size.width, size.height);
  // Only now is the setting converted, so a broken image is reported before a bad setting.
  return DisplaySizeTexts(size.width, size.height, longSideText);
}

std::pair<std::string, std::string> ImageDisplaySize(const std::string& path,
                                                     const std::string& entry,
                                                     const std::string& longSideText) {
  return ImageDisplaySize(OpenImageFile(path), entry, longSideText);
}

}  // namespace corvane
