#pragma once

// Code points to UTF-8 and UTF-16 units: the one encoder of each that the layers share.

#include <string>

namespace marigold {

// Appends Code (at most U+10FFFF, no surrogate) as UTF-8.
inline void AppendUtf8(std::string& Out, char32_t Code) {
  if (Code < 0x80) {
    Out += static_cast<char>(Code);
  } else if (Code < 0x800) {
    Out += static_cast<char>(0xC0 | (Code >> 6));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  } else if (Code < 0x10000) {
    Out += static_cast<char>(0xE0 | (Code >> 12));
    Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (Code >> 18));
    Out += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  }
}

// Appends Code as one UTF-16 unit, or a surrogate pair above U+FFFF.
inline void AppendUtf16(std::u16string& Out, char32_t Code) {
  if (Code >= 0x10000) {
    Out += static_cast<char16_t>(0xD800 + ((Code - 0x10000) >> 10));
    Out += static_cast<char16_t>(0xDC00 + ((Code - 0x10000) & 0x3FF));
  } else {
    Out += static_cast<char16_t>(Code);
  }
}

} // namespace marigold
