#include "lib/StringConvertUnit.h"

#include "lib/PatternSet.h"
#include "lib/StringSearchUnit.h"

namespace marigold {

namespace {

// The mapping ReplaceChars applies, as one lookup per character. Only characters of FromChars
// can change, so pages of 256 code units are kept only where FromChars has entries.
class CharMap {
public:
  CharMap(std::u16string_view FromChars, std::u16string_view ToChars) {
    for (char16_t C : FromChars)
      if (FPageOf[C >> 8] == 0) {
        FPages.emplace_back();
        auto& Page = FPages.back();
        for (std::size_t L = 0; L < Page.size(); ++L)
          Page[L] = static_cast<char16_t>((C & 0xFF00) | L);
        FPageOf[C >> 8] = static_cast<std::uint16_t>(FPages.size());
      }
    // Entries are applied in list order, each to the character the earlier ones wrote, so the
    // map is the composition of all of them: walking the list backwards, entry j sends
    // FromChars[j] wherever the later entries send ToChars[j].
    for (std::size_t J = FromChars.size(); J-- > 0;)
      Slot(FromChars[J]) = (*this)(ToChars[J]);
  }

  char16_t operator()(char16_t C) const noexcept {
    const std::uint16_t Page = FPageOf[C >> 8];
    return Page == 0 ? C : FPages[Page - 1][C & 0xFF];
  }

  void Apply(std::u16string& S) const noexcept {
    for (char16_t& C : S)
      C = (*this)(C);
  }

private:
  char16_t& Slot(char16_t C) { return FPages[FPageOf[C >> 8] - 1][C & 0xFF]; }

  std::array<std::uint16_t, 256> FPageOf{};
  std::vector<std::array<char16_t, 256>> FPages;
};

std::array<std::u16string_view, KanaTableSize> OneCharStrings(std::u16string_view Chars) {
  std::array<std::u16string_view, KanaTableSize> Strings;
  for (std::size_t I = 0; I < KanaTableSize; ++I)
    Strings[I] = Chars.substr(I, 1);
  return Strings;
}

// Built on first use and kept: the conversions are called with the same tables every time.
struct ConversionTables {
  CharMap ToUpper{LowerCaseLetters, UpperCaseLetters};
  CharMap ToLower{UpperCaseLetters, LowerCaseLetters};
  CharMap LettersToWide{NarrowLetters, WideLetters};
  CharMap LettersToNarrow{WideLetters, NarrowLetters};
  CharMap SymbolsToWide{NarrowSymbols, WideSymbols};
  CharMap SymbolsToNarrow{WideSymbols, NarrowSymbols};
  CharMap DigitsToWide{NarrowDigits, WideDigits};
  CharMap DigitsToNarrow{WideDigits, NarrowDigits};
  CharMap KatakanaToHiragana{WideKanaTable, HiraganaTable};
  CharMap HiraganaToKatakana{HiraganaTable, WideKanaTable};
  std::array<std::u16string_view, KanaTableSize> WideKanaStrings = OneCharStrings(WideKanaTable);
  PatternSet NarrowKana{NarrowKanaTable, false};
  PatternSet WideKana{WideKanaStrings, false};
};

const ConversionTables& Tables() {
  static const ConversionTables Instance;
  return Instance;
}

} // namespace

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

void ReplaceChars(std::u16string& S, std::u16string_view FromChars, std::u16string_view ToChars) {
  if (FromChars.empty() || FromChars.size() != ToChars.size() || S.empty())
    return;
  CharMap(FromChars, ToChars).Apply(S);
}

std::vector<std::u16string> CharsToStrings(std::u16string_view Chars) {
  std::vector<std::u16string> Strings;
  Strings.reserve(Chars.size());
  for (char16_t C : Chars)
    Strings.emplace_back(1, C);
  return Strings;
}

void ConvertChars(std::u16string& S, TCharConversion Conversion) {
  if (S.empty())
    return;
  switch (Conversion) {
  case ccToUpper:
    return Tables().ToUpper.Apply(S);
  case ccToLower:
    return Tables().ToLower.Apply(S);
  case ccLettersToWide:
    return Tables().LettersToWide.Apply(S);
  case ccLettersToNarrow:
    return Tables().LettersToNarrow.Apply(S);
  case ccSymbolsToWide:
    return Tables().SymbolsToWide.Apply(S);
  case ccSymbolsToNarrow:
    return Tables().SymbolsToNarrow.Apply(S);
  case ccDigitsToWide:
    return Tables().DigitsToWide.Apply(S);
  case ccDigitsToNarrow:
    return Tables().DigitsToNarrow.Apply(S);
  case ccKanaToWide:
    return ReplaceStringsInPlace(S, Tables().NarrowKana, Tables().WideKanaStrings,
                                 /*ReplaceAll=*/true);
  case ccKanaToNarrow:
    return ReplaceStringsInPlace(S, Tables().WideKana, NarrowKanaTable, /*ReplaceAll=*/true);
  case ccKanaToHiragana:
    ReplaceStringsInPlace(S, Tables().NarrowKana, Tables().WideKanaStrings, /*ReplaceAll=*/true);
    return Tables().KatakanaToHiragana.Apply(S);
  case ccHiraganaToKatakana:
    return Tables().HiraganaToKatakana.Apply(S);
  }
}

} // namespace marigold
