#pragma once

// Turns fuzzer bytes into text-utility arguments. Most units come from a small alphabet so that
// matches are frequent (both folds' letters and their bit-5 neighbours, line breaks, kana of
// every width); some are raw 16-bit values.

#include "lib/ConstUnit.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace marigold;

namespace textfuzz {

inline constexpr std::u16string_view Alphabet =
    u"aAbBzZ@`[{\t\r\n \"\\ｶｷﾊﾞﾟｰ｢ガキパが゜ーａＡ\u0441漢";

inline char16_t Unit(FuzzedDataProvider& In) {
  const std::uint8_t Byte = In.ConsumeIntegral<std::uint8_t>();
  if (Byte < 224)
    return Alphabet[Byte % Alphabet.size()];
  return static_cast<char16_t>(In.ConsumeIntegral<std::uint16_t>());
}

inline std::u16string Text(FuzzedDataProvider& In, std::size_t MaxLength) {
  std::u16string S(In.ConsumeIntegralInRange<std::size_t>(0, MaxLength), u' ');
  for (char16_t& C : S)
    C = Unit(In);
  return S;
}

inline std::vector<std::u16string> List(FuzzedDataProvider& In, std::size_t MaxCount,
                                        std::size_t MaxLength) {
  std::vector<std::u16string> Strings(In.ConsumeIntegralInRange<std::size_t>(0, MaxCount));
  for (std::u16string& S : Strings)
    S = Text(In, MaxLength);
  return Strings;
}

// Start and Count values: the boundaries, the whole-rest count and the values that make
// Start + Count - 1 wrap, or anything.
inline std::int32_t Position(FuzzedDataProvider& In, std::size_t Length) {
  const auto L = static_cast<std::int32_t>(Length);
  const std::int32_t Specials[] = {
      WholeRest, WholeRest - 1, WholeRest - L, -2147483647 - 1, -1, 0, 1, 2, L - 1, L, L + 1};
  switch (In.ConsumeIntegralInRange<int>(0, 2)) {
  case 0:
    return Specials[In.ConsumeIntegralInRange<std::size_t>(0, std::size(Specials) - 1)];
  case 1:
    return In.ConsumeIntegralInRange<std::int32_t>(-1, L + 2);
  default:
    return In.ConsumeIntegral<std::int32_t>();
  }
}

} // namespace textfuzz
