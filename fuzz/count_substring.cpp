// CountSubString against the literal reference, with both folds' letters in the input.
#include "TextFuzzInput.h"
#include "lib/StringSearchUnit.h"
#include "reference/SearchReference.h"

#include <cstdlib>

using namespace marigold;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzedDataProvider In(Data, Size);
  const bool NonOverlapping = In.ConsumeBool(), IgnoreCase = In.ConsumeBool();
  const std::u16string Sub = textfuzz::Text(In, 6);
  const std::u16string S = textfuzz::Text(In, 400);
  if (CountSubString(Sub, S, NonOverlapping, IgnoreCase) !=
      reference::CountSubString(Sub, S, NonOverlapping, IgnoreCase))
    std::abort();
  return 0;
}
