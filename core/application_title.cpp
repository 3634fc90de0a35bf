#include "core/application_title.h"

#include <cctype>

namespace corvane {

std::string ApplicationTitle(std::string_view executablePath) {
  std::string_view name = executablePath.substr(executablePath.rfind('/') + 1);
  name = name.substr(0, name.find('.'));
  std::string title(name);
  for (std::size_t i = 1; i < title.size(); ++i) {
    title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
  }
  return title;
}

}  // namespace corvane
