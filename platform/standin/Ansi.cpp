#include "platform/Ansi.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <stdexcept>

// Code page 932 through glibc's iconv. Where Windows substitutes, the stand-in does too:
// - a character the code page cannot hold becomes '?', one per UTF-16 unit, so an emoji
//   (a surrogate pair) becomes "??";
// - a lead byte and the byte behind it that form no defined character become one U+30FB (the
//   code page's default Unicode character), as does a lead byte cut off at the end of the data
//   or followed by NUL, which stays;
// - the five single bytes that glibc leaves undefined map as Windows maps them (ExtraSingles).
// Characters Windows writes as a best-fit look-alike (e with an accent as 'e') become '?' here.

namespace marigold::platform {
namespace {

class Converter {
public:
  Converter(const char* To, const char* From) : FHandle(iconv_open(To, From)) {
    if (FHandle == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error("iconv cannot convert code page 932");
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { iconv_close(FHandle); }

  // Converts In; at every sequence iconv refuses, OnInvalid(Rest, Out) appends a replacement
  // to Out and answers how many bytes of Rest it consumes.
  template <class Substitute> std::string Convert(std::string_view In, Substitute&& OnInvalid) {
    iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    std::string Out;
    char* Source = const_cast<char*>(In.data());
    size_t SourceLeft = In.size();
    char Buffer[4096];
    for (;;) {
      char* Target = Buffer;
      size_t TargetLeft = sizeof Buffer;
      size_t Result = iconv(FHandle, &Source, &SourceLeft, &Target, &TargetLeft);
      Out.append(Buffer, static_cast<size_t>(Target - Buffer));
      if (Result != static_cast<size_t>(-1))
        return Out;
      if (errno != E2BIG) {
        size_t Skip = OnInvalid(std::string_view(Source, SourceLeft), Out);
        Source += Skip;
        SourceLeft -= Skip;
      }
    }
  }

private:
  iconv_t FHandle;
};

Converter& Decoder() {
  thread_local Converter C("UTF-16LE", "CP932");
  return C;
}

Converter& Encoder() {
  thread_local Converter C("CP932", "UTF-16LE");
  return C;
}

constexpr char16_t DefaultUnicodeChar = 0x30FB;

bool IsLeadByte(unsigned char Byte) {
  return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

// The single bytes Windows maps beyond the usual code page 932 table, both ways:
// 0x80 <-> U+0080, 0xA0 <-> U+F8F0, 0xFD..0xFF <-> U+F8F1..U+F8F3.
constexpr struct {
  unsigned char Byte;
  char16_t Unit;
} ExtraSingles[] = {{0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};

std::optional<char16_t> ExtraSingleByte(unsigned char Byte) {
  for (const auto& E : ExtraSingles)
    if (E.Byte == Byte)
      return E.Unit;
  return std::nullopt;
}

std::optional<unsigned char> ExtraSingleUnit(char16_t Unit) {
  for (const auto& E : ExtraSingles)
    if (E.Unit == Unit)
      return E.Byte;
  return std::nullopt;
}

bool IsHighSurrogate(std::string_view Unit) {
  return (static_cast<unsigned char>(Unit[1]) & 0xFC) == 0xD8;
}
bool IsLowSurrogate(std::string_view Unit) {
  return (static_cast<unsigned char>(Unit[1]) & 0xFC) == 0xDC;
}

} // namespace

std::u16string AnsiToText(std::string_view Data) {
  std::string Units = Decoder().Convert(Data, [](std::string_view Rest, std::string& Out) {
    const auto Byte = static_cast<unsigned char>(Rest[0]);
    char16_t Unit = DefaultUnicodeChar;
    size_t Skip = 1;
    if (auto Extra = ExtraSingleByte(Byte))
      Unit = *Extra;
    else if (IsLeadByte(Byte) && Rest.size() >= 2 && Rest[1] != '\0')
      Skip = 2; // Windows takes the pair together even when it is undefined, but keeps a NUL
    Out += static_cast<char>(Unit & 0xFF);
    Out += static_cast<char>(Unit >> 8);
    return Skip;
  });
  std::u16string Text(Units.size() / 2, u'\0');
  for (size_t I = 0; I < Text.size(); ++I)
    Text[I] = static_cast<char16_t>(static_cast<unsigned char>(Units[2 * I]) |
                                    static_cast<unsigned char>(Units[2 * I + 1]) << 8);
  return Text;
}

std::string TextToAnsi(std::u16string_view Text) {
  std::string Units(Text.size() * 2, '\0');
  for (size_t I = 0; I < Text.size(); ++I) {
    Units[2 * I] = static_cast<char>(Text[I] & 0xFF);
    Units[2 * I + 1] = static_cast<char>(Text[I] >> 8);
  }
  return Encoder().Convert(Units, [](std::string_view Rest, std::string& Out) {
    // A pair of surrogates is one character of two units: "??" as on Windows.
    size_t Skip =
        Rest.size() >= 4 && IsHighSurrogate(Rest) && IsLowSurrogate(Rest.substr(2)) ? 4 : 2;
    const auto Unit = static_cast<char16_t>(static_cast<unsigned char>(Rest[0]) |
                                            static_cast<unsigned char>(Rest[1]) << 8);
    if (auto Byte = ExtraSingleUnit(Unit))
      Out += static_cast<char>(*Byte);
    else
      Out.append(Skip == 4 ? 2 : 1, '?');
    return Skip;
  });
}

} // namespace marigold::platform
