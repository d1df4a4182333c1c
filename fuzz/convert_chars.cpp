// ConvertChars with every value 0 to 12, ReplaceChars with any lists, and ClassifyChars,
// against the literal references.
#include "TextFuzzInput.h"
#include "lib/StringConvertUnit.h"
#include "reference/ConvertReference.h"

#include <cstdlib>

using namespace marigold;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzedDataProvider In(Data, Size);
  const auto Conversion = static_cast<TCharConversion>(In.ConsumeIntegralInRange<int>(0, 12));
  std::u16string From = textfuzz::Text(In, 8), To = textfuzz::Text(In, 8);
  if (In.ConsumeBool())
    To.resize(From.size(), u'x');
  const std::u16string S = textfuzz::Text(In, 400);
  std::u16string Fast = S, Slow = S;
  ConvertChars(Fast, Conversion);
  reference::ConvertChars(Slow, Conversion);
  if (Fast != Slow)
    std::abort();
  Fast = S;
  Slow = S;
  ReplaceChars(Fast, From, To);
  reference::ReplaceChars(Slow, From, To);
  if (Fast != Slow)
    std::abort();
  if (ClassifyChars(S, From) != reference::ClassifyChars(S, From))
    std::abort();
  return 0;
}
