// The fast text utilities against the literal reference implementations on random inputs.
#include "base/Unicode.h"
#include "lib/StringConvertUnit.h"
#include "lib/StringSearchUnit.h"
#include "reference/ConvertReference.h"
#include "reference/SearchReference.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace marigold;

namespace {

// Few distinct units, so that matches are frequent: both folds' letters and their bit-5
// neighbours, line breaks, kana of every width and a unit that shares an index slot with 'A'.
constexpr std::u16string_view Alphabet = u"aAbBzZ@`[{\t\r\n ｶｷﾞﾟｰガキが゜ａＡ\u0441漢";

class RandomText {
public:
  explicit RandomText(unsigned Seed) : FEngine(Seed) {}

  int Below(int N) { return std::uniform_int_distribution<int>(0, N - 1)(FEngine); }

  std::u16string Text(int MaxLength) {
    std::u16string S(static_cast<std::size_t>(Below(MaxLength + 1)), u' ');
    for (char16_t& C : S)
      C = Alphabet[static_cast<std::size_t>(Below(static_cast<int>(Alphabet.size())))];
    return S;
  }

  // Mostly pieces of S, so that searches find something.
  std::vector<std::u16string> Patterns(const std::u16string& S, int MaxCount) {
    std::vector<std::u16string> List(static_cast<std::size_t>(Below(MaxCount + 1)));
    for (std::u16string& P : List)
      if (!S.empty() && Below(3) != 0)
        P = S.substr(static_cast<std::size_t>(Below(static_cast<int>(S.size()))),
                     static_cast<std::size_t>(Below(4)));
      else
        P = Text(3);
    return List;
  }

  std::int32_t Position(const std::u16string& S) {
    static constexpr std::int32_t Specials[] = {WholeRest, WholeRest - 1, -2147483647 - 1, -1, 0};
    if (Below(5) == 0)
      return Specials[Below(5)];
    return Below(static_cast<int>(S.size()) + 3) - 1;
  }

private:
  std::mt19937 FEngine;
};

TEST(AgainstReference, SearchStrings) {
  RandomText Random(1);
  for (int Round = 0; Round < 4000; ++Round) {
    const std::u16string S = Random.Text(24);
    const auto Patterns = Random.Patterns(S, 5);
    const std::int32_t Start = Random.Position(S), Count = Random.Position(S);
    const bool IgnoreCase = Random.Below(2) == 1;
    const auto Direction = static_cast<TSearchDirection>(Random.Below(3));
    ASSERT_EQ(SearchStrings(Patterns, S, Start, Count, IgnoreCase, Direction),
              reference::SearchStrings(Patterns, S, Start, Count, IgnoreCase, Direction))
        << ToUtf8(S) << " from " << Start << " count " << Count << " patterns " << Patterns.size();
  }
}

TEST(AgainstReference, MatchingAndCounting) {
  RandomText Random(2);
  for (int Round = 0; Round < 4000; ++Round) {
    const std::u16string S = Random.Text(16);
    const std::u16string Sub = Random.Patterns(S, 1).empty() ? u"" : Random.Text(2);
    const bool Flag = Random.Below(2) == 1, IgnoreCase = Random.Below(2) == 1;
    const std::int32_t Index = Random.Position(S), Count = Random.Below(6) - 1;
    ASSERT_EQ(MatchesAt(Sub, S, Index, IgnoreCase),
              reference::MatchesAt(Sub, S, Index, IgnoreCase));
    ASSERT_EQ(SameRange(Sub, S, 1, Index, Count, IgnoreCase),
              reference::SameRange(Sub, S, 1, Index, Count, IgnoreCase));
    ASSERT_EQ(CountSubString(Sub, S, Flag, IgnoreCase),
              reference::CountSubString(Sub, S, Flag, IgnoreCase))
        << ToUtf8(Sub) << " in " << ToUtf8(S);
  }
}

TEST(AgainstReference, ReplaceStrings) {
  RandomText Random(3);
  for (int Round = 0; Round < 4000; ++Round) {
    const std::u16string S = Random.Text(24);
    const auto Search = Random.Patterns(S, 5);
    auto Replace = Random.Patterns(S, 0);
    Replace.resize(Search.size() + (Random.Below(10) == 0 ? 1 : 0));
    for (std::u16string& R : Replace)
      R = Random.Text(5);
    const bool IgnoreCase = Random.Below(2) == 1, ReplaceAll = Random.Below(4) != 0;
    ASSERT_EQ(ReplaceStrings(S, Search, Replace, IgnoreCase, ReplaceAll),
              reference::ReplaceStrings(S, Search, Replace, IgnoreCase, ReplaceAll))
        << ToUtf8(S);
  }
}

TEST(AgainstReference, CharacterClassesAndConversions) {
  RandomText Random(4);
  for (int Round = 0; Round < 3000; ++Round) {
    const std::u16string S = Random.Text(24), Set = Random.Text(4);
    ASSERT_EQ(ClassifyChars(S, Set), reference::ClassifyChars(S, Set));
    std::u16string From = Random.Text(6), To = Random.Text(6), Fast = S, Slow = S;
    if (Random.Below(4) != 0)
      To.resize(From.size(), u'a');
    ReplaceChars(Fast, From, To);
    reference::ReplaceChars(Slow, From, To);
    ASSERT_EQ(Fast, Slow) << ToUtf8(S) << " from " << ToUtf8(From) << " to " << ToUtf8(To);
    const auto Conversion = static_cast<TCharConversion>(Random.Below(13));
    Fast = S;
    Slow = S;
    ConvertChars(Fast, Conversion);
    reference::ConvertChars(Slow, Conversion);
    ASSERT_EQ(Fast, Slow) << ToUtf8(S) << " by " << int{Conversion};
  }
}

} // namespace
