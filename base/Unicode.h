#pragma once

// Code points to UTF-8 and UTF-16 units and back: the one encoder of each that the layers share,
// the one reader of surrogate pairs, and the one lenient UTF-8 reader of the native side.

#include <string>
#include <string_view>

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

// A code point and the units (bytes or UTF-16 units) it takes.
struct TCodePoint {
  char32_t Code;
  size_t Length;
};
// The code point that starts at Text[I]. A surrogate that is not half of a pair comes back as
// itself, one unit long: each caller refuses, replaces or escapes it.
inline TCodePoint CodePointAt(std::u16string_view Text, size_t I) {
  const char16_t Unit = Text[I];
  if (Unit >= 0xD800 && Unit <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
      Text[I + 1] <= 0xDFFF)
    return {0x10000 + ((static_cast<char32_t>(Unit) - 0xD800) << 10) + (Text[I + 1] - 0xDC00), 2};
  return {Unit, 1};
}

inline bool IsSurrogate(char32_t Code) {
  return Code >= 0xD800 && Code <= 0xDFFF;
}

// Whether Text holds a surrogate outside a pair, which no Unicode encoding can store.
inline bool HasLoneSurrogate(std::u16string_view Text) {
  for (size_t I = 0; I < Text.size();) {
    const TCodePoint Next = CodePointAt(Text, I);
    if (IsSurrogate(Next.Code))
      return true;
    I += Next.Length;
  }
  return false;
}

// UTF-16 to UTF-8, lone surrogates as U+FFFD; for what() and test output.
inline std::string ToUtf8(std::u16string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (size_t I = 0; I < Text.size();) {
    const TCodePoint Next = CodePointAt(Text, I);
    AppendUtf8(Out, IsSurrogate(Next.Code) ? U'\uFFFD' : Next.Code);
    I += Next.Length;
  }
  return Out;
}

// UTF-8 Bytes as UTF-16, for names and arguments the native system hands over: a sequence cut
// short takes the bits that are there, and nothing is refused.
inline std::u16string FromUtf8(std::string_view Bytes) {
  std::u16string Text;
  for (size_t I = 0; I < Bytes.size();) {
    const auto Lead = static_cast<unsigned char>(Bytes[I]);
    const size_t Length = Lead < 0xC0 ? 1 : Lead < 0xE0 ? 2 : Lead < 0xF0 ? 3 : 4;
    char32_t Code = Length == 1 ? Lead : Lead & (0x3F >> (Length - 1));
    for (size_t K = 1; K < Length && I + K < Bytes.size(); ++K)
      Code = (Code << 6) | (static_cast<unsigned char>(Bytes[I + K]) & 0x3F);
    AppendUtf16(Text, Code);
    I += Length;
  }
  return Text;
}

// Text with its ASCII letters upper-cased, every other unit as it is: how Windows compares file
// and variable names that differ only in case. AsciiUppercase(u"c:\\Work") == u"C:\\WORK"
[[nodiscard]] constexpr char16_t AsciiUppercase(char16_t C) noexcept {
  return C >= u'a' && C <= u'z' ? static_cast<char16_t>(C - (u'a' - u'A')) : C;
}
[[nodiscard]] inline std::u16string AsciiUppercase(std::u16string_view Text) {
  std::u16string Upper(Text);
  for (char16_t& C : Upper)
    C = AsciiUppercase(C);
  return Upper;
}

} // namespace marigold
