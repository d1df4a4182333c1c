// marigold-check's report on the format's examples: which lines get which diagnostic, and the
// menu it draws being the plug-in's own.

#include "CheckReport.h"

#include "platform/MenuDrawing.h"
#include "plugin/FavouritesMenu.h"
#include "unit/posix/FavouritesTestFixture.h"

#include <gmock/gmock.h>

#include <chrono>
#include <thread>

using namespace marigold::check;

namespace {

struct CheckCase {
  const char* Name;
  std::string_view Bytes;
  std::vector<std::string> Diagnostics; // "LINE kind arg|arg", the encoding note left out
  std::string_view Encoding = "ANSI";
};

// On disk: C:\Work (folder) and C:\Work\notes.txt; the settings file lies in C:\Work.
const CheckCase CheckCases[] = {
    {"OrdinaryEntriesSayNothing",
     "A\r\n\tC:\\Work\\notes.txt\r\n\t-\r\nN\tC:\\Work /l 3\r\n-\r\n",
     {}},
    {"JumpIsIgnoredAndItsHeaderNeverClosed",
     "A\n\t\t\tX\nC:\\Work",
     {"1 header-never-closed A", "2 ignored-jump 3|1"}},
    {"JumpInsideASubmenu",
     "A\n\tB\n\t\t\tX\n\tC:\\Work\nC:\\Work\\notes.txt",
     {"2 header-never-closed B", "3 ignored-jump 3|2"}},
    {"LinesBeforeTheFirstTopLevelLine",
     "\ta\n\t\tb\nC:\\Work",
     {"1 ignored-before-top 1", "2 ignored-before-top 2"}},
    {"EntriesOfASubmenuNeverClosed",
     "H\n\tC:\\Work\n\tB\n\t\t\tX\nC:\\Work\\notes.txt",
     {"1 header-never-closed H", "2 not-shown", "3 header-never-closed B", "4 ignored-jump 3|2"}},
    {"HeaderSwallowsItsTarget",
     "Docs\tC:\\Work\n\tC:\\Work\\notes.txt",
     {"1 header-with-target C:\\Work"}},
    {"EmptyLinesAndAnEmptyHeader",
     "\r\n  \r\nC:\\Work\r\n\r\n\tC:\\Work\\notes.txt",
     {"1 empty-line", "2 empty-line", "4 empty-header"}},
    {"ThreeOrMoreFields", "a\tb\tc\na\t\tc", {"1 too-many-fields 3", "2 too-many-fields 3"}},
    {"RelativePathAndItsAbsoluteForm",
     "notes.txt\nN\t..\\x.txt /l 3\nC:x",
     {"1 relative notes.txt|C:\\Work\\notes.txt", "2 relative ..\\x.txt|C:\\x.txt",
      "3 relative C:x|"}},
    {"InvalidPathsNameTheirRule",
     "C:/Work\nx\\..\\y\nC:\\a\\\\b\n\\x\nC:\\.git\nC:\\a:b\nN\t /l 3",
     {"1 invalid-path C:/Work rule 1", "2 invalid-path x\\..\\y rule 5",
      "3 invalid-path C:\\a\\\\b rule 4", "4 invalid-path \\x rule 3",
      "5 invalid-path C:\\.git rule 6", "6 invalid-path C:\\a:b rule 7", "7 invalid-path  rule 2"}},
    {"MissingTarget",
     "Report\tC:\\Missing\\report.txt /l 5",
     {"1 missing C:\\Missing\\report.txt"}},
    {"SameTargetTwice", "C:\\Work\nW\tc:\\WORK\nC:\\Work /l 3", {"2 duplicate 1"}},
    {"Utf8WithMark",
     "\xEF\xBB\xBF\xE3\x83\xA1\xE3\x83\xA2\tC:\\Work\\notes.txt",
     {},
     "UTF-8 (BOM)"},
    {"Utf8WithABrokenLine",
     "\xE3\x83\xA1\xE3\x83\xA2\tC:\\Work\\notes.txt\n\xE3\x83\tC:\\Work",
     {"2 looks-like-utf-8"}},
    {"Utf16WithoutMark", std::string_view("-\0\n\0-\0", 6), {"0 looks-like-utf-16 LE"}},
    {"Utf16WithHalfAUnitAtTheEnd",
     std::string_view("\xFF\xFE"
                      "C\0:\0\\\0W\0o\0r\0k\0\n\0x",
                      19),
     {"2 unstorable-bytes UTF-16 LE", "2 relative \xEF\xBF\xBD|C:\\Work\\\xEF\xBF\xBD"},
     "UTF-16 LE"},
    {"Utf8BytesThatAreNoCharacter",
     "\xEF\xBB\xBF"
     "C:\\Work\n\xFF\tC:\\Work\\notes.txt",
     {"2 unstorable-bytes UTF-8 (BOM)"},
     "UTF-8 (BOM)"},
};

std::string Render(const Diagnostic& D) {
  std::string Out = std::to_string(D.Line) + " " + std::string(ProblemName(D.Kind));
  for (size_t I = 0; I < D.Args.size(); ++I)
    Out += (I ? "|" : " ") + ToUtf8(D.Args[I]);
  if (D.Kind == Problem::InvalidPath)
    Out += " rule " + std::to_string(static_cast<int>(D.Rule));
  return Out;
}

class CheckReportTest : public FavouritesTest, public ::testing::WithParamInterface<CheckCase> {
protected:
  void SetUp() override {
    FavouritesTest::SetUp();
    MakeFile(u"C:\\Work\\notes.txt");
  }
  static Report Check(std::string_view Bytes) {
    return CheckSettings(Bytes, u"C:\\Work\\", LookupClock::now() + LookupDeadline);
  }
};

} // namespace

TEST_P(CheckReportTest, ReportsEachLineThatIsNoOrdinaryEntry) {
  const CheckCase& C = GetParam();
  const Report R = Check(C.Bytes);
  ASSERT_FALSE(R.Diagnostics.empty());
  EXPECT_EQ(Render(R.Diagnostics[0]), "0 encoding " + std::string(C.Encoding));
  std::vector<std::string> Seen;
  for (size_t I = 1; I < R.Diagnostics.size(); ++I)
    Seen.push_back(Render(R.Diagnostics[I]));
  EXPECT_EQ(Seen, C.Diagnostics);
  const bool Warned = std::any_of(R.Diagnostics.begin(), R.Diagnostics.end(),
                                  [](const Diagnostic& D) { return D.Level == Severity::Warning; });
  EXPECT_EQ(ExitStatus(R), Warned ? 1 : 0);

  // The drawing is the plug-in's own menu of the same lines.
  TCommonStringRecordList Lines;
  Lines.SetText(DecodeText(C.Bytes, DetectTextEncoding(C.Bytes)));
  EXPECT_EQ(R.Drawing, platform::DescribeMenu(BuildFavouritesMenu(Lines).Root()));
}

INSTANTIATE_TEST_SUITE_P(Examples, CheckReportTest, ::testing::ValuesIn(CheckCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(FavouritesTest, CheckSeverityDecidesTheExitStatus) {
  MakeFile(u"C:\\Work\\notes.txt");
  const auto Deadline = [] { return LookupClock::now() + LookupDeadline; };
  EXPECT_EQ(
      ExitStatus(CheckSettings("C:\\Work\\notes.txt\n\nC:\\Work\\notes.txt", u"", Deadline())),
      0); // an empty line and a duplicate are notes
  EXPECT_EQ(ExitStatus(CheckSettings("notes.txt", u"", Deadline())), 1);
}

TEST_F(FavouritesTest, CheckNotesATargetThatDoesNotAnswerInTime) {
  platform::standin::SetLookupHook([](const std::string& Native) {
    if (Native.find("/Slow/") != std::string::npos)
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
  });
  const Report R = CheckSettings("C:\\Slow\\late.txt", u"", LookupClock::now() + LookupDeadline);
  ASSERT_EQ(R.Diagnostics.size(), 2u);
  EXPECT_EQ(Render(R.Diagnostics[1]), "1 unanswered C:\\Slow\\late.txt|200");
  EXPECT_EQ(R.Drawing, "late.txt #1\n"); // enabled, as the menu shows it
  while (LookupThreads() != 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

TEST_F(FavouritesTest, CheckTextAndJsonForms) {
  const Report R = CheckSettings("A\n\t\t\tX\nnotes.txt", u"", LookupClock::now() + LookupDeadline);
  EXPECT_EQ(FormatText(R, u"s.txt", Language::English),
            "The menu (the favourites; the fixed entries 登録, 設定編集 and キャンセル follow "
            "them):\n"
            "  notes.txt #3 disabled\n"
            "s.txt: note: the plug-in reads this file as ANSI (the system code page)\n"
            "s.txt:1: warning: header \"A\": its submenu is never closed, so it does not appear in "
            "the menu\n"
            "s.txt:2: warning: ignored: indented 3 levels deep, at most 1 allowed here (one more "
            "than the line before)\n"
            "s.txt:3: warning: notes.txt is a relative path: the entry is disabled, as only "
            "absolute paths open\n"
            "3 warnings, 1 note\n");
  EXPECT_THAT(
      FormatText(R, u"s.txt", Language::Japanese),
      ::testing::HasSubstr("s.txt:2: warning: 無視されます: 字下げが 3 段ですが、ここでは 1 "
                           "段までです"));
  EXPECT_THAT(FormatJson(R, u"s.txt", Language::English),
              ::testing::StartsWith("{\"file\":\"s.txt\",\"encoding\":\"ANSI\",\"tree\":[{"
                                    "\"caption\":\"notes.txt\",\"id\":3,\"state\":\"disabled\"}],"
                                    "\"diagnostics\":[{\"line\":0,\"severity\":\"note\","));
}

TEST(JsonString, EscapesWhatJsonRequires) {
  const std::pair<std::u16string_view, std::string_view> Cases[] = {
      {u"", "\"\""},
      {u"a\"b\\c", "\"a\\\"b\\\\c\""},
      {u"\t\r\n\x01\x1f", "\"\\t\\r\\n\\u0001\\u001f\""},
      {u"C:\\メモ\U0001F600", "\"C:\\\\メモ\U0001F600\""},
      {u"\xD800x\xDC00", "\"\\ud800x\\udc00\""},
      {u"/\x7f", "\"/\x7f\""},
  };
  for (const auto& [Text, Json] : Cases)
    EXPECT_EQ(JsonString(Text), Json) << ToUtf8(Text);
}
