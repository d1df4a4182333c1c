// marigold-check's report on the format's examples: which lines get which diagnostic, and the
// menu it draws being the plug-in's own.

#include "CheckReport.h"

#include "platform/MenuDrawing.h"
#include "platform/standin/ShellStandIn.h"
#include "plugin/FavouritesMenu.h"
#include "unit/posix/FavouritesTestFixture.h"

#include <gmock/gmock.h>

#include <chrono>
#include <regex>
#include <set>
#include <thread>

using namespace marigold::check;

namespace {

struct CheckCase {
  const char* Name;
  std::string_view Bytes;
  // "LINE kind arg|arg [rule R] [disabled|grayed] [because LINE] [hides A,B]", causes first, the
  // encoding note left out
  std::vector<std::string> Diagnostics;
  std::string_view Encoding = "ANSI";
};

// On disk: C:\Work (folder) and C:\Work\notes.txt; the settings file lies in C:\Work. The
// environment variable W is C:\Work.
const CheckCase CheckCases[] = {
    {"OrdinaryEntriesSayNothing",
     "A\r\n\tC:\\Work\\notes.txt\r\n\t-\r\nN\tC:\\Work /l 3\r\n-\r\n",
     {}},
    {"JumpIsIgnoredAndItsHeaderNeverClosed",
     "A\n\t\t\tX\nC:\\Work",
     {"2 ignored-jump-hides 3|1|2 hides A", "1 header-never-closed A because 2"}},
    {"JumpInsideASubmenu",
     "A\n\tB\n\t\t\tX\n\tC:\\Work\nC:\\Work\\notes.txt",
     {"3 ignored-jump-hides 3|2|1 hides B", "2 header-never-closed B because 3"}},
    {"LinesBeforeTheFirstTopLevelLine",
     "\ta\n\t\tb\nC:\\Work",
     {"1 ignored-before-top 1", "2 ignored-before-top 2"}},
    {"EntriesOfASubmenuNeverClosed",
     "H\n\tC:\\Work\n\tB\n\t\t\tX\nC:\\Work\\notes.txt",
     {"4 ignored-jump-hides 3|2|1 hides H,B", "1 header-never-closed H because 4",
      "2 not-shown because 4", "3 header-never-closed B because 4"}},
    {"SubmenuClosedInsideOneNeverClosed",
     "H\n\tG\n\t\tC:\\Work\n\t\t-\n\tB\n\t\t\tX\nC:\\Work\\notes.txt",
     {"6 ignored-jump-hides 3|2|1 hides H,B", "1 header-never-closed H because 6",
      "3 not-shown because 6", "4 not-shown because 6", "5 header-never-closed B because 6"}},
    {"TooDeepWithoutLosingASubmenu", "B\n\t\tX\n\tC:\\Work", {"2 ignored-jump 2|1|1"}},
    {"HeaderMadeByATooDeepLine",
     "Docs\tC:\\Work\n\t\tC:\\Work\\notes.txt\nC:\\Work\\notes.txt",
     {"2 ignored-jump-hides 2|1|1 hides Work", "1 header-with-target C:\\Work because 2",
      "1 header-never-closed Work because 2"}},
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
     {"0 looks-like-utf-8 2"}},
    {"Utf8WithABrokenByteCountsTheFilesLines", // read as ANSI: the break after ト is taken in
     "\xE3\x83\x8E\xE3\x83\xBC\xE3\x83\x88\n\tC:\\Work\\notes.txt\nC:\\Work\\gone.txt\n"
     "\xE3\x83\tC:\\Work\\notes.txt\n",
     {"0 looks-like-utf-8 4", "3 missing C:\\Work\\gone.txt", "4 duplicate 1"}},
    {"LfAnsiLeadByteTakesTheLineBreak",
     "\x83\x81\x83\x82\x83\nC:\\Work\\gone1.txt\nC:\\Work\\gone2.txt\n\x83\n",
     {"1 joined-line ANSI|2", "1 invalid-path メモ・C:\\Work\\gone1.txt rule 7",
      "3 missing C:\\Work\\gone2.txt", "4 unstorable-bytes ANSI", "4 relative ・|C:\\Work\\・"}},
    {"CrLfAnsiLeadByteKeepsTheLineBreak",
     "\x83\x81\x83\x82\x83\r\nC:\\Work\\gone1.txt\r\nC:\\Work\\gone2.txt\r\n",
     {"1 unstorable-bytes ANSI", "1 relative メモ・|C:\\Work\\メモ・",
      "2 missing C:\\Work\\gone1.txt", "3 missing C:\\Work\\gone2.txt"}},
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
    {"NamedCauses",
     ";C:\\Work\\old.txt\n#メモ\tC:\\Work\\notes.txt\n\"C:\\Work\\notes.txt\"\n"
     "C:\\Work\\notes.txt\u3000/l 120\nN\tC:\\Work\\notes.txt\u3000 /l "
     "1\n\u3000C:\\Work\\notes.txt\n"
     "C:\\Work\\\nC:\\\n\u3000W\tC:\\Work /l 1\nM\t\u3000C:\\Work\\notes.txt",
     {"1 comment-line ; disabled", "2 comment-line #",
      "3 quoted-path \"C:\\Work\\notes.txt\" disabled",
      "4 full-width-space C:\\Work\\notes.txt\u3000/l 120|C:\\Work\\notes.txt disabled",
      "5 full-width-space C:\\Work\\notes.txt\u3000|C:\\Work\\notes.txt grayed",
      "6 full-width-indent 0 disabled", "7 trailing-backslash C:\\Work\\|Folder ",
      "8 root-without-caption C:\\|Folder ", "9 full-width-indent 0",
      "10 full-width-space-first \u3000C:\\Work\\notes.txt disabled"},
     "UTF-8"},
    {"FullWidthIndentOfAHeader", "\u3000H\n\tC:\\Work", {"1 full-width-indent 0"}, "UTF-8"},
    {"EnvironmentVariables",
     "%W%\\notes.txt\n%NOPE%\\x.txt\nC:\\%NOPE%\\x.txt\n%w%\\gone.txt\nC:\\Work\\notes.txt",
     {"1 expanded %W%\\notes.txt|C:\\Work\\notes.txt", "2 unset-variable %NOPE% disabled",
      "3 unset-variable %NOPE% grayed", "4 expanded %w%\\gone.txt|C:\\Work\\gone.txt",
      "4 missing C:\\Work\\gone.txt", "5 duplicate 1"}},
};

std::string Render(const Diagnostic& D) {
  std::string Out = std::to_string(D.Line) + " " + std::string(ProblemName(D.Kind));
  for (size_t I = 0; I < D.Args.size(); ++I)
    Out += (I ? "|" : " ") + ToUtf8(D.Args[I]);
  if (D.Kind == Problem::InvalidPath)
    Out += " rule " + std::to_string(static_cast<int>(D.Rule));
  if (D.Effect != Outcome::None)
    Out += D.Effect == Outcome::Disabled ? " disabled" : " grayed";
  if (D.Because != 0)
    Out += " because " + std::to_string(D.Because);
  for (size_t I = 0; I < D.Hidden.size(); ++I)
    Out += std::string(I ? "," : " hides ") + ToUtf8(D.Hidden[I]);
  return Out;
}

class CheckReportTest : public FavouritesTest, public ::testing::WithParamInterface<CheckCase> {
protected:
  void SetUp() override {
    FavouritesTest::SetUp();
    MakeFile(u"C:\\Work\\notes.txt");
    platform::standin::SetEnvironmentValue(u"W", u"C:\\Work");
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

// The cause each settings file's first line diagnostic names, in both languages.
TEST_F(CheckReportTest, NamesTheCauseInBothLanguages) {
  const struct {
    std::string_view Bytes;
    std::string_view English, Japanese;
  } Cases[] = {
      {"A\n\t\t\tX\nC:\\Work",
       "ignored: indented 3 levels deep, where 1 is the most allowed (one more than the line "
       "before), and with it the menu loses the submenu \"A\" with all its entries; remove 2 "
       "levels "
       "of indentation",
       "無視されます: 字下げが 3 段ありますが、ここでは 1 段 (前の行より 1 段深い) までです。"
       "このためサブメニュー「A」とその中の項目もメニューから消えます。字下げを 2 "
       "段減らしてください"},
      {"C:\\Work\\notes.txt\u3000/l 120",
       "C:\\Work\\notes.txt\u3000/l 120 has a full-width space after \"C:\\Work\\notes.txt\": the "
       "entry is disabled; type a half-width space there instead (an option such as /l 120 needs "
       "a half-width space before it)",
       "C:\\Work\\notes.txt\u3000/l 120 の「C:\\Work\\notes.txt」の後ろに全角スペースがあります。"
       "項目は無効になります。半角スペースに直してください (/l 120 などのオプションの前は半角"
       "スペースです)"},
      {"\"C:\\Work\\notes.txt\" /l 3",
       "\"C:\\Work\\notes.txt\" is enclosed in double quotes (as \"Copy as path\" copies it), "
       "and a path cannot hold them: the entry is disabled; remove the double quotes",
       "\"C:\\Work\\notes.txt\" がダブルクォーテーション (\") で囲まれています (「パスのコピー」で"
       "コピーするとこうなります)。パスに \" は使えません。項目は無効になります。\" を取り除いて"
       "ください"},
      {"# C:\\Work\\old.txt",
       "a line starting with \"#\" is no comment: the plug-in reads it as a favourite like any "
       "other: the entry is disabled; to leave a favourite out, delete its line",
       "「#」で始まる行もコメントにはならず、ほかの行と同じくお気に入りとして読まれます。項目は"
       "無効になります。使わないお気に入りは行ごと削除してください"},
      {"\t\u3000C:\\Work",
       "ignored: the line is indented, but comes before the first line without indentation; remove "
       "its indentation",
       "無視されます: 字下げのない最初の行より前にある、字下げされた行です。"
       "字下げをなくしてください"},
      {"\u3000C:\\Work",
       "the line is indented with a full-width space, which is no indentation (only TABs are): the "
       "line is read as indented 0 levels: the entry is disabled; indent it with TABs",
       "全角スペースで字下げされていますが、字下げになるのは TAB だけなので、この行は字下げ 0 段の"
       "行として読まれます。項目は無効になります。TAB で字下げしてください"},
      {"C:\\Work\\",
       "C:\\Work\\ ends in \\, so the entry's caption is \"Folder \", without a name; "
       "remove the \\ at its end",
       "C:\\Work\\ は \\ で終わっているため、表示名が「Folder 」となり、名前が出ません。末尾の \\ "
       "を削除してください"},
      {"%ONEDRIVE%\\notes.txt",
       "%ONEDRIVE% is not set here: the entry is disabled; set the environment variable, or write "
       "the path out in full",
       "環境変数 %ONEDRIVE% はこの環境では設定されていません。項目は無効になります。環境変数を設定"
       "するか、パスを省略せずに書いてください"},
      {"%W%\\notes.txt",
       "with its environment variables put in, %W%\\notes.txt is C:\\Work\\notes.txt here",
       "環境変数を展開すると、%W%\\notes.txt はこの環境では C:\\Work\\notes.txt になります"},
      {"\xE3\x83\xA1\xE3\x83\xA2\n\xE3\x83",
       "the file is UTF-8, but line 2 holds a byte that is not, so the plug-in reads the "
       "whole file as ANSI (Shift_JIS on Japanese Windows) and its Japanese text comes out "
       "garbled; open the "
       "file in the editor as UTF-8 (not as Shift_JIS), correct the character on line 2, and save "
       "it as UTF-8",
       "このファイルは UTF-8 ですが、2 行目に UTF-8 として読めないバイトがあるため、プラグインは"
       "ファイル全体をシフト JIS (ANSI) として読み、日本語が文字化けします。エディターで文字コード"
       "を UTF-8 に指定して開き (シフト JIS ではなく)、2 行目のその文字を直してから UTF-8 で保存"
       "してください"},
  };
  for (const auto& C : Cases) {
    const Report R = Check(C.Bytes);
    ASSERT_GE(R.Diagnostics.size(), 2u) << C.Bytes;
    EXPECT_EQ(ToUtf8(DiagnosticMessage(R.Diagnostics[1], Language::English)), C.English);
    EXPECT_EQ(ToUtf8(DiagnosticMessage(R.Diagnostics[1], Language::Japanese)), C.Japanese);
  }
}

// Every text has both languages, with the same placeholders.
TEST(CheckMessages, EveryTextHasBothLanguagesAlike) {
  const auto Placeholders = [](std::u16string_view Text) {
    const std::string Utf8 = ToUtf8(Text);
    std::multiset<std::string> Found;
    const std::regex Placeholder("\\{[0-9a-z]\\}");
    for (auto M = std::sregex_iterator(Utf8.begin(), Utf8.end(), Placeholder);
         M != std::sregex_iterator(); ++M)
      Found.insert(M->str());
    return std::set<std::string>(Found.begin(), Found.end());
  };
  std::set<std::string_view> Keys;
  for (const Message& M : Messages()) {
    EXPECT_FALSE(M.English.empty()) << M.Key;
    EXPECT_FALSE(M.Japanese.empty()) << M.Key;
    EXPECT_EQ(Placeholders(M.English), Placeholders(M.Japanese)) << M.Key;
    EXPECT_TRUE(Keys.insert(M.Key).second) << M.Key << " twice";
  }
}

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
            "(#N: the entry made from line N; grayed: its target is not found; disabled: it cannot "
            "be chosen, though Windows draws it like any other; >: a submenu)\n"
            "s.txt: note: the plug-in reads this file as ANSI (Shift_JIS on Japanese Windows)\n"
            "s.txt:2: warning: ignored: indented 3 levels deep, where 1 is the most allowed (one "
            "more than the line before), and with it the menu loses the submenu \"A\" with all its "
            "entries; remove 2 levels of indentation\n"
            "s.txt:1: warning: the submenu \"A\" does not appear in the menu (because of line 2)\n"
            "s.txt:3: warning: notes.txt is a relative path: the entry is disabled, as only "
            "absolute paths open\n"
            "3 warnings, 1 note\n");
  const std::string Japanese = FormatText(R, u"s.txt", Language::Japanese);
  EXPECT_THAT(Japanese, ::testing::HasSubstr("  notes.txt #3 無効\n(#N: N 行目"));
  EXPECT_THAT(Japanese, ::testing::EndsWith("警告 3 件、注記 1 件\n"));
  const std::string Json = FormatJson(R, u"s.txt", Language::English);
  EXPECT_THAT(Json, ::testing::StartsWith(
                        "{\"file\":\"s.txt\",\"encoding\":\"ANSI\",\"tree\":[{\"caption\":"
                        "\"notes.txt\",\"id\":3,\"line\":3,\"state\":\"disabled\"}],"
                        "\"diagnostics\":[{\"line\":0,\"severity\":\"note\","));
  EXPECT_THAT(Json, ::testing::HasSubstr("\"depth\":\"3\",\"allowed\":\"1\",\"excess\":\"2\","
                                         "\"submenus\":[\"A\"]}"));
  EXPECT_THAT(Json, ::testing::HasSubstr("\"caption\":\"A\",\"because\":2}"));
}

TEST(CheckText, ControlCharactersAreShownNotWritten) {
  const std::pair<std::u16string_view, std::u16string_view> Cases[] = {
      {u"a\tb", u"a⇥b"},
      {std::u16string_view(u"\0\x1f\x7f\x85", 4), u"<U+0000><U+001F><U+007F><U+0085>"},
      {u"C:\\メモ ~", u"C:\\メモ ~"},
  };
  for (const auto& [Text, Shown] : Cases)
    EXPECT_EQ(Visible(Text), Shown) << ToUtf8(Text);
  EXPECT_EQ(Visible(u"a\t\x01", /*TabArrow=*/false), u"a\t<U+0001>"); // JSON escapes the TAB itself
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
