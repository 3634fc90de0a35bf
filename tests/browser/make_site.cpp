// Writes the two sites the browser check opens, and what each page must show.
//
// FOLDER/many: Japanese headings; text files in every encoding the program reads (Shift_JIS
// and UTF-8 on one page), 𠮷 and an emoji; a photo stored turned (EXIF orientation 6), a
// PHOTO.JPG entry whose file is photo.jpg, and a picture whose name holds 〜 as input methods
// type it. FOLDER/one: a single heading, 京都, whose page holds nothing but the picture
// 京都.JPG, so its only Japanese is in an attribute. Every picture shows a circle: squeezed,
// it would be an ellipse.
//
// Each folder gets expected.json: for each page, the lines its text must show (a picture's
// line shows as an empty one) and how many pictures it holds.
//
// Usage: make_site FOLDER

#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/code_page.h"
#include "core/settings.h"
#include "core/site_generator.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace {

using corvane::testing::EncodeJpeg;
using corvane::testing::U;
using corvane::testing::WriteFile;

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

std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string out;
  for (char16_t u : text) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

std::string Json(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

struct Page {
  std::vector<std::string> lines;
  int pictures = 0;
};

void WriteExpected(const std::string& dir, const std::map<std::string, Page>& pages) {
  std::string json = "{";
  for (const auto& [name, page] : pages) {
    if (json.size() > 1) json += ",";
    json +=
        "\n" + Json(name) + ": {\"pictures\": " + std::to_string(page.pictures) + ", \"lines\": [";
    for (std::size_t i = 0; i < page.lines.size(); ++i) {
      json += (i ? ", " : "") + Json(page.lines[i]);
    }
    json += "]}";
  }
  WriteFile(dir + "/expected.json", json + "\n}\n");
}

void ManyHeadings(const std::string& dir) {
  using corvane::Sjis;
  WriteFile(dir + "/turned.jpg", Circle(800, 600, {corvane::testing::OrientationPayload(6)}));
  WriteFile(dir + "/photo.jpg", Circle(640, 480));
  WriteFile(dir + "/\xE6\xB3\xA2\xE3\x80\x9C\xE7\xB7\x9A.jpg", Circle(300, 400));  // 波〜線.jpg
  WriteFile(dir + "/linux.txt", U(u8"Linux の編集で保存した京都の文です。\n二行目\n"));
  WriteFile(dir + "/sjis.txt", Sjis(u8"シフトJISで書いた表と能の文です。\r\n"));
  WriteFile(dir + "/bom.txt", U(u8"\uFEFF印のある UTF-8 の文\r\n"));
  WriteFile(dir + "/le.txt", "\xFF\xFE" + Utf16(u"UTF-16 LE の文、𠮷と😀\r\n", false));
  WriteFile(dir + "/be.txt", "\xFE\xFF" + Utf16(u"UTF-16 BE の文\r\n", true));
  WriteFile(dir + "/lenomark.txt", Utf16(u"印のない UTF-16 の奈良\r\n", false));
  WriteFile(dir + "/jis.txt", "\x1B$B5~ET$N=)\x1B(B ISO-2022-JP\r\n");  // 京都の秋
  WriteFile(dir + "/euc.txt",
            "\xC6\xE0\xCE\xC9\xA4\xCE\xBD\xA9\xA1\xA2\xB9\xC8\xCD\xD5 EUC-JP\n");  // 奈良の秋、紅葉
  WriteFile(dir + "/astral.txt", U(u8"𠮷野家で😀\n"));
  corvane::Settings settings;
  corvane::SetDefaultSettings(settings);
  settings.ImageLongSide = "300";
  settings.MenuPosition = "L";
  corvane::GenerateSite(
      {Sjis(u8"-----京都-----"), "linux.txt", "sjis.txt", "turned.jpg", "PHOTO.JPG",
       Sjis(u8"波～線.jpg"), Sjis(u8"-----奈良の秋-----"), "bom.txt", "le.txt", "be.txt",
       "lenomark.txt", Sjis(u8"-----旅行-----"), "jis.txt", "euc.txt", "astral.txt", "turned.jpg"},
      dir, settings);
  WriteExpected(
      dir,
      {
          {"MENU.htm", {{U(u8"京都"), U(u8"奈良の秋"), U(u8"旅行")}}},
          {"1.htm",
           {{U(u8"Linux の編集で保存した京都の文です。"), U(u8"二行目"),
             U(u8"シフトJISで書いた表と能の文です。"), "", "", ""},
            3}},
          {"2.htm",
           {{U(u8"印のある UTF-8 の文"), U(u8"UTF-16 LE の文、𠮷と😀"), U(u8"UTF-16 BE の文"),
             U(u8"印のない UTF-16 の奈良")}}},
          {"3.htm",
           {{U(u8"京都の秋 ISO-2022-JP"), U(u8"奈良の秋、紅葉 EUC-JP"), U(u8"𠮷野家で😀"), ""}, 1}},
      });
}

void OneHeading(const std::string& dir) {
  WriteFile(dir + "/\xE4\xBA\xAC\xE9\x83\xBD.JPG", Circle(640, 480));  // 京都.JPG
  corvane::Settings settings;
  corvane::SetDefaultSettings(settings);
  settings.ImageLongSide = "300";
  corvane::GenerateSite({corvane::Sjis(u8"-----京都-----"), corvane::Sjis(u8"京都.JPG")}, dir,
                        settings);
  WriteExpected(dir, {{"MENU.htm", {{U(u8"京都")}}}, {"1.htm", {{""}, 1}}});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_site FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  ::mkdir((dir + "/many").c_str(), 0777);
  ::mkdir((dir + "/one").c_str(), 0777);
  ManyHeadings(dir + "/many");
  OneHeading(dir + "/one");
  return 0;
}
