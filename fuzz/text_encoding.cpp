// The settings file's encoding decision on arbitrary bytes: every Unicode encoding reads and
// writes back the very bytes it was given, whenever they are valid in it.
#include "lib/TextEncoding.h"

#include <cstdlib>
#include <string>

using namespace marigold;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  const TextEncoding Encoding = DetectTextEncoding(Bytes);
  const std::u16string Text = DecodeText(Bytes, Encoding);
  const auto Encoded = EncodeTextExactly(Text, Encoding);
  if (Encoding == TextEncoding::Utf8 && (!Encoded || *Encoded != Bytes))
    std::abort(); // detected as UTF-8 only when valid throughout
  const bool Replaced = Text.find(u'\uFFFD') != std::u16string::npos;
  if (Encoding != TextEncoding::Ansi && Encoded && !Replaced &&
      std::string(ByteOrderMark(Encoding)) + *Encoded != Bytes)
    std::abort();
  if (Encoding == TextEncoding::Ansi && Encoded && DecodeText(*Encoded, Encoding) != Text)
    std::abort();
  return 0;
}
