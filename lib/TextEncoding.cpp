#include "lib/TextEncoding.h"

#include "base/Unicode.h"
#include "lib/FileUnit.h"

#include <algorithm>

namespace marigold {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";
constexpr char16_t Replacement = u'\uFFFD';

uint8_t Byte(std::string_view Data, size_t I) {
  return static_cast<uint8_t>(Data[I]);
}

// The code point of the strict UTF-8 sequence at Data[I] (no overlongs, no surrogates, at most
// U+10FFFF) and its length; length 0 when the bytes there are not one.
TCodePoint NextUtf8(std::string_view Data, size_t I) {
  const uint8_t Lead = Byte(Data, I);
  if (Lead < 0x80)
    return {Lead, 1};
  size_t Length = 0;
  char32_t Code = 0, Least = 0;
  if (Lead >= 0xC2 && Lead <= 0xDF) {
    Length = 2, Code = Lead & 0x1F, Least = 0x80;
  } else if (Lead >= 0xE0 && Lead <= 0xEF) {
    Length = 3, Code = Lead & 0x0F, Least = 0x800;
  } else if (Lead >= 0xF0 && Lead <= 0xF4) {
    Length = 4, Code = Lead & 0x07, Least = 0x10000;
  } else {
    return {};
  }
  if (I + Length > Data.size())
    return {};
  for (size_t K = 1; K < Length; ++K) {
    const uint8_t Next = Byte(Data, I + K);
    if ((Next & 0xC0) != 0x80)
      return {};
    Code = (Code << 6) | (Next & 0x3F);
  }
  if (Code < Least || Code > 0x10FFFF || IsSurrogate(Code))
    return {};
  return {Code, Length};
}

bool IsValidUtf8WithHighBytes(std::string_view Data) {
  bool High = false;
  for (size_t I = 0; I < Data.size();) {
    const TCodePoint D = NextUtf8(Data, I);
    if (D.Length == 0)
      return false;
    High |= D.Length > 1;
    I += D.Length;
  }
  return High;
}

std::u16string DecodeUtf8(std::string_view Data) {
  std::u16string Out;
  Out.reserve(Data.size());
  for (size_t I = 0; I < Data.size();) {
    const TCodePoint D = NextUtf8(Data, I);
    if (D.Length == 0) {
      Out += Replacement;
      ++I;
    } else {
      AppendUtf16(Out, D.Code);
      I += D.Length;
    }
  }
  return Out;
}

bool IsUtf16(TextEncoding Encoding) {
  return Encoding == TextEncoding::Utf16Le || Encoding == TextEncoding::Utf16Be;
}

// The UTF-16 unit of the two bytes at Data[I].
char16_t UnitAt(std::string_view Data, size_t I, bool BigEndian) {
  const uint8_t First = Byte(Data, I), Second = Byte(Data, I + 1);
  return static_cast<char16_t>(BigEndian ? (First << 8) | Second : (Second << 8) | First);
}

std::u16string DecodeUtf16(std::string_view Data, bool BigEndian) {
  std::u16string Out;
  Out.reserve(Data.size() / 2 + 1);
  for (size_t I = 0; I + 1 < Data.size(); I += 2)
    Out += UnitAt(Data, I, BigEndian);
  if (Data.size() % 2 != 0)
    Out += Replacement; // half a unit at the end
  return Out;
}

std::string EncodeUtf16(std::u16string_view Text, bool BigEndian) {
  std::string Out;
  Out.reserve(Text.size() * 2);
  for (const char16_t Unit : Text) {
    const char High = static_cast<char>(Unit >> 8), Low = static_cast<char>(Unit & 0xFF);
    Out += BigEndian ? High : Low;
    Out += BigEndian ? Low : High;
  }
  return Out;
}

} // namespace

TextEncoding DetectTextEncoding(std::string_view Data) {
  if (Data.starts_with(Utf8Mark))
    return TextEncoding::Utf8Bom;
  if (Data.starts_with(Utf16LeMark))
    return TextEncoding::Utf16Le;
  if (Data.starts_with(Utf16BeMark))
    return TextEncoding::Utf16Be;
  return IsValidUtf8WithHighBytes(Data) ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::string_view ByteOrderMark(TextEncoding Encoding) {
  switch (Encoding) {
  case TextEncoding::Utf8Bom:
    return Utf8Mark;
  case TextEncoding::Utf16Le:
    return Utf16LeMark;
  case TextEncoding::Utf16Be:
    return Utf16BeMark;
  case TextEncoding::Ansi:
  case TextEncoding::Utf8:
    break;
  }
  return {};
}

std::u16string_view EncodingName(TextEncoding Encoding) {
  switch (Encoding) {
  case TextEncoding::Utf8:
    return u"UTF-8";
  case TextEncoding::Utf8Bom:
    return u"UTF-8 (BOM)";
  case TextEncoding::Utf16Le:
    return u"UTF-16 LE";
  case TextEncoding::Utf16Be:
    return u"UTF-16 BE";
  case TextEncoding::Ansi:
    break;
  }
  return u"ANSI";
}

std::u16string DecodeText(std::string_view Data, TextEncoding Encoding) {
  Data.remove_prefix(std::min(Data.size(), ByteOrderMark(Encoding).size()));
  switch (Encoding) {
  case TextEncoding::Utf8:
  case TextEncoding::Utf8Bom:
    return DecodeUtf8(Data);
  case TextEncoding::Utf16Le:
    return DecodeUtf16(Data, /*BigEndian=*/false);
  case TextEncoding::Utf16Be:
    return DecodeUtf16(Data, /*BigEndian=*/true);
  case TextEncoding::Ansi:
    break;
  }
  return DecodeAnsiText(Data);
}

std::string_view TrimBlankUnits(std::string_view Body, TextEncoding Encoding, bool Front) {
  const size_t Unit = IsUtf16(Encoding) ? 2 : 1;
  if (!Front)
    Body.remove_suffix(Body.size() % Unit);
  while (Body.size() >= Unit) {
    const size_t At = Front ? 0 : Body.size() - Unit;
    const char16_t Value =
        Unit == 1 ? Byte(Body, At) : UnitAt(Body, At, Encoding == TextEncoding::Utf16Be);
    if (Value >= 33)
      break;
    Front ? Body.remove_prefix(Unit) : Body.remove_suffix(Unit);
  }
  return Body;
}

std::optional<std::string> EncodeTextExactly(std::u16string_view Text, TextEncoding Encoding) {
  if (Encoding != TextEncoding::Ansi && HasLoneSurrogate(Text))
    return std::nullopt;
  switch (Encoding) {
  case TextEncoding::Utf8:
  case TextEncoding::Utf8Bom:
    return ToUtf8(Text);
  case TextEncoding::Utf16Le:
    return EncodeUtf16(Text, /*BigEndian=*/false);
  case TextEncoding::Utf16Be:
    return EncodeUtf16(Text, /*BigEndian=*/true);
  case TextEncoding::Ansi:
    break;
  }
  // The code page holds a character exactly when it reads back as itself: a best-fit look-alike
  // or the default character does not.
  std::string Bytes = EncodeAnsiText(Text);
  if (DecodeAnsiText(Bytes) != Text)
    return std::nullopt;
  return Bytes;
}

} // namespace marigold
