#include "base/Errors.h"
#include "base/Unicode.h"

#include <gtest/gtest.h>

using namespace marigold;

TEST(Errors, AssertionMessageFollowsTheFixedFormat) {
  EXPECT_EQ(FormatAssertion(u"Listエラー", u"TemplateList\\ListClone", 127),
            u"Listエラー (TemplateList\\ListClone, 127 行)");
  try {
    AssertionFailure(u"Error SplitFlagsToDelimitStyle", u"StringSplitterUnit\\StringSplitterUnit",
                     128);
    FAIL() << "no exception";
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Message(),
              u"Error SplitFlagsToDelimitStyle (StringSplitterUnit\\StringSplitterUnit, 128 行)");
    EXPECT_STREQ(E.what(), "Error SplitFlagsToDelimitStyle "
                           "(StringSplitterUnit\\StringSplitterUnit, 128 行)");
  }
}

TEST(Errors, Utf8ConversionHandlesSurrogates) {
  EXPECT_EQ(ToUtf8(u"a\u00e9\u3042"), "a\xc3\xa9\xe3\x81\x82");
  EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xf0\x9f\x98\x80");
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
  EXPECT_EQ(ToUtf8(u"\xDC00\xD800x\xD800"),
            "\xef\xbf\xbd\xef\xbf\xbdx\xef\xbf\xbd"); // reversed, cut
}
