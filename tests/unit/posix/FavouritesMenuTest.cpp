// The menu tree built from the settings file's lines, read back from the in-memory menus.

#include "plugin/FavouritesMenu.h"

#include "base/Errors.h"
#include "platform/MenuDrawing.h"
#include "platform/standin/ShellStandIn.h"
#include "unit/posix/FavouritesTestFixture.h"

#include <gmock/gmock.h>

using namespace marigold;

using namespace marigold::plugin;

namespace standin = platform::standin;

namespace {

struct TreeCase {
  const char* Name;
  std::u16string_view Text;
  std::string_view Tree;
};

// On disk: C:\Work (folder), C:\Work\notes.txt, \\srv\share\x.txt. Nothing else exists.
// Set: W='C:\Work', SystemDrive='C:', DIR='Work', SHARE='\\srv\share', D='C:\', REL='Work',
// Q='C:\a"b'.
const TreeCase TreeCases[] = {
    {"EmptyFileEmptyRoot", u"", ""},
    {"HeaderHoldsDeeperLinesAtItsPlace", u"A\r\n\tB\r\n\tC\r\nD",
     "A >\n  B #2 disabled\n  C #3 disabled\nD #4 disabled\n"},
    {"FileFolderMissingRelative",
     u"C:\\Work\\notes.txt\nNotes\tC:\\Work\\notes.txt /l 120\nC:\\Work\nC:\\Work\\\n"
     u"Report\tC:\\Missing\\report.txt /l 5\nnotes.txt\nNotes\tnotes.txt /l 3\n"
     u"relative\\a.txt /l 3\n\\\\srv\\share\\x.txt\nC:\\Work /l 3\nC&D\tC:\\Work\\notes.txt",
     "notes.txt #1\nNotes #2\nFolder Work #3\nFolder  #4\nReport #5 grayed\n"
     "notes.txt #6 disabled\nNotes #7 disabled\nrelative\\a.txt #8 disabled\nx.txt #9\n"
     "Folder Work #10\nC&D #11\n"},
    // Only the path is expanded, and only when every name in it is set; a value's trailing "\"
    // and the one after the name make one separator.
    {"EnvironmentVariablesInThePath",
     u"%W%\\notes.txt\n%w%\n%SystemDrive%\\%DIR%\\notes.txt\n%SHARE%\\x.txt\n%W%\\gone.txt\n"
     u"%NOPE%\\notes.txt\n%W%\\%NOPE%\n%W%\tC:\\Work\\notes.txt\n%D%\\Work\n%REL%\\notes.txt\n%Q%",
     "notes.txt #1\nFolder Work #2\nnotes.txt #3\nx.txt #4\ngone.txt #5 grayed\n"
     "%NOPE%\\notes.txt #6 disabled\n%W%\\%NOPE% #7 disabled\n%W% #8\nFolder Work #9\n"
     "Work\\notes.txt #10 disabled\nC:\\a\"b #11 disabled\n"},
    {"MalformedLinesShowTheirText", u"a\tb\tc\r\na\t\tc\r\n",
     "a\tb\tc #1 disabled\na\t\tc #2 disabled\n"},
    {"TrimmedTextDecides", u"C:\\Work\\notes.txt\t \r\n  -  \r\n\r\n",
     "notes.txt #1\n-\n #3 disabled\n"},
    {"HeaderCaptionIsTheFileNamePart",
     u"Docs\tC:\\Users\\me\\Documents\n\tx\nTools: misc\n\ty\nProjects\n\tz",
     "Documents >\n  x #2 disabled\n misc >\n  y #4 disabled\nProjects >\n  z #6 disabled\n"},
    {"SeparatorsAtEveryDepthAndAtTheEnd", u"A\n\t-\n\tb\n-\nc\n-",
     "A >\n  -\n  b #3 disabled\n-\nc #5 disabled\n-\n"},
    {"DashHeaderCaptionsItsSubmenu", u"-\n\tb", "- >\n  b #2 disabled\n"},
    {"EmptyLineEndsSubmenusAndCanBeAHeader", u"A\n\tb\n\n\tc",
     "A >\n  b #2 disabled\n >\n  c #4 disabled\n"},
    {"JumpOfTwoLevelsIsIgnored", u"A\n\t\t\tX\nB", "B #3 disabled\n"},
    {"IgnoredJumpLeavesAHeaderWithoutSubmenu", u"A\n\tB\n\t\t\tX\n\tC\nD",
     "A >\n  C #4 disabled\nD #5 disabled\n"},
    {"LinesBeforeTheFirstTopLevelLineAreIgnored", u"\ta\n\t\tb\n\tc\nd\n\te",
     "d >\n  e #5 disabled\n"},
    {"DeepLastLineClosesEveryLevel", u"a\n\tb\n\t\tc\n\t\t\td",
     "a >\n  b >\n    c >\n      d #4 disabled\n"},
    {"ClosingReturnsToTheRightLevel", u"a\n\tb\n\t\tc\n\td\ne\n\tf\n\t\tg\nh",
     "a >\n  b >\n    c #3 disabled\n  d #4 disabled\ne >\n  f >\n    g #7 disabled\n"
     "h #8 disabled\n"},
};

class FavouritesMenuTest : public FavouritesTest, public ::testing::WithParamInterface<TreeCase> {};

} // namespace

TEST_P(FavouritesMenuTest, BuildsTheTree) {
  MakeFile(u"C:\\Work\\notes.txt");
  MakeFile(u"\\\\srv\\share\\x.txt");
  for (const auto& [Name, Value] : {std::pair<std::u16string, std::u16string>{u"W", u"C:\\Work"},
                                    {u"SystemDrive", u"C:"},
                                    {u"DIR", u"Work"},
                                    {u"SHARE", u"\\\\srv\\share"},
                                    {u"D", u"C:\\"},
                                    {u"REL", u"Work"},
                                    {u"Q", u"C:\\a\"b"}})
    standin::SetEnvironmentValue(Name, Value);
  const auto Lines = LinesOf(GetParam().Text);
  {
    const TFavouritesMenu Menu = BuildFavouritesMenu(*Lines);
    EXPECT_EQ(platform::DescribeMenu(Menu.Root()), GetParam().Tree);
  }
  EXPECT_EQ(standin::LiveMenuCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, FavouritesMenuTest, ::testing::ValuesIn(TreeCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(FavouritesTest, MissingFileIsEnabledOnceItExists) {
  const auto Lines = LinesOf(u"Report\tC:\\Missing\\report.txt /l 5");
  EXPECT_EQ(platform::DescribeMenu(BuildFavouritesMenu(*Lines).Root()), "Report #1 grayed\n");
  MakeFile(u"C:\\Missing\\report.txt");
  EXPECT_EQ(platform::DescribeMenu(BuildFavouritesMenu(*Lines).Root()), "Report #1\n");
}

TEST_F(FavouritesTest, HeaderTextsArePoppedDeepestFirst) {
  TFavouritesMenuBuilder Builder;
  Builder.PushCaption(0, u"a");
  Builder.PushCaption(0, u"b");
  Builder.PushCaption(1, u"c");
  EXPECT_EQ(Builder.PopCaption(1), u"c");
  EXPECT_EQ(Builder.PopCaption(1), u"");
  EXPECT_EQ(Builder.PopCaption(0), u"b");
  EXPECT_EQ(Builder.PopCaption(0), u"a");
  EXPECT_EQ(Builder.PopCaption(5), u"");
}

TEST_F(FavouritesTest, IndentCountsOnlyLeadingTabs) {
  EXPECT_EQ(IndentLevel(u"\t\tx\t"), 2);
  EXPECT_EQ(IndentLevel(u" \tx"), 0);
  const auto Lines = LinesOf(u"a\r\n\t\tb\r\n\tc");
  EXPECT_EQ(NextIndentLevel(*Lines, 0), 2);
  EXPECT_EQ(NextIndentLevel(*Lines, 1), 1);
  EXPECT_EQ(NextIndentLevel(*Lines, 2), -1);
  EXPECT_EQ(NextIndentLevel(*Lines, -1), -1);
}

TEST_F(FavouritesTest, ParsesLabelTargetPathAndOptions) {
  const TFavouriteLine Line = ParseFavouriteLine(u"Notes\tC:\\a b.txt /l 3 /x");
  EXPECT_EQ(Line.FieldCount, 2);
  EXPECT_EQ(Line.Label, u"Notes");
  EXPECT_EQ(Line.Path, u"C:\\a b.txt");
  EXPECT_EQ(Line.Options, u"l 3 /x");
  EXPECT_EQ(ParseFavouriteLine(u"C:\\a.txt").Options, u"");
  EXPECT_EQ(ParseFavouriteLine(u"").FieldCount, 1);
  EXPECT_EQ(FileNamePart(u"C:x"), u"x");
  EXPECT_EQ(TrimBlanksAndControls(u"\t \x01 a\tb \r\n"), u"a\tb");
}

TEST_F(FavouritesTest, EveryPopupIsReleasedWhenABuildFails) {
  const auto Lines = LinesOf(u"a\n\tb\n\t\tc\n\t\t\td\ne");
  for (int Limit = 0; Limit < 5; ++Limit) {
    standin::ResetMenus();
    standin::SetMenuCreationLimit(Limit);
    EXPECT_THROW(BuildFavouritesMenu(*Lines), Exception) << Limit;
    EXPECT_EQ(standin::LiveMenuCount(), 0) << Limit;
  }
}
