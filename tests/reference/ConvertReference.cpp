#include "reference/ConvertReference.h"

#include "reference/SearchReference.h"

namespace marigold::reference {

TCharMembership ClassifyChars(std::u16string_view S, std::u16string_view Chars) {
  if (S.empty() || Chars.empty())
    return cmEmpty;
  auto InChars = [Chars](char16_t Ch) {
    for (char16_t C : Chars)
      if (C == Ch)
        return true;
    return false;
  };
  const TCharMembership First = InChars(S[0]) ? cmAll : cmNone;
  for (std::size_t I = 1; I < S.size(); ++I)
    if ((InChars(S[I]) ? cmAll : cmNone) != First)
      return cmMixed;
  return First;
}

void ReplaceChars(std::u16string& S, std::u16string_view FromChars, std::u16string_view ToChars) {
  if (FromChars.empty() || FromChars.size() != ToChars.size() || S.empty())
    return;
  for (std::size_t I = 0; I < S.size(); ++I)
    for (std::size_t B = 0; B < FromChars.size(); ++B)
      if (S[I] == FromChars[B])
        S[I] = ToChars[B];
}

std::vector<std::u16string> CharsToStrings(std::u16string_view Chars) {
  std::vector<std::u16string> Strings(Chars.size());
  for (std::size_t I = 0; I < Chars.size(); ++I)
    Strings[I] = std::u16string(1, Chars[I]);
  return Strings;
}

void ConvertChars(std::u16string& S, TCharConversion Conversion) {
  switch (Conversion) {
  case ccToUpper:
    reference::ReplaceChars(S, LowerCaseLetters, UpperCaseLetters);
    break;
  case ccToLower:
    reference::ReplaceChars(S, UpperCaseLetters, LowerCaseLetters);
    break;
  case ccLettersToWide:
    reference::ReplaceChars(S, NarrowLetters, WideLetters);
    break;
  case ccLettersToNarrow:
    reference::ReplaceChars(S, WideLetters, NarrowLetters);
    break;
  case ccSymbolsToWide:
    reference::ReplaceChars(S, NarrowSymbols, WideSymbols);
    break;
  case ccSymbolsToNarrow:
    reference::ReplaceChars(S, WideSymbols, NarrowSymbols);
    break;
  case ccDigitsToWide:
    reference::ReplaceChars(S, NarrowDigits, WideDigits);
    break;
  case ccDigitsToNarrow:
    reference::ReplaceChars(S, WideDigits, NarrowDigits);
    break;
  case ccKanaToWide:
    S = reference::ReplaceStrings(S, NarrowKanaTable, reference::CharsToStrings(WideKanaTable),
                                  false, true);
    break;
  case ccKanaToNarrow:
    S = reference::ReplaceStrings(S, reference::CharsToStrings(WideKanaTable), NarrowKanaTable,
                                  false, true);
    break;
  case ccKanaToHiragana:
    S = reference::ReplaceStrings(S, NarrowKanaTable, reference::CharsToStrings(WideKanaTable),
                                  false, true);
    reference::ReplaceChars(S, WideKanaTable, HiraganaTable);
    break;
  case ccHiraganaToKatakana:
    reference::ReplaceChars(S, HiraganaTable, WideKanaTable);
    break;
  default:
    break;
  }
}

} // namespace marigold::reference
