// SearchStrings and the searches built on it against the literal reference: any patterns,
// any region (including counts that wrap), both directions and invalid ones.
#include "TextFuzzInput.h"
#include "lib/StringSearchUnit.h"
#include "reference/SearchReference.h"

#include <cstdlib>

using namespace marigold;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzedDataProvider In(Data, Size);
  const bool IgnoreCase = In.ConsumeBool();
  const auto Direction = static_cast<TSearchDirection>(In.ConsumeIntegralInRange<int>(0, 3));
  const auto Patterns = textfuzz::List(In, 6, 5);
  const std::u16string S = textfuzz::Text(In, 200);
  const std::int32_t Start = textfuzz::Position(In, S.size());
  const std::int32_t Count = textfuzz::Position(In, S.size());
  if (SearchStrings(Patterns, S, Start, Count, IgnoreCase, Direction) !=
      reference::SearchStrings(Patterns, S, Start, Count, IgnoreCase, Direction))
    std::abort();
  const std::u16string Sub = Patterns.empty() ? std::u16string() : Patterns[0];
  if (FindSubString(Sub, S, IgnoreCase, Start, Count) !=
      reference::FindSubString(Sub, S, IgnoreCase, Start, Count))
    std::abort();
  if (MatchesAt(Sub, S, Start, IgnoreCase) != reference::MatchesAt(Sub, S, Start, IgnoreCase))
    std::abort();
  if (SameRange(Sub, S, Count, Start, static_cast<std::int32_t>(Sub.size()), IgnoreCase) !=
      reference::SameRange(Sub, S, Count, Start, static_cast<std::int32_t>(Sub.size()), IgnoreCase))
    std::abort();
  return 0;
}
