#include "core/image_size.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <limits>
#include <random>

#include "core/errors.h"
#include "core/file_system.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::S;
using testing::TempDir;

// A real file whose frame header says w x h (only the header is ever read).
std::string JpegOfSize(std::uint16_t w, std::uint16_t h) {
  static const std::string base = testing::EncodeJpeg({});
  return testing::WithFrameSize(base, w, h);
}

// The message of the error of kind E that f raises; any other error fails the test.
template <typename E, typename F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return "no error";
}

TEST(ImageDisplaySize, WorkedExamples) {
  struct Row {
    std::uint16_t w, h;
    const char* longSide;
    const char* width;
    const char* height;
  };
  const Row rows[] = {
      {800, 600, "600", "600", "450"},
      {600, 800, "600", "450", "600"},
      {80, 60, "600", "600", "450"},
      {1920, 1080, "600", "600", "337"},
      {1080, 1920, "600", "337", "600"},
      {800, 533, "600", "600", "399"},
      {300, 300, "600", "600", "600"},
      {265, 265, "600", "599", "600"},
      {18, 15, "600", "600", "499"},
      {15, 18, "600", "499", "600"},
      {1, 2000, "600", "0", "600"},
      {1024, 768, "400", "400", "300"},
      {801, 800, "600", "600", "599"},
      {800, 801, "600", "599", "600"},
      // The long side repeats the setting text as typed; only the computed side is decimal.
      {800, 600, "0600", "0600", "450"},
      {800, 600, "+600", "+600", "450"},
      {800, 600, " $258", " $258", "450"},
      {800, 600, "-600", "-600", "-450"},
      {800, 600, "0", "0", "0"},
      {600, 800, "0", "0", "0"},
  };
  TempDir dir;
  int n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.w) + "x" + std::to_string(r.h) + " " + r.longSide);
    const std::string path = dir / (std::to_string(++n) + ".jpg");
    testing::WriteFile(path, JpegOfSize(r.w, r.h));
    EXPECT_EQ(ImageDisplaySize(path, "a.jpg", r.longSide),
              std::make_pair(std::string(r.width), std::string(r.height)));
  }
}

// The integer emulation must agree with the processor's own 80-bit arithmetic everywhere,
// not just on the worked examples.
TEST(ScaledShortSide, MatchesExtendedPrecisionHardware) {
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    auto hardware = [](std::int32_t L, std::uint32_t lng, std::uint32_t shrt) {
      volatile long double q = static_cast<long double>(L) / static_cast<long double>(lng);
      volatile long double p = q * static_cast<long double>(shrt);
      return static_cast<std::int64_t>(p);
    };
    for (std::uint32_t side = 1; side <= 65535; ++side) {
      ASSERT_EQ(ScaledShortSide(600, side, side), hardware(600, side, side)) << side;
      ASSERT_EQ(ScaledShortSide(-1, side, side - 1), hardware(-1, side, side - 1)) << side;
    }
    std::mt19937_64 rng(7);
    const std::int32_t edgeL[] = {std::numeric_limits<std::int32_t>::min(), -1, 1, 600,
                                  std::numeric_limits<std::int32_t>::max()};
    for (int i = 0; i < 400000; ++i) {
      auto L = i % 8 == 0 ? edgeL[rng() % 5] : static_cast<std::int32_t>(rng());
      if (i % 2) L %= 10000;
      // Mostly pixel sizes, sometimes anything a 32-bit side can hold.
      std::uint32_t mask = i % 16 == 0 ? 0xFFFFFFFF : 0xFFFF;
      std::uint32_t lng = static_cast<std::uint32_t>(rng()) & mask;
      std::uint32_t shrt = static_cast<std::uint32_t>(rng()) & mask;
      if (lng == 0) continue;
      ASSERT_EQ(ScaledShortSide(L, lng, shrt), hardware(L, lng, shrt))
          << L << " " << lng << " " << shrt;
    }
  } else {
    GTEST_SKIP() << "long double is not the 80-bit format here";
  }
}

TEST(ImageDisplaySize, EmptyFileMeasuresZeroAndFailsToDivide) {
  TempDir dir;
  testing::WriteFile(dir / "e.jpg", "");
  auto measure = [&](const char* longSide) {
    return [&dir, longSide] { ImageDisplaySize(dir / "e.jpg", "e.jpg", longSide); };
  };
  EXPECT_EQ(ErrorOf<EZeroDivide>(measure("600")), S(u8"0 による浮動小数点数除算"));
  EXPECT_EQ(ErrorOf<EZeroDivide>(measure("-1")), S(u8"0 による浮動小数点数除算"));
  EXPECT_EQ(ErrorOf<EInvalidOp>(measure("0")), S(u8"不正な浮動小数点数演算命令"));
  // The setting is converted before anything is divided.
  EXPECT_EQ(ErrorOf<EConvertError>(measure("abc")), S(u8"'abc' は整数ではありません"));
}

// Which error wins when both the image and the setting are bad, and that the file is closed
// whichever error ends the call.
TEST(ImageDisplaySize, ImageErrorsComeBeforeTheSettingAndCloseTheFile) {
  TempDir dir;
  testing::WriteFile(dir / "good.jpg", JpegOfSize(800, 600));
  const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR";
  testing::WriteFile(dir / "b.jpg", std::string(png, sizeof png - 1));
  const int before = testing::OpenDescriptorCount();
  EXPECT_THROW(ImageDisplaySize(dir / "none.jpg", "none.jpg", "abc"), EFOpenError);
  EXPECT_EQ(ErrorOf<EJPEG>([&] {
              ImageDisplaySize(dir / "b.jpg", "b.jpg", "abc");
            }).rfind(S(u8"JPEG エラー #"), 0),
            0u);
  EXPECT_THROW(ImageDisplaySize(dir / "good.jpg", "good.jpg", "abc"), EConvertError);
  sys::SetFaultHook([](sys::Call c) { return c == sys::Call::Read ? EIO : 0; });
  EXPECT_THROW(ImageDisplaySize(dir / "good.jpg", "good.jpg", "600"), EInOutError);
  sys::SetFaultHook(nullptr);
  EXPECT_EQ(testing::OpenDescriptorCount(), before);
}

TEST(ImageDisplaySize, FilesThatCannotBeOpenedNameTheEntry) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "x.jpg").c_str(), 0755), 0);
  const std::string badName = std::string("\x81", 1);  // a lead byte with no trail byte
  for (const std::string& entry : {std::string("missing.jpg"), std::string("x.jpg"), badName}) {
    EXPECT_EQ(
        ErrorOf<EFOpenError>([&] { ImageDisplaySize(dir.Path() + "/" + entry, entry, "600"); }),
        S(u8"ファイル ") + entry + S(u8" は開けません"));
  }
}

TEST(ImageDisplaySize, JapaneseFileName) {
  TempDir dir;
  const std::string name = S(u8"写真ソ.jpg");  // ソ has '\' as its trail byte
  testing::WriteFile(dir / reinterpret_cast<const char*>(u8"写真ソ.jpg"), JpegOfSize(1920, 1080));
  EXPECT_EQ(ImageDisplaySize(dir / reinterpret_cast<const char*>(u8"写真ソ.jpg"), name, "600"),
            std::make_pair(std::string("600"), std::string("337")));
}

}  // namespace
}  // namespace corvane
