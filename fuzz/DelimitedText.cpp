// SplitText in every style against the literal splitter, and the delimited-text round trip:
// GetDelimitedText(D) after SetDelimitedText(V, {D}) gives V for any non-empty D.
#include "lib/StringRecordList.h"
#include "reference/ContainersReference.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace marigold;

namespace {

class SplittableList : public TCommonStringRecordList {
public:
  using TCommonStringRecordList::SplitText;
};

// A small alphabet makes delimiters match often; bytes from 0xF0 up give units that share their
// low byte with a letter of it but differ.
char16_t Unit(uint8_t Byte) {
  static constexpr char16_t Alphabet[] = u"ab,=\r\n\t\\";
  const char16_t Letter = Alphabet[Byte % 8];
  return Byte >= 0xF0 ? static_cast<char16_t>(((Byte & 0x0F) + 1) << 8 | Letter) : Letter;
}

struct Reader {
  const uint8_t* Data;
  size_t Size;
  size_t At = 0;
  uint8_t Next() { return At < Size ? Data[At++] : 0; }
  std::u16string Text(size_t Length) {
    std::u16string Out;
    for (size_t I = 0; I < Length && At < Size; ++I)
      Out += Unit(Next());
    return Out;
  }
};

} // namespace

// Layout: delimiter count, then per delimiter its length and units, then the style, then the
// value.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  Reader In{Data, Size};
  std::vector<std::u16string> Delimiters(In.Next() % 5);
  for (std::u16string& D : Delimiters)
    D = In.Text(In.Next() % 4);
  const int Style = In.Next() % 6;
  const std::u16string Value = In.Text(Size);

  SplittableList List;
  List.SplitText(Value, Delimiters, static_cast<TDelimitStyle>(Style));
  const auto Expected = reference::SplitText(Value, Delimiters, Style);
  if (size_t(List.Count()) != Expected.size())
    std::abort();
  for (int32_t I = 0; I < List.Count(); ++I)
    if (List.GetItem(I) != Expected[size_t(I)])
      std::abort();

  for (const std::u16string& D : Delimiters) {
    if (D.empty())
      continue;
    List.SetDelimitedText(Value, {D});
    if (List.GetDelimitedText(D) != Value)
      std::abort();
  }
  return 0;
}
