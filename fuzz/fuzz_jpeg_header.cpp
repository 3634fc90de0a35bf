// Measuring a JPEG through the file source the site generator uses, on arbitrary bytes:
// errors are expected, crashes and leaks are not. The file source pulls the file in chunks
// and seeks over what the decoder skips; it must reach the same outcome as the decoder's own
// memory source given the whole file.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/errors.h"
#include "core/jpeg_header.h"
#include "fuzz/fuzz_support.h"

using namespace corvane::fuzzing;

namespace {

// One in-memory file for the whole run, rewritten for each input.
int MemoryFile() {
  static const int fd = [] {
    int fd = ::memfd_create("jpeg", MFD_CLOEXEC);
    if (fd < 0) Fail("memfd_create failed");
    return fd;
  }();
  return fd;
}

void Rewrite(int fd, const std::uint8_t* data, std::size_t size) {
  if (::ftruncate(fd, 0) != 0) Fail("ftruncate failed");
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) Fail("pwrite failed");
    done += static_cast<std::size_t>(n);
  }
  if (::lseek(fd, 0, SEEK_SET) != 0) Fail("lseek failed");
}

// A measurement, or the decoder's message number when it refused the bytes.
struct Outcome {
  std::optional<corvane::JpegSize> size;
  int errorCode = 0;
};

template <typename F>
Outcome Measure(F&& read) {
  Outcome o;
  try {
    o.size = read();
  } catch (const corvane::EJPEG& e) {
    o.errorCode = e.MessageCode();
  }
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = MemoryFile();
  Rewrite(fd, data, size);

  corvane::JpegReadStats stats;
  // An I/O error cannot happen on a memory file, so anything other than EJPEG escaping is a
  // fault and ends the run.
  const Outcome fromFile = Measure([&] { return corvane::ReadJpegSize(fd, &stats); });
  const Outcome fromMemory = Measure([&] { return corvane::ReadJpegSizeFromMemory(data, size); });

  FUZZ_CHECK(stats.bytesRead <= size);
  FUZZ_CHECK(fromFile.size.has_value() == fromMemory.size.has_value());
  if (fromFile.size) {
    FUZZ_CHECK(fromFile.size->width == fromMemory.size->width);
    FUZZ_CHECK(fromFile.size->height == fromMemory.size->height);
    FUZZ_CHECK(fromFile.size->orientation == fromMemory.size->orientation);
    FUZZ_CHECK(fromFile.size->orientation >= 1 && fromFile.size->orientation <= 8);
    // An empty file is 0 x 0; a header the decoder accepts never has a zero side.
    if (size == 0) {
      FUZZ_CHECK(fromFile.size->width == 0 && fromFile.size->height == 0);
    } else {
      FUZZ_CHECK(fromFile.size->width > 0 && fromFile.size->height > 0);
    }
  } else {
    FUZZ_CHECK(fromFile.errorCode == fromMemory.errorCode);
  }
  return 0;
}
