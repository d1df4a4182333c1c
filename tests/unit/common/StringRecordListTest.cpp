#include "lib/StringRecordList.h"

#include "base/Errors.h"
#include "base/Unicode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace marigold;

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Words = std::vector<std::u16string>;

// Opens the splitting routine to the tests.
class SplittableList : public TCommonStringRecordList {
public:
  using TCommonStringRecordList::SplitText;
};

Words ItemsOf(const TRecordList& List) {
  Words Out;
  for (int32_t I = 0; I < List.Count(); ++I)
    Out.push_back(List.GetItem(I));
  return Out;
}

void ExpectListError(const std::function<void()>& Call) {
  try {
    Call();
    ADD_FAILURE() << "no list error";
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Message(), u"Listエラー (TemplateList\\ListClone, 127 行)");
  }
}

TEST(StringRecordList, TextKeepsEachLineWithItsOwnBreak) {
  struct Case {
    std::u16string Value;
    Words Lines;
  };
  const std::vector<Case> Cases = {
      {u"x\r\ny\rz\n\nw", {u"x\r\n", u"y\r", u"z\n", u"\n", u"w"}},
      {u"a\r\n", {u"a\r\n"}},
      {u"", {}},
      {u"\r\r\n", {u"\r", u"\r\n"}},
      {u"\n\r", {u"\n", u"\r"}},
      {u"no break", {u"no break"}},
      {std::u16string(u"a\0b\r\n", 5), {std::u16string(u"a\0b\r\n", 5)}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(ToUtf8(C.Value));
    TCommonStringRecordList List;
    List.Add(u"old content");
    List.SetText(C.Value);
    EXPECT_THAT(ItemsOf(List), ElementsAreArray(C.Lines));
    EXPECT_EQ(List.Text(), C.Value);
  }
}

TEST(StringRecordList, FiveStylesSplitTheSameValue) {
  struct Case {
    TDelimitStyle Style;
    Words Pieces;
  };
  const std::vector<Case> Cases = {
      {dsTerminated, {u"a,", u",", u"b,"}},
      {dsSeparated, {u"a", u"", u"b", u""}},
      {dsSeparatedNoEmpty, {u"a", u"b"}},
      {dsWithDelimiters, {u"a", u",", u"", u",", u"b", u",", u""}},
      {dsWithDelimitersNoEmpty, {u"a", u",", u",", u"b", u","}},
      {static_cast<TDelimitStyle>(5), {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.Style));
    SplittableList List;
    List.Add(u"old");
    List.SplitText(u"a,,b,", {u","}, C.Style);
    EXPECT_THAT(ItemsOf(List), ElementsAreArray(C.Pieces));
  }
}

TEST(StringRecordList, WithoutUsableDelimitersTheValueStaysWhole) {
  const std::vector<Words> DelimiterSets = {{}, {u""}, {u"", u""}, {u"longer than value"}};
  for (const Words& Delimiters : DelimiterSets) {
    SCOPED_TRACE(Delimiters.size());
    for (int Style = 0; Style <= 4; ++Style) {
      SplittableList List;
      List.SplitText(u"ab", Delimiters, TDelimitStyle(Style));
      EXPECT_THAT(ItemsOf(List), ElementsAre(u"ab"));
      List.SplitText(u"", Delimiters, TDelimitStyle(Style));
      bool KeepsEmpty = Style == dsSeparated || Style == dsWithDelimiters;
      EXPECT_EQ(List.Count(), KeepsEmpty ? 1 : 0) << Style;
    }
  }
}

TEST(StringRecordList, EarlierDelimiterWinsAndMatchesNeverOverlap) {
  struct Case {
    std::u16string Value;
    Words Delimiters;
    Words Pieces;
  };
  const std::vector<Case> Cases = {
      {u"a=b", {u"==", u"="}, {u"a", u"b"}},       {u"a==b", {u"=", u"=="}, {u"a", u"", u"b"}},
      {u"a==b", {u"==", u"="}, {u"a", u"b"}},      {u"a===b", {u"=="}, {u"a", u"=b"}},
      {u"xAbAx", {u"", u"A"}, {u"x", u"b", u"x"}}, {u"abab", {u"ba", u"ab"}, {u"", u"", u""}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(ToUtf8(C.Value));
    TCommonStringRecordList List;
    List.SetDelimitedText(C.Value, C.Delimiters);
    EXPECT_THAT(ItemsOf(List), ElementsAreArray(C.Pieces));
  }
}

TEST(StringRecordList, DelimitedTextJoinsWithOneDelimiterBetweenItems) {
  TCommonStringRecordList List;
  EXPECT_EQ(List.GetDelimitedText(u","), u"");
  List.SetDelimitedText(u"", {u","});
  EXPECT_THAT(ItemsOf(List), ElementsAre(u""));
  EXPECT_EQ(List.GetDelimitedText(u","), u"");
  for (const std::u16string Value : {u",a,,b,", u"::", u"a:::b", u"x"}) {
    for (const std::u16string Delimiter : {u",", u"::", u":"}) {
      List.SetDelimitedText(Value, {Delimiter});
      EXPECT_EQ(List.GetDelimitedText(Delimiter), Value) << ToUtf8(Value) << ToUtf8(Delimiter);
    }
  }
  List.SetDelimitedText(u"a,b", {u","});
  EXPECT_EQ(List.GetDelimitedText(u""), u"ab");
}

TEST(StringRecordList, IndexOfComparesExactly) {
  TCommonStringRecordList List;
  List.SetText(u"ABC\nabc\n");
  EXPECT_EQ(List.IndexOf(u"abc"), -1) << "the line break is part of the item";
  List.SetDelimitedText(u"ABC,abc,abc", {u","});
  EXPECT_EQ(List.IndexOf(u"abc"), 1);
  EXPECT_EQ(List.IndexOf(u"ABC"), 0);
  EXPECT_EQ(List.IndexOf(u"Abc"), -1);
  EXPECT_EQ(List.IndexOf(u"ab"), -1);
}

TEST(StringRecordList, FailingIndexCallsChangeNothing) {
  const std::vector<std::pair<const char*, std::function<void(TRecordList&)>>> Calls = {
      {"GetItem(Count)", [](TRecordList& L) { L.GetItem(2); }},
      {"Delete(-1)", [](TRecordList& L) { L.Delete(-1); }},
      {"Delete(Count)", [](TRecordList& L) { L.Delete(2); }},
      {"Exchange", [](TRecordList& L) { L.Exchange(0, 2); }},
      {"Move", [](TRecordList& L) { L.Move(2, 0); }},
      {"Insert(Count + 1)", [](TRecordList& L) { L.Insert(3, u"z"); }},
  };
  for (const auto& [Name, Call] : Calls) {
    SCOPED_TRACE(Name);
    TRecordList List;
    List.Add(u"a");
    List.Add(u"b");
    ExpectListError([&] { Call(List); });
    EXPECT_THAT(ItemsOf(List), ElementsAre(u"a", u"b"));
  }
}

TEST(StringRecordList, EditingKeepsOrder) {
  TRecordList List;
  EXPECT_EQ(List.Add(u"b"), 0);
  EXPECT_EQ(List.Add(u"d"), 1);
  List.Insert(0, u"a");
  List.Insert(2, u"c");
  List.Insert(4, u"e");
  EXPECT_THAT(ItemsOf(List), ElementsAre(u"a", u"b", u"c", u"d", u"e"));
  List.Move(0, 4);
  List.Exchange(0, 1);
  List.Delete(2);
  EXPECT_THAT(ItemsOf(List), ElementsAre(u"c", u"b", u"e", u"a"));
}

TEST(StringRecordList, AssigningCountAppendsEmptyOrReleasesFromTheEnd) {
  TRecordList List;
  List.Add(u"a");
  List.SetCount(3);
  EXPECT_THAT(ItemsOf(List), ElementsAre(u"a", u"", u""));
  List.SetCount(1);
  EXPECT_THAT(ItemsOf(List), ElementsAre(u"a"));
  List.Add(u"b");
  ExpectListError([&] { List.SetCount(-1); });
  EXPECT_EQ(List.Count(), 0) << "a negative count deletes everything before it fails";
}

TEST(StringRecordList, AssignCopiesTheSourceAndIgnoresAbsentOrSelf) {
  TCommonStringRecordList Source, Target;
  Source.SetText(u"1\n2\n");
  Target.SetText(u"old\n");
  Target.Assign(nullptr);
  EXPECT_EQ(Target.Text(), u"old\n");
  Target.Assign(&Source);
  EXPECT_EQ(Target.Text(), u"1\n2\n");
  Source.SetText(u"changed");
  EXPECT_EQ(Target.Text(), u"1\n2\n") << "cells are never shared";
  Target.Assign(&Target);
  EXPECT_EQ(Target.Text(), u"1\n2\n");
}

} // namespace
