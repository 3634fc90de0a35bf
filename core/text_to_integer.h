#pragma once
#include <cstdint>
#include <string>

namespace corvane {

// Leading blanks (0x20 only), then a signed decimal or a "$"/"x"/"X"/"0x"/"0X" hexadecimal
// number (32-bit two's complement) and nothing after it; anything else raises
// EConvertError "'%s' は整数ではありません" with the whole text.
std::int32_t TextToInteger(const std::string& text);

}  // namespace corvane
