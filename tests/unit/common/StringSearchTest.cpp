#include "lib/PatternSet.h"
#include "lib/StringSearchUnit.h"

#include "base/Unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marigold;

namespace {

struct RegionCase {
  const char16_t* SubStr;
  const char16_t* S;
  std::int32_t Start, Count, Expected;
};

TEST(FindSubString, RegionBoundsAndWholeRestCount) {
  const RegionCase Cases[] = {
      {u" /", u"abc /l 3", 1, WholeRest, 4},
      {u"a", u"abca", 0, WholeRest, 0}, // Start before the text
      {u"a", u"abca", 5, WholeRest, 0}, // Start behind the text
      {u"a", u"abca", 1, 0, 0},         // empty region
      {u"a", u"abca", 1, -5, 0},
      {u"a", u"abca", 2, WholeRest, 4}, // 2 + 2147483647 - 1 wraps: to the end
      {u"a", u"abca", 4, WholeRest, 4},
      {u"a", u"abca", 3, WholeRest - 1, 4}, // also wraps
      {u"a", u"abca", 2, 2, 0},             // region 2..3 holds no 'a'
      {u"abc", u"abcd", 1, 2, 0},           // would run past the region
      {u"abc", u"abcd", 1, 3, 1},
      {u"cd", u"abcd", 3, 1, 0},
      {u"", u"abc", 1, WholeRest, 0},
      {u"a", u"", 1, WholeRest, 0},
  };
  for (const RegionCase& C : Cases)
    EXPECT_EQ(FindSubString(C.SubStr, C.S, false, C.Start, C.Count), C.Expected)
        << ToUtf8(C.SubStr) << " in " << ToUtf8(C.S) << " from " << C.Start << " count " << C.Count;
}

TEST(FindSubString, RegionOfOneUnit) {
  EXPECT_TRUE(ContainsSubStringIn(u":", u"C:\\x", 2, 1, false));
  EXPECT_FALSE(ContainsSubStringIn(u":", u"Cx:", 2, 1, false));
  EXPECT_EQ(FindSubStringIn(u"x", u"axbx", 3, 2, false), 4);
  EXPECT_TRUE(ContainsSubString(u"B", u"abc", true));
  EXPECT_FALSE(ContainsSubString(u"B", u"abc", false));
}

TEST(SearchStrings, LongerPatternEndsTheTryingAtAPosition) {
  const TSearchHit NotFound;
  EXPECT_EQ(SearchStrings({u"abc", u"c"}, u"xc", 1, WholeRest, false, sdForward), NotFound);
  EXPECT_EQ(SearchStrings({u"c", u"abc"}, u"xc", 1, WholeRest, false, sdForward),
            (TSearchHit{2, 0}));
  EXPECT_EQ(SearchStrings({u"abc", u"c"}, u"xc", 1, WholeRest, false, sdBackward), NotFound);
  // Still tried where the region leaves room for the long pattern.
  EXPECT_EQ(SearchStrings({u"abc", u"c"}, u"xcab", 1, WholeRest, false, sdForward),
            (TSearchHit{2, 1}));
}

TEST(SearchStrings, MatchMustLieInsideTheRegionBothWays) {
  EXPECT_EQ(SearchStrings({u"ab"}, u"abab", 1, 3, false, sdBackward), (TSearchHit{1, 0}));
  EXPECT_EQ(SearchStrings({u"ab"}, u"abab", 1, 4, false, sdBackward), (TSearchHit{3, 0}));
  EXPECT_EQ(SearchStrings({u"ab", u"b"}, u"abab", 1, 3, false, sdBackward), (TSearchHit{2, 1}));
  EXPECT_EQ(SearchStrings({u"ab", u"x"}, u"abab", 2, 2, false, sdForward), TSearchHit{});
}

TEST(SearchStrings, EarliestPositionThenListOrder) {
  EXPECT_EQ(SearchStrings({u"b", u"ab"}, u"ab", 1, WholeRest, false, sdForward),
            (TSearchHit{1, 1}));
  EXPECT_EQ(SearchStrings({u"a", u"ab"}, u"ab", 1, WholeRest, false, sdForward),
            (TSearchHit{1, 0}));
  EXPECT_EQ(SearchStrings({u"", u"b"}, u"ab", 1, WholeRest, false, sdForward), (TSearchHit{2, 1}));
  EXPECT_EQ(SearchStrings({u"a", u"b"}, u"ab", 1, WholeRest, false, sdBackward),
            (TSearchHit{2, 1}));
  // Patterns whose first units share an index slot must still be told apart.
  EXPECT_EQ(SearchStrings({u"\u0441x", u"Ax"}, u"AxBx", 1, WholeRest, false, sdForward),
            (TSearchHit{1, 1}));
}

TEST(SearchStrings, NothingForEmptyPatternsOrUnknownDirection) {
  EXPECT_EQ(SearchStrings({}, u"abc", 1, WholeRest, false, sdForward), TSearchHit{});
  EXPECT_EQ(SearchStrings({u"", u""}, u"abc", 1, WholeRest, false, sdForward), TSearchHit{});
  EXPECT_EQ(SearchStrings({u"a"}, u"abc", 1, WholeRest, false, static_cast<TSearchDirection>(2)),
            TSearchHit{});
  EXPECT_EQ(
      SearchStrings({u"a", u"b"}, u"abc", 1, WholeRest, false, static_cast<TSearchDirection>(255)),
      TSearchHit{});
}

TEST(AsciiFold, OnlyAsciiLettersFold) {
  EXPECT_TRUE(MatchesAt(u"abc", u"xABC", 2, true));
  EXPECT_FALSE(MatchesAt(u"abc", u"xABC", 2, false));
  EXPECT_FALSE(MatchesAt(u"ａ", u"Ａ", 1, true)); // full-width letters stay apart
  EXPECT_FALSE(MatchesAt(u"@", u"`", 1, true));   // 0x40 and 0x60 differ only in bit 5
  EXPECT_FALSE(MatchesAt(u"[", u"{", 1, true));
  EXPECT_FALSE(MatchesAt(u"\u00e4", u"\u00c4", 1, true));
  EXPECT_EQ(SearchStrings({u"Q", u"z"}, u"abZq", 1, WholeRest, true, sdForward),
            (TSearchHit{3, 1}));
  EXPECT_EQ(FindSubString(u"Q", u"abZq", true), 4);
}

TEST(MatchesAt, IndexRange) {
  EXPECT_TRUE(MatchesAt(u"cd", u"abcd", 3, false));
  EXPECT_FALSE(MatchesAt(u"cd", u"abcd", 4, false));
  EXPECT_FALSE(MatchesAt(u"ab", u"abcd", 0, false));
  EXPECT_FALSE(MatchesAt(u"abcde", u"abcd", 1, false));
  EXPECT_FALSE(MatchesAt(u"", u"abcd", 1, false));
}

TEST(SameRange, CountAndPositions) {
  EXPECT_TRUE(SameRange(u"abc", u"xbc", 2, 2, 2, false));
  EXPECT_TRUE(SameRange(u"", u"", 5, 9, 0, false));
  EXPECT_TRUE(SameRange(u"a", u"b", 1, 1, -1, false));
  EXPECT_FALSE(SameRange(u"abc", u"abc", 2, 2, 3, false)); // runs past the end
  EXPECT_FALSE(SameRange(u"abc", u"abc", 0, 0, 1, false));
  EXPECT_FALSE(SameRange(u"abc", u"abc", 1, 1, WholeRest, false));
  EXPECT_TRUE(SameRange(u"aBc", u"AbC", 1, 1, 3, true));
}

TEST(CountSubString, OverlapAndLetterFold) {
  const struct {
    std::u16string_view SubStr, S;
    bool NonOverlapping, IgnoreCase;
    int32_t Expected;
  } Cases[] = {
      {u"aa", u"aaaa", false, false, 3}, {u"aa", u"aaaa", true, false, 2},
      {u"aa", u"aaaaa", true, false, 2}, {u"abc", u"ab", false, false, 0},
      {u"", u"ab", false, false, 0},     {u"ａ", u"Ａ", false, false, 0},
      {u"ａ", u"Ａ", false, true, 1}, // this fold knows full-width letters
      {u"Ab", u"aBxab", false, true, 2}, {u"@", u"`", false, true, 0},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(CountSubString(C.SubStr, C.S, C.NonOverlapping, C.IgnoreCase), C.Expected)
        << ToUtf8(C.SubStr) << " in " << ToUtf8(C.S);
}

TEST(ReplaceStrings, FlattensLineBreaksWithCrLfAsOneUnit) {
  EXPECT_EQ(ReplaceStrings(u"a\tb\r\nc\rd\ne", {u"\t", u"\r\n", u"\r", u"\n"},
                           {u" ", u" ", u"", u""}, /*IgnoreCase=*/false, /*ReplaceAll=*/true),
            u"a b cde");
  EXPECT_EQ(ReplaceStrings(u"\r\n\r\r\n\n", {u"\t", u"\r\n", u"\r", u"\n"}, {u" ", u" ", u"", u""},
                           /*IgnoreCase=*/false, /*ReplaceAll=*/true),
            u"  ");
}

TEST(ReplaceStrings, EscapesQuotes) {
  EXPECT_EQ(
      ReplaceStrings(u"say \"hi\"", {u"\""}, {u"\\\""}, /*IgnoreCase=*/false, /*ReplaceAll=*/true),
      u"say \\\"hi\\\"");
  EXPECT_EQ(ReplaceStrings(u"plain", {u"\""}, {u"\\\""}, /*IgnoreCase=*/false, /*ReplaceAll=*/true),
            u"plain");
}

struct ReplaceCase {
  const char16_t* S;
  std::vector<std::u16string> Search, Replace;
  bool IgnoreCase, ReplaceAll;
  const char16_t* Expected;
};

TEST(ReplaceStrings, ListRules) {
  const ReplaceCase Cases[] = {
      {u"abc", {u"a", u"ab"}, {u"1", u"2"}, false, true, u"1bc"}, // first listed wins
      {u"abc", {u"ab", u"a"}, {u"2", u"1"}, false, true, u"2c"},
      {u"ab", {u"a", u"b"}, {u"b", u"c"}, false, true, u"bc"}, // no re-replacement
      {u"aa", {u"a"}, {u"aa"}, false, true, u"aaaa"},
      {u"abc", {u"ab", u"bc"}, {u"X", u"Y"}, false, true, u"Xc"}, // consumed text
      {u"a-b-c", {u"-"}, {u"+"}, false, false, u"a+b-c"},         // leftmost only
      {u"abc", {u"", u"b"}, {u"X", u"Y"}, false, true, u"aYc"},   // empty never matches
      {u"abc", {u"b"}, {u""}, false, true, u"ac"},
      {u"abc", {u"b"}, {u"x", u"y"}, false, true, u"abc"}, // unequal lists
      {u"abc", {}, {}, false, true, u"abc"},
      {u"", {u"a"}, {u"b"}, false, true, u""},
      {u"aXbxc", {u"x"}, {u"<yy>"}, true, true, u"a<yy>b<yy>c"}, // grows under the fold
      {u"AbAB", {u"ab"}, {u"[long]"}, true, true, u"[long][long]"},
      {u"ａＡ", {u"ａ"}, {u"x"}, true, true, u"xＡ"}, // ASCII fold only
      {u"xyz", {u"yz", u"z"}, {u"12345", u"6"}, false, false, u"x12345"},
  };
  for (const ReplaceCase& C : Cases)
    EXPECT_EQ(ReplaceStrings(C.S, C.Search, C.Replace, C.IgnoreCase, C.ReplaceAll), C.Expected)
        << ToUtf8(C.S);
}

TEST(ReplaceStrings, PreparedPatternsGiveTheSameResult) {
  const std::vector<std::u16string> Search = {u"\r\n", u"\r", u"\n"};
  const PatternSet Prepared(Search, false);
  struct Case {
    std::u16string S;
    std::vector<std::u16string> Replace;
    bool ReplaceAll;
  } const Cases[] = {
      {u"a\r\nb\rc\n", {u"<>", u"<", u">"}, true}, // grows: a new buffer
      {u"a\r\nb\rc\n", {u"<>", u"<", u">"}, false},
      {u"a\r\nb\rc\n", {u"+", u"", u"-"}, true}, // in place
      {u"a\r\nb\rc\n", {u"+", u"", u"-"}, false},
      {u"\r\n\r\n", {u"\r", u"", u""}, true},
  };
  for (const Case& C : Cases) {
    std::u16string S = C.S;
    ReplaceStringsInPlace(S, Prepared, C.Replace, C.ReplaceAll);
    EXPECT_EQ(S, ReplaceStrings(C.S, Search, C.Replace, false, C.ReplaceAll));
  }
}

TEST(MathUnit, RangeAndClamp) {
  EXPECT_TRUE(IsBetween(1, 1, 1));
  EXPECT_FALSE(IsBetween(1, 0, 5));
  EXPECT_FALSE(IsBetween(5, 5, 1));
  EXPECT_TRUE(IsBetween(-2147483647 - 1, 0, 2147483647));
  EXPECT_EQ(NonNegative(-3), 0);
  EXPECT_EQ(NonNegative(0), 0);
  EXPECT_EQ(NonNegative(7), 7);
}

} // namespace
