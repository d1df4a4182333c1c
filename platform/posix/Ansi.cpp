#include "platform/Ansi.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

// Code page 932 through glibc's iconv. Where Windows substitutes, the stand-in does too:
// - a character the code page cannot hold becomes '?', one per UTF-16 unit, so an emoji
//   (a surrogate pair) becomes "??";
// - a byte that starts no defined sequence becomes U+30FB (the code page's default Unicode
//   character) and decoding goes on with the next byte; a lead byte cut off at the end of the
//   data becomes U+30FB as well.

namespace platform {
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

bool IsHighSurrogate(std::string_view Unit) {
  return (static_cast<unsigned char>(Unit[1]) & 0xFC) == 0xD8;
}
bool IsLowSurrogate(std::string_view Unit) {
  return (static_cast<unsigned char>(Unit[1]) & 0xFC) == 0xDC;
}

} // namespace

std::u16string AnsiToText(std::string_view Data) {
  std::string Units = Decoder().Convert(Data, [](std::string_view, std::string& Out) {
    Out += "\xFB\x30"; // U+30FB, little-endian
    return size_t{1};
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
    Out.append(Skip == 4 ? 2 : 1, '?');
    return Skip;
  });
}

} // namespace platform
