#include "lib/StringSplitterUnit.h"
#include "platform/Locale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marigold;

namespace {

// Through the real CompareStringW: case folding reaches beyond the letters the native stand-in
// knows, while kana type and width still tell words apart.
TEST(LocaleCompareWindows, IgnoreCaseFoldsEveryScriptButNotKanaOrWidth) {
  struct Case {
    std::u16string A, B;
    bool EqualIgnoringCase, EqualExactly;
  };
  const std::vector<Case> Cases = {
      {u"Target", u"tARGET", true, false}, {u"ÉTÉ", u"été", true, false},
      {u"ΣΟΦΙΑ", u"σοφια", true, false},   {u"ＡＢＣ", u"ａｂｃ", true, false},
      {u"ａｂｃ", u"abc", false, false},   {u"あ", u"ア", false, false},
      {u"same", u"same", true, true},      {u"", u"", true, true},
      {u"a", u"", false, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.A.size() << " vs " << C.B.size());
    EXPECT_EQ(platform::LocaleTextEquals(C.A, C.B, /*IgnoreCase=*/true), C.EqualIgnoringCase);
    EXPECT_EQ(platform::LocaleTextEquals(C.A, C.B, /*IgnoreCase=*/false), C.EqualExactly);
  }
}

TEST(LocaleCompareWindows, SplitterIndexOfUsesTheLocale) {
  TStringSplitter Splitter(u"été\tÉTÉ", {u"\t"}, sfKeepEmpty);
  EXPECT_EQ(Splitter.IndexOf(u"ÉTÉ", false), 1);
  EXPECT_EQ(Splitter.IndexOf(u"ÉTÉ", true), 0);
}

} // namespace
