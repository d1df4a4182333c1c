// Assigning any text and reading it back gives the same text; the lines are those of the
// literal splitter and of the plain line splitter.
#include "lib/StringRecordList.h"
#include "reference/ContainersReference.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace marigold;

namespace {

// Bytes become units one to one, so CR and LF are frequent; 0xFF takes the next two bytes as
// one unit of any value.
std::u16string Decode(const uint8_t* Data, size_t Size) {
  std::u16string Out;
  for (size_t I = 0; I < Size; ++I) {
    if (Data[I] == 0xFF && I + 2 < Size) {
      Out += static_cast<char16_t>(Data[I + 1] << 8 | Data[I + 2]);
      I += 2;
    } else {
      Out += static_cast<char16_t>(Data[I]);
    }
  }
  return Out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::u16string Value = Decode(Data, Size);
  TCommonStringRecordList List;
  List.Add(u"stale");
  List.SetText(Value);
  if (List.Text() != Value)
    std::abort();
  const auto Literal = reference::SplitText(Value, LineBreakDelimiters(), 0);
  const auto Plain = reference::SplitLines(Value);
  if (Literal != Plain || size_t(List.Count()) != Literal.size())
    std::abort();
  for (int32_t I = 0; I < List.Count(); ++I)
    if (List.GetItem(I) != Literal[size_t(I)])
      std::abort();
  return 0;
}
