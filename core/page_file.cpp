#include "core/page_file.h"

#include "core/code_page.h"

namespace corvane {

// Bytes that are not CP932 (a saved list edited elsewhere) become U+FFFD: a page never
// holds broken UTF-8.
void PageFile::WriteLine(const std::string& cp932) {
  file_.WriteLine(Cp932ToUtf8(cp932));
}

}  // namespace corvane
