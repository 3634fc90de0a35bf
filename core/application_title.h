#pragma once
#include <string>
#include <string_view>

namespace corvane {

// The title message boxes carry: the executable's file name without its folder, cut before
// its first ".", every character after the first in lower case ("CORVANE.EXE" -> "Corvane").
std::string ApplicationTitle(std::string_view executablePath);

}  // namespace corvane
