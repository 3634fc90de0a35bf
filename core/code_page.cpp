#include "core/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "core/errors.h"

namespace corvane {
namespace {

// One iconv conversion descriptor, closed when the converter goes away.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the whole input; returns false at the first sequence that cannot be converted,
  // with *bad the offset of that sequence.
  bool Convert(std::string_view in, std::string& out, std::size_t* bad) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.clear();
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char chunk[512];
    while (srcLeft > 0) {
      char* dst = chunk;
      std::size_t dstLeft = sizeof chunk;
      std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(chunk, dst - chunk);
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        *bad = in.size() - srcLeft;
        return false;
      }
    }
    return true;
  }

 private:
  iconv_t cd_;
};

// One converter per thread: a conversion keeps state in it, and a generation converts names
// on a thread of its own while the window converts the texts it shows.
Converter& ToUtf8() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}
Converter& FromUtf8() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}

// Converts to UTF-8, each byte that does not convert shown as U+FFFD (stateless encodings).
std::string ConvertShowingBadBytes(Converter& toUtf8, std::string_view in) {
  std::string result;
  std::string part;
  while (true) {
    std::size_t bad = 0;
    if (toUtf8.Convert(in, part, &bad)) {
      result += part;
      return result;
    }
    result += part;
    result += "\xEF\xBF\xBD";
    in.remove_prefix(bad + 1);
  }
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  return ConvertShowingBadBytes(ToUtf8(), cp932);
}

std::string EucJpToUtf8(std::string_view eucJp) {
  // The Microsoft flavour: it holds the NEC and IBM characters CP932 has (①, ㈱, 髙...),
  // as EUC-JP files written on Windows do, besides all of standard EUC-JP. One a thread, as
  // above: a run let go may still decode while the next run does.
  thread_local Converter c("UTF-8", "EUC-JP-MS");
  return ConvertShowingBadBytes(c, eucJp);
}

std::string Cp932ToUtf8Strict(std::string_view cp932) {
  std::string out;
  std::size_t bad = 0;
  if (!ToUtf8().Convert(cp932, out, &bad)) {
    throw EEncodingError(Sjis(u8"ファイル名に使えない文字があります: ") + std::string(cp932));
  }
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  std::size_t bad = 0;
  if (!FromUtf8().Convert(utf8, out, &bad)) {
    // Name the text in a form CP932 can show: the part before the offending character.
    std::string shown;
    std::size_t okBad = 0;
    FromUtf8().Convert(utf8.substr(0, bad), shown, &okBad);
    throw EEncodingError(Sjis(u8"この文字はシフトJISで表せません: ") + shown + "?");
  }
  return out;
}

std::string Sjis(std::u8string_view utf8) {
  std::string out;
  std::size_t bad = 0;
  std::string_view in(reinterpret_cast<const char*>(utf8.data()), utf8.size());
  if (!FromUtf8().Convert(in, out, &bad))
    throw std::logic_error("literal not representable in CP932");
  return out;
}

}  // namespace corvane
