#include "lib/StringUnit.h"

#include "base/Unicode.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace marigold;

namespace {

using Text = std::u16string;

// Readable failures for UTF-16 texts (control characters shown as escapes).
std::string Show(std::u16string_view S) {
  std::string Out = "'";
  for (char16_t C : S) {
    if (C == u'\r')
      Out += "\\r";
    else if (C == u'\n')
      Out += "\\n";
    else if (C == u'\t')
      Out += "\\t";
    else
      Out += ToUtf8(std::u16string_view(&C, 1));
  }
  return Out + "'";
}

using AffixFunction = std::function<Text(std::u16string_view, std::u16string_view, bool)>;

struct AffixCase {
  const char* Name;
  AffixFunction Function;
  std::u16string_view S;
  std::u16string_view Affix;
  bool IgnoreCase;
  std::u16string_view Expected;
};

TEST(StringUnitAffixes, EnsureAndRemoveFollowTheMatchRules) {
  const AffixCase Cases[] = {
      {"RemovePrefix dot", RemovePrefix, u".txt", u".", false, u"txt"},
      {"RemovePrefix absent", RemovePrefix, u"txt", u".", false, u"txt"},
      {"RemovePrefix only one", RemovePrefix, u"..txt", u".", false, u".txt"},
      {"RemovePrefix longer than text", RemovePrefix, u"ab", u"abc", false, u"ab"},
      {"RemovePrefix empty prefix", RemovePrefix, u"abc", u"", false, u"abc"},
      {"RemovePrefix ASCII fold", RemovePrefix, u"ABCdef", u"abc", true, u"def"},
      {"RemovePrefix case-sensitive", RemovePrefix, u"ABCdef", u"abc", false, u"ABCdef"},
      {"RemovePrefix no full-width fold", RemovePrefix, u"Ａbc", u"ａ", true, u"Ａbc"},
      {"RemovePrefix fold only letters", RemovePrefix, u"@x", u"`", true, u"@x"},
      {"RemovePrefix fold only letters 2", RemovePrefix, u"[x", u"{", true, u"[x"},
      {"EnsurePrefix empty text", EnsurePrefix, u"", u"_", false, u"_"},
      {"EnsurePrefix absent", EnsurePrefix, u"bak", u"_", false, u"_bak"},
      {"EnsurePrefix empty prefix", EnsurePrefix, u"bak", u"", false, u"bak"},
      {"EnsurePrefix folded match keeps text", EnsurePrefix, u"Xyz", u"x", true, u"Xyz"},
      {"EnsurePrefix case-sensitive adds", EnsurePrefix, u"Xyz", u"x", false, u"xXyz"},
      {"EnsurePrefix longer than text", EnsurePrefix, u"b", u"ab", false, u"abb"},
      {"RemoveSuffix backslash", RemoveSuffix, u"a\\", u"\\", false, u"a"},
      {"RemoveSuffix longer than text", RemoveSuffix, u"a", u"abc", false, u"a"},
      {"RemoveSuffix whole text", RemoveSuffix, u"abc", u"abc", false, u""},
      {"RemoveSuffix empty suffix", RemoveSuffix, u"abc", u"", false, u"abc"},
      {"RemoveSuffix ASCII fold", RemoveSuffix, u"name.TXT", u".txt", true, u"name"},
      {"RemoveSuffix no full-width fold", RemoveSuffix, u"xＡ", u"ａ", true, u"xＡ"},
      {"RemoveSuffix only at the end", RemoveSuffix, u"ab ab ", u"ab", false, u"ab ab "},
      {"EnsureSuffix empty text", EnsureSuffix, u"", u";", false, u";"},
      {"EnsureSuffix folded match keeps text", EnsureSuffix, u"a.INI", u".ini", true, u"a.INI"},
      {"EnsureSuffix case-sensitive adds", EnsureSuffix, u"a.INI", u".ini", false, u"a.INI.ini"},
  };
  for (const AffixCase& Case : Cases)
    EXPECT_EQ(Case.Function(Case.S, Case.Affix, Case.IgnoreCase), Case.Expected) << Case.Name;
}

TEST(StringUnitAffixes, TestsRejectEmptyAndLongerAffixes) {
  EXPECT_FALSE(HasPrefix(u"", u"", false));
  EXPECT_FALSE(HasPrefix(u"abc", u"", false));
  EXPECT_FALSE(HasPrefix(u"", u"a", false));
  EXPECT_FALSE(HasSuffix(u"", u"", false));
  EXPECT_FALSE(HasSuffix(u"abc", u"", false));
  EXPECT_FALSE(HasSuffix(u"a", u"abc", false));
  EXPECT_FALSE(HasSuffix(u"bc", u"abc", true));
  EXPECT_TRUE(HasSuffix(u"abc", u"abc", false));
  EXPECT_TRUE(HasSuffix(u"abc", u"C", true));
  EXPECT_FALSE(HasSuffix(u"abc", u"C", false));
  EXPECT_TRUE(HasPrefix(u"abc", u"ABC", true));
}

TEST(StringUnitAffixes, BackslashIsAddedOrRemovedOnce) {
  EXPECT_EQ(AddTrailingBackslash(u""), u"\\");
  EXPECT_EQ(AddTrailingBackslash(u"C:"), u"C:\\");
  EXPECT_EQ(AddTrailingBackslash(u"C:\\"), u"C:\\");
  EXPECT_EQ(RemoveTrailingBackslash(u"C:\\a\\\\"), u"C:\\a\\");
  EXPECT_EQ(RemoveTrailingBackslash(u"\\"), u"");
  EXPECT_EQ(RemoveTrailingBackslash(u"C:\\a"), u"C:\\a");
  EXPECT_EQ(RemoveTrailingBackslash(u""), u"");
  // A full-width yen sign is not a backslash.
  EXPECT_EQ(RemoveTrailingBackslash(u"a\uFFE5"), u"a\uFFE5");
}

TEST(StringUnitQuoting, EncloseWithEnsuresEachEndOnce) {
  struct Case {
    std::u16string_view S;
    std::u16string_view Quote;
    bool IgnoreCase;
    std::u16string_view Expected;
  };
  const Case Cases[] = {
      {u"", u"\"", false, u"\"\""},
      {u"abc", u"\"", false, u"\"abc\""},
      {u"\"abc", u"\"", false, u"\"abc\""},
      {u"abc\"", u"\"", false, u"\"abc\""},
      {u"\"abc\"", u"\"", false, u"\"abc\""},
      {u"\"", u"\"", false, u"\""},
      {u"\"\"", u"\"", false, u"\"\""},
      {u"a\"b", u"\"", false, u"\"a\"b\""},
      {u"x=\\\"1\\\"", u"\"", false, u"\"x=\\\"1\\\""},
      {u"C:\\a b\\c.txt", u"\"", false, u"\"C:\\a b\\c.txt\""},
      {u"abc", u"", false, u"abc"},
      {u"", u"", false, u""},
      {u"<", u"<>", false, u"<><<>"},
      {u"<>", u"<>", false, u"<>"},
      {u"Qx", u"q", true, u"Qxq"},
      {u"Qx", u"q", false, u"qQxq"},
      {u"ＱxＱ", u"ｑ", true, u"ｑＱxＱｑ"},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(EncloseWith(C.S, C.Quote, C.IgnoreCase), C.Expected) << Show(C.S) << Show(C.Quote);
}

TEST(StringUnitCutting, ExtractBeforeAndAfterTheFirstDelimiter) {
  struct Case {
    std::u16string_view S;
    std::u16string_view Delimiter;
    std::u16string_view Before;
    std::u16string_view After;
  };
  const Case Cases[] = {
      {u"C:\\a.txt /l 12", u" /", u"C:\\a.txt", u"l 12"},
      {u"C:\\a.txt", u" /", u"C:\\a.txt", u"C:\\a.txt"},
      {u"C:\\a.txt", u"", u"C:\\a.txt", u"C:\\a.txt"},
      {u"", u" /", u"", u""},
      {u"", u"", u"", u""},
      {u" /x", u" /", u"", u"x"},
      {u"a /", u" /", u"a", u""},
      {u" /", u" /", u"", u""},
      {u"a /b /c", u" /", u"a", u"b /c"},
      {u"a/b", u" /", u"a/b", u"a/b"},
      {u"a /", u" / ", u"a /", u"a /"},
      {u"xAy", u"a", u"xAy", u"xAy"},
      {u"aaab", u"aa", u"", u"ab"},
      {u"ｘ／ｙ", u"／", u"ｘ", u"ｙ"},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(ExtractBefore(C.S, C.Delimiter), C.Before) << Show(C.S) << Show(C.Delimiter);
    EXPECT_EQ(ExtractAfter(C.S, C.Delimiter), C.After) << Show(C.S) << Show(C.Delimiter);
  }
}

TEST(StringUnitCutting, LeadingCharsOfASet) {
  struct Case {
    std::u16string_view S;
    std::u16string_view Chars;
    std::int32_t Count;
  };
  const Case Cases[] = {
      {u"\t\tname", u"\t", 2},   {u"\t\t", u"\t", 2},
      {u"name\t", u"\t", 0},     {u"\t\tname", u"", 0},
      {u"", u"\t", 0},           {u"", u"", 0},
      {u" \t \tx\t", u"\t ", 4}, {u"\t \t", u"\t", 1},
      {u"aab", u"aaaa", 2},      {u"\u3000\u3000x", u"\u3000", 2},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(CountLeadingChars(C.S, C.Chars), C.Count) << Show(C.S) << Show(C.Chars);
    EXPECT_EQ(TrimLeadingChars(C.S, C.Chars), C.S.substr(static_cast<std::size_t>(C.Count)))
        << Show(C.S) << Show(C.Chars);
  }
}

TEST(StringUnitJoining, JoinsWithAndWithoutSkippingEmptyValues) {
  struct Case {
    std::u16string_view Separator;
    std::vector<Text> Values;
    TJoinOptions Options;
    std::u16string_view Expected;
  };
  const Case Cases[] = {
      {u" ", {u"a", u"", u"b"}, joSkipEmpty, u"a b"},
      {u" ", {u"a", u"", u"b"}, TJoinOptions{}, u"a  b"},
      {u" ", {u"a", u""}, TJoinOptions{}, u"a "},
      {u" ", {u"", u""}, TJoinOptions{}, u" "},
      {u" ", {u"", u""}, joSkipEmpty, u""},
      {u" ", {}, TJoinOptions{}, u""},
      {u" ", {}, joSkipEmpty, u""},
      {u"", {u"a", u"b", u"c"}, TJoinOptions{}, u"abc"},
      {u" ", {u"f.txt", u"sel", u"Line:3"}, joSkipEmpty, u"f.txt sel Line:3"},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(JoinStrings(C.Separator, C.Values, C.Options), C.Expected)
        << Show(C.Separator) << " with " << C.Values.size() << " values";
  EXPECT_EQ(JoinStrings(u" ", {u"name", u"", u"Line:7"}, joSkipEmpty), u"name Line:7");
  EXPECT_EQ(JoinStrings(u"-", {}, TJoinOptions{}), u"");
}

// Every value appended with its separator, then one trailing separator removed.
Text JoinLiterally(std::u16string_view Separator, const std::vector<Text>& Values,
                   TJoinOptions Options) {
  Text Result;
  for (const Text& Value : Values)
    if (!((Options & joSkipEmpty) && Value.empty()))
      Result += Value + Text(Separator);
  return RemoveSuffix(Result, Separator, /*IgnoreCase=*/false);
}

TEST(StringUnitJoining, EqualsAppendThenRemoveOneSeparatorOnSmallInputs) {
  const Text Pieces[] = {u"", u"a", u" ", u"a ", u", "};
  const Text Separators[] = {u"", u" ", u", "};
  std::vector<std::vector<Text>> Arrays = {{}};
  for (int Size = 1; Size <= 3; ++Size) {
    std::vector<std::vector<Text>> Longer;
    for (const auto& Array : Arrays)
      if (static_cast<int>(Array.size()) == Size - 1)
        for (const Text& Piece : Pieces) {
          Longer.push_back(Array);
          Longer.back().push_back(Piece);
        }
    Arrays.insert(Arrays.end(), Longer.begin(), Longer.end());
  }
  for (const Text& Separator : Separators)
    for (const auto& Values : Arrays)
      for (TJoinOptions Options : {TJoinOptions{}, joSkipEmpty})
        ASSERT_EQ(JoinStrings(Separator, Values, Options),
                  JoinLiterally(Separator, Values, Options))
            << Show(Separator) << " with " << Values.size() << " values";
}

TEST(StringUnitRanges, RemoveRangeAtTheEdges) {
  struct Case {
    std::int32_t Index;
    std::int32_t Count;
    std::u16string_view Expected;
  };
  const std::u16string_view S = u"abcdef";
  const Case Cases[] = {
      {1, 1, u"bcdef"},
      {6, 1, u"abcde"},
      {3, 2, u"abef"},
      {3, 4, u"ab"},
      {3, 5, u"ab"},
      {1, 6, u""},
      {1, INT32_MAX, u""},
      {6, INT32_MAX, u"abcde"},
      {2, INT32_MAX, u"a"},
      {0, 2, u"abcdef"},
      {-1, 2, u"abcdef"},
      {7, 1, u"abcdef"},
      {INT32_MIN, INT32_MAX, u"abcdef"},
      {INT32_MAX, INT32_MAX, u"abcdef"},
      {2, 0, u"abcdef"},
      {2, -1, u"abcdef"},
      {2, INT32_MIN, u"abcdef"},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(RemoveRange(S, C.Index, C.Count), C.Expected) << C.Index << ", " << C.Count;
  EXPECT_EQ(RemoveRange(u"", 1, 1), u"");
  EXPECT_EQ(RemoveRange(u"", 1, INT32_MAX), u"");
}

TEST(StringUnitRanges, CopyRangeClampsToTheText) {
  struct Case {
    std::int32_t From;
    std::int32_t To;
    std::u16string_view Expected;
  };
  const std::u16string_view S = u"abcdef";
  const Case Cases[] = {
      {0, 3, u"abc"},
      {1, 3, u"abc"},
      {-5, 1, u"a"},
      {5, 4, u""},
      {3, 3, u"c"},
      {4, 6, u"def"},
      {4, 7, u"def"},
      {4, INT32_MAX, u"def"},
      {1, INT32_MAX, u"abcdef"},
      {6, INT32_MAX, u"f"},
      {7, INT32_MAX, u""},
      {7, 7, u""},
      {INT32_MIN, INT32_MAX, u"abcdef"},
      {INT32_MAX, INT32_MAX, u""},
      {1, 0, u""},
      {0, 0, u""},
      {-3, -1, u""},
      {INT32_MIN, INT32_MIN, u""},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(CopyRange(S, C.From, C.To), C.Expected) << C.From << ".." << C.To;
  EXPECT_EQ(CopyRange(u"", 1, INT32_MAX), u"");
  EXPECT_EQ(CopyRange(u"", 0, 0), u"");
}

TEST(StringUnitRanges, DeleteLastOnlyWithinTheText) {
  struct Case {
    std::int32_t Count;
    std::u16string_view Expected;
  };
  const Case Cases[] = {
      {0, u"abc"}, {1, u"ab"},   {2, u"a"},           {3, u""},
      {4, u"abc"}, {-1, u"abc"}, {INT32_MAX, u"abc"}, {INT32_MIN, u"abc"},
  };
  for (const Case& C : Cases) {
    Text S = u"abc";
    DeleteLast(S, C.Count);
    EXPECT_EQ(S, C.Expected) << C.Count;
  }
  Text Empty;
  DeleteLast(Empty, 1);
  EXPECT_EQ(Empty, u"");
}

TEST(StringUnitLineBreaks, OneTrailingBreakIsRecognisedAndRemoved) {
  struct Case {
    std::u16string_view S;
    TLineBreakKind Kind;
    std::u16string_view Without;
  };
  const Case Cases[] = {
      {u"abc\r\n", lbCRLF, u"abc"},
      {u"abc\r", lbCR, u"abc"},
      {u"abc\n", lbLF, u"abc"},
      {u"abc", lbNone, u"abc"},
      {u"abc\n\r", lbCR, u"abc\n"},
      {u"abc\r\n\r\n", lbCRLF, u"abc\r\n"},
      {u"abc\n\n", lbLF, u"abc\n"},
      {u"abc\r\r", lbCR, u"abc\r"},
      {u"\r\n", lbCRLF, u""},
      {u"\n", lbLF, u""},
      {u"\r", lbCR, u""},
      {u"", lbNone, u""},
      {u"a\r\nb", lbNone, u"a\r\nb"},
      {u"\n\r\n", lbCRLF, u"\n"},
      {u"abc\u2028", lbNone, u"abc\u2028"},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(TrailingLineBreakKind(C.S), C.Kind) << Show(C.S);
    EXPECT_EQ(ExcludeTrailingLineBreak(C.S), C.Without) << Show(C.S);
    Text InPlace(C.S);
    DeleteTrailingLineBreak(InPlace);
    EXPECT_EQ(InPlace, C.Without) << Show(C.S);
  }
}

TEST(StringUnitLineBreaks, TextOfEachKindAndNothingOutsideTheEnumeration) {
  EXPECT_EQ(LineBreakText(lbCRLF), u"\r\n");
  EXPECT_EQ(LineBreakText(lbCR), u"\r");
  EXPECT_EQ(LineBreakText(lbLF), u"\n");
  EXPECT_EQ(LineBreakText(lbNone), u"");
  for (int Value : {4, 5, 127, 128, 255})
    EXPECT_EQ(LineBreakText(static_cast<TLineBreakKind>(Value)), u"") << Value;
  static_assert(sizeof(TLineBreakKind) == 1 && sizeof(TJoinOptions) == 1);
  static_assert(lbCRLF == 0 && lbCR == 1 && lbLF == 2 && lbNone == 3 && joSkipEmpty == 1);
}

} // namespace
