// ReplaceStrings (and the in-place form used by the kana conversions) against the literal
// reference: any lists, equal in length or not, both case rules, ReplaceAll or not.
#include "TextFuzzInput.h"
#include "lib/PatternSet.h"
#include "lib/StringSearchUnit.h"
#include "reference/SearchReference.h"

#include <cstdlib>

using namespace marigold;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzedDataProvider In(Data, Size);
  const bool IgnoreCase = In.ConsumeBool(), ReplaceAll = In.ConsumeBool();
  const auto Search = textfuzz::List(In, 8, 4);
  auto Replace = textfuzz::List(In, 0, 0);
  Replace.resize(Search.size() + (In.ConsumeIntegral<std::uint8_t>() < 16 ? 1 : 0));
  for (std::u16string& R : Replace)
    R = textfuzz::Text(In, 6);
  const std::u16string S = textfuzz::Text(In, 400);
  const std::u16string Expected =
      reference::ReplaceStrings(S, Search, Replace, IgnoreCase, ReplaceAll);
  if (ReplaceStrings(S, Search, Replace, IgnoreCase, ReplaceAll) != Expected)
    std::abort();
  std::u16string InPlace = S;
  ReplaceStringsInPlace(InPlace, PatternSet(Search, IgnoreCase), Replace, ReplaceAll);
  if (InPlace != Expected)
    std::abort();
  return 0;
}
