#include "lib/StringSplitterUnit.h"

#include "base/Errors.h"
#include "base/Unicode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marigold;

namespace {

using ::testing::ElementsAreArray;
using Words = std::vector<std::u16string>;

Words WordsOf(const TStringSplitter& Splitter) {
  Words Out;
  for (int32_t I = 0; I < Splitter.Count(); ++I)
    Out.push_back(Splitter.GetWord(I));
  return Out;
}

TEST(StringSplitter, FlagsChooseWhatStays) {
  struct Case {
    std::u16string Sentence;
    std::u16string Delimiter;
    TSplitFlags Flags;
    Words Expected;
  };
  const TSplitFlags None{};
  const std::vector<Case> Cases = {
      {u"label\ttarget", u"\t", sfKeepEmpty, {u"label", u"target"}},
      {u"target", u"\t", sfKeepEmpty, {u"target"}},
      {u"a\t\tb", u"\t", sfKeepEmpty, {u"a", u"", u"b"}},
      {u"\ttarget", u"\t", sfKeepEmpty, {u"", u"target"}},
      {u"", u"\t", sfKeepEmpty, {u""}},
      {u"a\t\tb", u"\t", None, {u"a", u"b"}},
      {u"\ttarget", u"\t", None, {u"target"}},
      {u"", u"\t", None, {}},
      {u"C:\\Dir\\File", u"\\", sfKeepEmpty, {u"C:", u"Dir", u"File"}},
      {u"\\\\server\\share", u"\\", sfKeepEmpty, {u"", u"", u"server", u"share"}},
      {u"\\\\server\\share", u"\\", None, {u"server", u"share"}},
      {u"a,b", u",", sfKeepDelimiters, {u"a", u",", u"b"}},
      {u",a,", u",", sfKeepDelimiters | sfKeepEmpty, {u"", u",", u"a", u",", u""}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(ToUtf8(C.Sentence) + " flags " + std::to_string(int(C.Flags)));
    TStringSplitter Splitter(C.Sentence, {C.Delimiter}, C.Flags);
    EXPECT_THAT(WordsOf(Splitter), ElementsAreArray(C.Expected));
    EXPECT_EQ(Splitter.Sentence(), C.Sentence);
    EXPECT_THAT(Splitter.Delimiters(), ElementsAreArray({C.Delimiter}));
    EXPECT_EQ(SplitWordCount(C.Sentence, {C.Delimiter}, C.Flags), int32_t(C.Expected.size()));
    for (size_t I = 0; I < C.Expected.size(); ++I)
      EXPECT_EQ(SplitWord(C.Sentence, {C.Delimiter}, int32_t(I), C.Flags), C.Expected[I]);
  }
}

TEST(StringSplitter, OutOfRangeWordIsEmptyButSplitWordFails) {
  TStringSplitter Splitter(u"a|b", {u"|"}, sfKeepEmpty);
  EXPECT_EQ(Splitter.GetWord(-1), u"");
  EXPECT_EQ(Splitter.GetWord(2), u"");
  for (int32_t Index : {-1, 2}) {
    try {
      (void)SplitWord(u"a|b", {u"|"}, Index, sfKeepEmpty);
      ADD_FAILURE() << "no list error for " << Index;
    } catch (const EAssertionFailed& E) {
      EXPECT_EQ(E.Message(), u"Listエラー (TemplateList\\ListClone, 127 行)");
    }
  }
}

TEST(StringSplitter, OnlyTheFourFlagSetsAreValid) {
  EXPECT_EQ(SplitFlagsToDelimitStyle(TSplitFlags{}), dsSeparatedNoEmpty);
  EXPECT_EQ(SplitFlagsToDelimitStyle(sfKeepDelimiters), dsWithDelimitersNoEmpty);
  EXPECT_EQ(SplitFlagsToDelimitStyle(sfKeepEmpty), dsSeparated);
  EXPECT_EQ(SplitFlagsToDelimitStyle(sfKeepEmpty | sfKeepDelimiters), dsWithDelimiters);
  const std::u16string Expected =
      u"Error SplitFlagsToDelimitStyle (StringSplitterUnit\\StringSplitterUnit, 128 行)";
  for (int Value = 4; Value <= 255; ++Value) {
    auto Flags = static_cast<TSplitFlags>(Value);
    try {
      TStringSplitter Splitter(u"a,b", {u","}, Flags);
      ADD_FAILURE() << "constructed with flags " << Value;
    } catch (const EAssertionFailed& E) {
      EXPECT_EQ(E.Message(), Expected);
    }
    EXPECT_THROW((void)SplitWordCount(u"a", {u","}, Flags), EAssertionFailed) << Value;
    EXPECT_THROW((void)SplitWord(u"a", {u","}, 0, Flags), EAssertionFailed) << Value;
  }
}

TEST(StringSplitter, IndexOfFollowsTheCaseRule) {
  TStringSplitter Splitter(u"label\ttarget\tTARGET", {u"\t"}, sfKeepEmpty);
  EXPECT_EQ(Splitter.IndexOf(u"Target", true), 1);
  EXPECT_EQ(Splitter.IndexOf(u"Target", false), -1);
  EXPECT_EQ(Splitter.IndexOf(u"TARGET", false), 2);
  EXPECT_EQ(Splitter.IndexOf(u"targ", true), -1);
  EXPECT_EQ(Splitter.IndexOf(u"", true), -1);
  TStringSplitter Empty(u"\tx", {u"\t"}, sfKeepEmpty);
  EXPECT_EQ(Empty.IndexOf(u"", false), 0);
  EXPECT_EQ(Empty.IndexOf(u"X", true), 1);
  TStringSplitter Wide(u"ｆｏｏ", {u"\t"}, sfKeepEmpty);
  EXPECT_EQ(Wide.IndexOf(u"ＦＯＯ", true), 0);
  EXPECT_EQ(Wide.IndexOf(u"ＦＯＯ", false), -1);
  EXPECT_EQ(Wide.IndexOf(u"foo", true), -1) << "full and half width differ";
}

} // namespace
