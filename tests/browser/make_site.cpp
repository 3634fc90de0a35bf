// Writes the site the browser check opens: one page holding a photo stored turned (EXIF
// orientation 6), a PHOTO.JPG entry whose file is photo.jpg, a picture whose name holds 〜
// as input methods type it, and Japanese text, so that a browser reads the page as
// Shift_JIS. Every picture shows a circle: squeezed, it would be an ellipse.
//
// Usage: make_site FOLDER

#include <cstdio>
#include <string>

#include "core/code_page.h"
#include "core/settings.h"
#include "core/site_generator.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace {

using corvane::testing::EncodeJpeg;

// A white picture with a black ring as large as it fits, and a red square in the stored
// top-left corner, so that a screenshot shows which way the picture was turned.
std::string Circle(int width, int height, std::vector<std::string> app1 = {}) {
  return EncodeJpeg({.width = width,
                     .height = height,
                     .jfif = app1.empty(),
                     .quality = 90,
                     .app1Payloads = std::move(app1),
                     .paint = [=](int x, int y, JSAMPLE* rgb) {
                       const double r = (width < height ? width : height) * 0.45;
                       const double dx = x - width / 2.0, dy = y - height / 2.0;
                       const double d = dx * dx + dy * dy;
                       const bool ring = d <= r * r && d >= (r - 12) * (r - 12);
                       const bool corner = x < width / 8 && y < height / 8;
                       rgb[0] = ring ? 0 : 255;
                       rgb[1] = rgb[2] = ring || corner ? 0 : 255;
                     }});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_site FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  using corvane::Sjis;
  using corvane::testing::WriteFile;
  WriteFile(dir + "/turned.jpg", Circle(800, 600, {corvane::testing::OrientationPayload(6)}));
  WriteFile(dir + "/photo.jpg", Circle(640, 480));
  WriteFile(dir + "/\xE6\xB3\xA2\xE3\x80\x9C\xE7\xB7\x9A.jpg", Circle(300, 400));  // 波〜線.jpg
  WriteFile(dir + "/memo.txt",
            Sjis(u8"旅行の写真です。縦に撮った写真も、名前に〜のある写真もあります。\r\n"));
  corvane::Settings settings;
  corvane::SetDefaultSettings(settings);
  settings.ImageLongSide = "300";
  corvane::GenerateSite(
      {Sjis(u8"-----写真-----"), "memo.txt", "turned.jpg", "PHOTO.JPG", Sjis(u8"波～線.jpg"),
       Sjis(u8"-----縦の写真-----"), "memo.txt", "turned.jpg"},
      dir, settings);
  return 0;
}
