#include "lib/StringConvertUnit.h"

#include "base/Unicode.h"
#include "lib/ConstUnit.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace marigold;

namespace {

std::u16string Converted(std::u16string S, TCharConversion Conversion) {
  ConvertChars(S, Conversion);
  return S;
}

TEST(ClassifyChars, ThreeClassesAndEmpty) {
  EXPECT_EQ(ClassifyChars(u"C", AsciiLetters), cmAll);
  EXPECT_EQ(ClassifyChars(u"1", AsciiLetters), cmNone);
  EXPECT_EQ(ClassifyChars(u"C1", AsciiLetters), cmMixed);
  EXPECT_EQ(ClassifyChars(u"12a", AsciiLetters), cmMixed);
  EXPECT_EQ(ClassifyChars(u"", AsciiLetters), cmEmpty);
  EXPECT_EQ(ClassifyChars(u"C", u""), cmEmpty);
  EXPECT_EQ(ClassifyChars(u"Ｃ", AsciiLetters), cmNone);
  EXPECT_FALSE(CharInString(u'a', u""));
  EXPECT_TRUE(CharInString(u'z', AsciiLetters));
}

TEST(ReplaceChars, LaterEntriesSeeWhatEarlierOnesWrote) {
  struct Case {
    const char16_t *S, *From, *To, *Expected;
  } const Cases[] = {
      {u"abc", u"ab", u"bc", u"ccc"}, // a -> b -> c
      {u"ab", u"ab", u"ba", u"aa"},   // a -> b -> a; b -> a
      {u"ab", u"ba", u"ab", u"bb"},
      {u"abc", u"ab", u"x", u"abc"}, // unequal lengths: unchanged
      {u"abc", u"", u"", u"abc"},
      {u"a\u0161a", u"a\u0161", u"\u0161z", u"zzz"}, // across 256-unit pages
  };
  for (const Case& C : Cases) {
    std::u16string S = C.S;
    ReplaceChars(S, C.From, C.To);
    EXPECT_EQ(S, C.Expected) << ToUtf8(C.S) << " with " << ToUtf8(C.From);
  }
}

TEST(CharsToStrings, OneStringPerCharacter) {
  EXPECT_EQ(CharsToStrings(u"aｱ"), (std::vector<std::u16string>{u"a", u"ｱ"}));
  EXPECT_TRUE(CharsToStrings(u"").empty());
}

TEST(ConvertChars, CaseWidthDigitsAndSymbols) {
  struct Case {
    const char16_t* S;
    TCharConversion Conversion;
    const char16_t* Expected;
  } const Cases[] = {
      {u"aｂC", ccToUpper, u"AＢC"},
      {u"ÄAＺ", ccToLower, u"Äaｚ"},
      {u"aZ9", ccLettersToWide, u"ａＺ9"},
      {u"ａＺ９", ccLettersToNarrow, u"aZ９"},
      {u"\\ !?", ccSymbolsToWide, u"\uFFE5\u3000！？"},
      {u"\u2019\u201D^`~", ccSymbolsToNarrow, u"'\"^`~"},
      {u"^`~", ccSymbolsToWide, u"^`~"},
      {u"-12.5", ccDigitsToWide, u"－１２．５"},
      {u"＋３／", ccDigitsToNarrow, u"+3/"},
      {u"ｶﾞｷ", static_cast<TCharConversion>(12), u"ｶﾞｷ"},
      {u"aｶ", static_cast<TCharConversion>(255), u"aｶ"},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(Converted(C.S, C.Conversion), C.Expected)
        << ToUtf8(C.S) << " by " << int{C.Conversion};
}

TEST(ConvertChars, Kana) {
  struct Case {
    const char16_t* S;
    TCharConversion Conversion;
    const char16_t* Expected;
  } const Cases[] = {
      {u"ｶﾞｷ", ccKanaToWide, u"ガキ"},
      {u"ﾊﾟﾊﾞﾊ", ccKanaToWide, u"パバハ"},
      {u"ﾞｶﾞﾞ", ccKanaToWide, u"ﾞガﾞ"}, // a lone voiced mark stays half-width
      {u"ｳﾞ", ccKanaToWide, u"ウﾞ"},    // no half-width vu in the table
      {u"ｰ｡ﾟ", ccKanaToWide, u"ー。゜"},
      {u"aｱ漢", ccKanaToWide, u"aア漢"},
      {u"ガヲ「", ccKanaToNarrow, u"ｶﾞｦ｢"},
      {u"ヴヵヶヰヱヮ", ccKanaToNarrow, u"ヴヵヶヰヱヮ"},
      {u"ｶﾞガー「", ccKanaToHiragana, u"ががー「"},
      {u"がｶ", ccHiraganaToKatakana, u"ガｶ"},
      {u"ゔゐ", ccHiraganaToKatakana, u"ゔゐ"},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(Converted(C.S, C.Conversion), C.Expected)
        << ToUtf8(C.S) << " by " << int{C.Conversion};
}

TEST(KanaTables, CompleteAndIndexParallel) {
  ASSERT_EQ(NarrowKanaTable.size(), 87u);
  ASSERT_EQ(WideKanaTable.size(), 87u);
  ASSERT_EQ(HiraganaTable.size(), 87u);
  std::set<std::u16string_view> Narrow(NarrowKanaTable.begin(), NarrowKanaTable.end());
  std::set<char16_t> Wide(WideKanaTable.begin(), WideKanaTable.end());
  EXPECT_EQ(Narrow.size(), 87u);
  EXPECT_EQ(Wide.size(), 87u);
  for (std::size_t I = 0; I < 87; ++I) {
    const std::u16string_view N = NarrowKanaTable[I];
    const std::u16string W(1, WideKanaTable[I]), H(1, HiraganaTable[I]);
    // The voiced syllables come first, each a base and its mark.
    EXPECT_EQ(N.size(), I < 25 ? 2u : 1u) << I;
    if (I < 25) {
      EXPECT_TRUE(N[1] == u'\uFF9E' || N[1] == u'\uFF9F') << I;
    }
    EXPECT_EQ(Converted(std::u16string(N), ccKanaToWide), W) << I;
    EXPECT_EQ(Converted(W, ccKanaToNarrow), N) << I;
    EXPECT_EQ(Converted(std::u16string(N), ccKanaToHiragana), H) << I;
    EXPECT_EQ(Converted(W, ccKanaToHiragana), H) << I;
    EXPECT_EQ(Converted(H, ccHiraganaToKatakana), I < 80 ? W : H) << I;
    if (I >= 80) {
      EXPECT_EQ(H, W) << I;
    }
  }
  // Spot checks against the syllabary order.
  EXPECT_EQ(NarrowKanaTable[20], u"ﾊﾟ");
  EXPECT_EQ(WideKanaTable[20], u'パ');
  EXPECT_EQ(HiraganaTable[25], u'あ');
  EXPECT_EQ(NarrowKanaTable[69], u"ｦ");
  EXPECT_EQ(HiraganaTable[79], u'っ');
  EXPECT_EQ(WideKanaTable[80], u'\u309C');
  EXPECT_EQ(NarrowKanaTable[86], u"｣");
}

TEST(KanaTables, WholeTextRoundTrips) {
  std::u16string Narrow;
  for (std::u16string_view N : NarrowKanaTable)
    Narrow += N;
  const std::u16string Wide = Converted(Narrow, ccKanaToWide);
  EXPECT_EQ(Wide, WideKanaTable);
  EXPECT_EQ(Converted(Wide, ccKanaToNarrow), Narrow);
  EXPECT_EQ(Converted(Narrow, ccKanaToHiragana), HiraganaTable);
  EXPECT_EQ(Converted(std::u16string(HiraganaTable), ccHiraganaToKatakana).substr(0, 80),
            WideKanaTable.substr(0, 80));
}

TEST(LetterTables, PairsAreOneToOne) {
  for (std::size_t I = 0; I < 26; ++I) {
    const auto Lower = static_cast<char16_t>(u'a' + I), Upper = static_cast<char16_t>(u'A' + I);
    const auto WideLower = static_cast<char16_t>(u'ａ' + I);
    const auto WideUpper = static_cast<char16_t>(u'Ａ' + I);
    EXPECT_EQ(Converted({Lower, WideLower}, ccToUpper), (std::u16string{Upper, WideUpper}));
    EXPECT_EQ(Converted({Upper, WideUpper}, ccToLower), (std::u16string{Lower, WideLower}));
    EXPECT_EQ(Converted({Upper, Lower}, ccLettersToWide), (std::u16string{WideUpper, WideLower}));
    EXPECT_EQ(Converted({WideUpper, WideLower}, ccLettersToNarrow), (std::u16string{Upper, Lower}));
  }
  for (std::size_t I = 0; I < NarrowSymbols.size(); ++I) {
    EXPECT_EQ(Converted(std::u16string(1, NarrowSymbols[I]), ccSymbolsToWide),
              std::u16string(1, WideSymbols[I]));
    EXPECT_EQ(Converted(std::u16string(1, WideSymbols[I]), ccSymbolsToNarrow),
              std::u16string(1, NarrowSymbols[I]));
  }
}

} // namespace
