#include "core/jpeg_header.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>

#include <jerror.h>

#include "core/errors.h"
#include "core/file_system.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::EncodeJpeg;
using testing::JpegOptions;

// What a measurement gave: a size, or the library's message code.
struct Outcome {
  std::uint32_t width = 0, height = 0;
  int code = -1;  // -1: measured
  int orientation = 1;
  bool operator==(const Outcome&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Outcome& o) {
  return os << o.width << "x" << o.height << " code " << o.code << " orientation " << o.orientation;
}

template <typename Read>
Outcome Measure(Read read) {
  try {
    JpegSize s = read();
    return {s.width, s.height, -1, s.orientation};
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Message().rfind(testing::S(u8"JPEG エラー #"), 0), 0u) << e.Message();
    return {0, 0, e.MessageCode()};
  }
}

Outcome FromMemory(const std::string& bytes) {
  return Measure([&] {
    return ReadJpegSizeFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                  bytes.size());
  });
}

// A file in memory (thousands of probes would otherwise wait on the disk); reads and seeks
// behave as on any regular file.
int MemoryFile(const std::string& bytes) {
  int fd = ::memfd_create("probe.jpg", MFD_CLOEXEC);
  EXPECT_EQ(sys::WriteAll(fd, bytes.data(), bytes.size()), 0);
  ::lseek(fd, 0, SEEK_SET);
  return fd;
}

Outcome FromFile(const std::string& bytes, JpegReadStats* stats = nullptr) {
  int fd = MemoryFile(bytes);
  Outcome o = Measure([&] { return ReadJpegSize(fd, stats); });
  ::close(fd);
  return o;
}

TEST(JpegHeader, SizesOfRealFiles) {
  struct Row {
    const char* name;
    JpegOptions options;
  };
  const Row rows[] = {
      {"baseline", {.width = 640, .height = 480}},
      {"grayscale", {.width = 33, .height = 17, .components = 1}},
      {"cmyk", {.width = 20, .height = 10, .components = 4}},
      {"progressive", {.width = 300, .height = 200, .progressive = true}},
      {"arithmetic", {.width = 123, .height = 45, .arithmetic = true}},
      {"progressive arithmetic",
       {.width = 9, .height = 70, .progressive = true, .arithmetic = true}},
      {"no JFIF, restarts", {.width = 50, .height = 40, .jfif = false, .restartRows = 1}},
      {"64 KB metadata", {.width = 64, .height = 48, .app1Sizes = {65533}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string bytes = EncodeJpeg(r.options);
    const Outcome expected{static_cast<std::uint32_t>(r.options.width),
                           static_cast<std::uint32_t>(r.options.height), -1};
    EXPECT_EQ(FromMemory(bytes), expected);
    EXPECT_EQ(FromFile(bytes), expected);
  }
}

// Metadata blocks before the frame header are seeked over, not read.
TEST(JpegHeader, LargeMarkersAreSkippedNotRead) {
  for (const auto& sizes : {std::vector<std::size_t>{65533},
                            std::vector<std::size_t>{65533, 40000, 3000, 65533, 20000, 65533}}) {
    const std::string bytes = testing::WithFrameSize(EncodeJpeg({.app1Sizes = sizes}), 6000, 4000);
    JpegReadStats stats;
    EXPECT_EQ(FromFile(bytes, &stats), (Outcome{6000, 4000, -1}));
    EXPECT_GT(bytes.size(), 65536u);
    EXPECT_LE(stats.bytesRead, 16384u);
  }
}

TEST(JpegHeader, EmptyInputMeasuresZeroWithoutTheLibrary) {
  JpegReadStats stats{99};
  EXPECT_EQ(FromFile("", &stats), (Outcome{0, 0, -1}));
  EXPECT_EQ(stats.bytesRead, 0u);
  EXPECT_EQ(FromMemory(""), (Outcome{0, 0, -1}));
}

TEST(JpegHeader, RejectedHeadersGiveTheLibraryCode) {
  const std::string good = EncodeJpeg({});
  const std::size_t sof = testing::FrameHeaderOffset(good);
  struct Row {
    const char* name;
    std::string bytes;
    Outcome expected;
  };
  const Row rows[] = {
      {"png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), {0, 0, JERR_NO_SOI}},
      {"text", "hello\r\n", {0, 0, JERR_NO_SOI}},
      {"SOI only", good.substr(0, 2), {0, 0, JERR_NO_IMAGE}},
      {"cut before the frame header", good.substr(0, sof), {0, 0, JERR_NO_IMAGE}},
      {"cut after the frame length", good.substr(0, sof + 4), {0, 0, JERR_BAD_LENGTH}},
      {"cut after the frame header", good.substr(0, sof + 19), {0, 0, JERR_SOF_NO_SOS}},
      {"height 0", testing::WithFrameSize(good, 16, 0), {0, 0, JERR_EMPTY_IMAGE}},
      {"65535 x 65535", testing::WithFrameSize(good, 65535, 65535), {0, 0, JERR_IMAGE_TOO_BIG}},
      {"65501 wide", testing::WithFrameSize(good, 65501, 1), {0, 0, JERR_IMAGE_TOO_BIG}},
      {"largest accepted", testing::WithFrameSize(good, 65500, 65500), {65500, 65500, -1}},
      {"12-bit samples", testing::WithFrameByte(good, 4, 12), {0, 0, JERR_BAD_PRECISION}},
      {"lossless", testing::WithFrameByte(good, 1, 0xC3), {0, 0, JERR_SOF_UNSUPPORTED}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(FromMemory(r.bytes), r.expected);
    EXPECT_EQ(FromFile(r.bytes), r.expected);
  }
}

// The file source must hand the library exactly the stream the memory source does, fake
// end markers after a truncation and skips past the end included, also where the EXIF
// orientation is read: cut and damage files at many places and compare.
TEST(JpegHeader, FileAndMemorySourcesAgreeOnDamagedFiles) {
  std::mt19937 rng(3);
  int failures = 0;
  for (const JpegOptions& options :
       {JpegOptions{.width = 40, .height = 30, .app1Sizes = {5000, 333}},
        JpegOptions{.width = 40, .height = 30, .progressive = true, .app1Sizes = {2999}},
        JpegOptions{.width = 8, .height = 8, .components = 4, .arithmetic = true},
        JpegOptions{.width = 40, .height = 30, .app1Payloads = {testing::OrientationPayload(7)}}}) {
    const std::string good = EncodeJpeg(options);
    const std::size_t headerEnd = good.size() / 2;  // well past the scan header
    for (std::size_t cut = 1; cut < headerEnd; cut += cut < 2048 ? 1 : 7) {
      const std::string bytes = good.substr(0, cut);
      Outcome mem = FromMemory(bytes);
      failures += mem.code >= 0;
      ASSERT_EQ(FromFile(bytes), mem) << "cut at " << cut;
    }
    for (int i = 0; i < 300; ++i) {
      std::string bytes = good.substr(0, headerEnd);
      for (int k = 0; k < 3; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
      ASSERT_EQ(FromFile(bytes), FromMemory(bytes)) << "mutation " << i;
    }
  }
  EXPECT_GT(failures, 0);
}

// Files are read one after another by the same decoder, reset between them: nothing of one
// file (its orientation, its failure, a failure to even read it) may show in the next.
TEST(JpegHeader, EachFileIsMeasuredAsIfItWereTheFirst) {
  const std::string turned =
      EncodeJpeg({.width = 40, .height = 30, .app1Payloads = {testing::OrientationPayload(6)}});
  const std::string plain = EncodeJpeg({.width = 24, .height = 16, .jfif = false});
  const std::string progressive = EncodeJpeg({.width = 17, .height = 9, .progressive = true});
  const std::string cmyk = EncodeJpeg({.width = 8, .height = 8, .components = 4});
  const std::string cut = turned.substr(0, testing::FrameHeaderOffset(turned) + 5);
  const std::string text = "not a picture at all\r\n";
  std::vector<const std::string*> order = {&turned, &plain, &cut,  &plain,      &text,
                                           &turned, &cmyk,  &text, &progressive};
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::string* bytes : order) EXPECT_EQ(FromFile(*bytes), FromMemory(*bytes));
    // A failed read in the middle of a header leaves the decoder usable.
    {
      testing::ScopedFault fail(sys::Call::Read, 2, EIO);
      const std::string big = EncodeJpeg({.app1Sizes = {65533}});
      int fd = MemoryFile(big);
      EXPECT_THROW(ReadJpegSize(fd), EInOutError);
      ::close(fd);
    }
    std::reverse(order.begin(), order.end());
  }
  EXPECT_EQ(FromFile(plain), (Outcome{24, 16, -1, 1}));
  EXPECT_EQ(FromFile(turned), (Outcome{40, 30, -1, 6}));
}

TEST(JpegHeader, TruncatedInsideTheFrameHeaderFails) {
  const std::string good = EncodeJpeg({.components = 3});
  const std::size_t sof = testing::FrameHeaderOffset(good);
  for (std::size_t cut = sof; cut < sof + 2 + 17; ++cut) {
    EXPECT_GE(FromFile(good.substr(0, cut)).code, 0) << "cut at " << cut;
  }
}

TEST(JpegHeader, ReadFailuresAreIoErrors) {
  const std::string bytes = EncodeJpeg({.app1Sizes = {65533}});
  // Fail the first read, then the read past the metadata block.
  for (int failAt : {1, 2}) {
    int calls = 0;
    sys::SetFaultHook(
        [&](sys::Call c) { return c == sys::Call::Read && ++calls == failAt ? EIO : 0; });
    int fd = MemoryFile(bytes);
    EXPECT_THROW(ReadJpegSize(fd), EInOutError) << failAt;
    sys::SetFaultHook(nullptr);
    ::close(fd);
  }
}

}  // namespace
}  // namespace corvane
