#include "lib/StringConvertUnit.h"

#include "lib/StringSearchUnit.h"

bool CharInString(char16_t Ch, std::u16string_view Chars) noexcept {
  return Chars.find(Ch) != std::u16string_view::npos;
}

TCharMembership ClassifyChars(std::u16string_view S, std::u16string_view Chars) noexcept {
  if (S.empty() || Chars.empty())
    return cmEmpty;
  const bool FirstIn = CharInString(S[0], Chars);
  for (std::size_t I = 1; I < S.size(); ++I)
    if (CharInString(S[I], Chars) != FirstIn)
      return cmMixed;
  return FirstIn ? cmAll : cmNone;
}

void ReplaceChars(std::u16string& S, std::u16string_view FromChars,
                  std::u16string_view ToChars) noexcept {
  if (FromChars.empty() || FromChars.size() != ToChars.size() || S.empty())
    return;
  for (char16_t& C : S)
    for (std::size_t B = 0; B < FromChars.size(); ++B)
      if (C == FromChars[B])
        C = ToChars[B];
}

std::vector<std::u16string> CharsToStrings(std::u16string_view Chars) {
  std::vector<std::u16string> Strings;
  Strings.reserve(Chars.size());
  for (char16_t C : Chars)
    Strings.emplace_back(1, C);
  return Strings;
}

void ConvertChars(std::u16string& S, TCharConversion Conversion) {
  switch (Conversion) {
  case ccToUpper:
    return ReplaceChars(S, LowerCaseLetters, UpperCaseLetters);
  case ccToLower:
    return ReplaceChars(S, UpperCaseLetters, LowerCaseLetters);
  case ccLettersToWide:
    return ReplaceChars(S, NarrowLetters, WideLetters);
  case ccLettersToNarrow:
    return ReplaceChars(S, WideLetters, NarrowLetters);
  case ccSymbolsToWide:
    return ReplaceChars(S, NarrowSymbols, WideSymbols);
  case ccSymbolsToNarrow:
    return ReplaceChars(S, WideSymbols, NarrowSymbols);
  case ccDigitsToWide:
    return ReplaceChars(S, NarrowDigits, WideDigits);
  case ccDigitsToNarrow:
    return ReplaceChars(S, WideDigits, NarrowDigits);
  case ccKanaToWide:
    S = ReplaceStrings(S, NarrowKanaTable, CharsToStrings(WideKanaTable), false, true);
    return;
  case ccKanaToNarrow:
    S = ReplaceStrings(S, CharsToStrings(WideKanaTable), NarrowKanaTable, false, true);
    return;
  case ccKanaToHiragana:
    ConvertChars(S, ccKanaToWide);
    return ReplaceChars(S, WideKanaTable, HiraganaTable);
  case ccHiraganaToKatakana:
    return ReplaceChars(S, HiraganaTable, WideKanaTable);
  }
}
