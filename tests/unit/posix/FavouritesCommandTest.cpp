// The favourites command over the scripted host, menus and file system: the menu's tail and
// ids, what each choice starts or writes, and the release of every popup.

#include "plugin/FavouritesCommand.h"

#include "base/Errors.h"
#include "lib/FileUnit.h"
#include "platform/Lock.h"
#include "platform/MenuDrawing.h"
#include "platform/standin/ShellStandIn.h"
#include "platform/standin/StandIn.h"
#include "plugin/FavouritesMenu.h"
#include "plugin/PluginFrame.h"
#include "unit/posix/FavouritesTestFixture.h"

#include <gmock/gmock.h>

#include <future>
#include <thread>

using namespace marigold;

using namespace marigold::plugin;

namespace standin = platform::standin;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

platform::WindowHandle const Editor = reinterpret_cast<platform::WindowHandle>(0x4242);
constexpr std::u16string_view Settings = u"C:\\Editor\\PlugIns\\Marigolds_Setting.txt";
constexpr std::u16string_view EditorExe = u"\"C:\\Editor\\Editor.exe\"";

const std::string Tail = "登録 >\n"
                         "  選択文字列検索指定の登録 #4 grayed\n"
                         "  行番号指定の登録 #3\n"
                         "  ファイル名のみの登録 #2\n"
                         "設定編集 #1\n"
                         "-\n"
                         "キャンセル #0\n";

class CommandTest : public FavouritesTest {
protected:
  void SetUp() override {
    FavouritesTest::SetUp();
    MakeFolder(u"C:\\Editor\\PlugIns");
    MakeFile(u"C:\\Work\\notes.txt");
    MakeFile(u"C:\\src\\main.c");
    ActiveFile = u"C:\\src\\main.c";
  }

  // Runs the command with the settings file holding Bytes; the user chooses what Choose
  // answers, looking at the menu as it is shown.
  void Run(const std::string& Bytes, std::function<int32_t(platform::MenuHandle)> Choose) {
    Write(Settings, Bytes);
    standin::SetMenuChooser([&](const standin::TrackCall& Call) {
      Shown = platform::DescribeMenu(Call.Menu);
      LiveWhileShown = standin::LiveMenuCount();
      return Choose(Call.Menu);
    });
    RunFavouritesCommand(Editor);
  }
  // The id of the entry whose caption is Caption, searched through the submenus.
  static int32_t IdOf(platform::MenuHandle Menu, std::u16string_view Caption) {
    for (const auto& Entry : standin::MenuEntries(Menu)) {
      if (Entry.Caption == Caption && !Entry.Submenu)
        return static_cast<int32_t>(Entry.Id);
      if (Entry.Submenu)
        if (const int32_t Id = IdOf(Entry.Submenu, Caption); Id >= 0)
          return Id;
    }
    return -1;
  }
  std::string Registered(RegisterForm Form) {
    const std::u16string Caption(Form == RegisterForm::Search       ? RegisterSearchCaption
                                 : Form == RegisterForm::LineNumber ? RegisterLineCaption
                                                                    : RegisterFileCaption);
    Run("C:\\Work\\notes.txt\r\n-\r\n", [&](auto Menu) { return IdOf(Menu, Caption); });
    return Read(Settings);
  }

  std::string Shown;
  int LiveWhileShown = 0;
};

} // namespace

TEST_F(CommandTest, EmptySettingsShowOnlyTheTail) {
  Run("", [](auto) { return 0; });
  EXPECT_EQ(Shown, Tail);
}

TEST_F(CommandTest, TailIdsFollowTheLineCountWhateverMadeEntries) {
  Run("A\r\n\tB\r\n-\r\n\r\nx\ty\tz\r\nC:\\Work\\notes.txt\r\na\r\nb\r\nc\r\n\t\t\tignored",
      [](auto) { return 0; });
  EXPECT_EQ(Shown, "A >\n  B #2 disabled\n-\n #4 disabled\nx\ty\tz #5 disabled\nnotes.txt #6\n"
                   "a #7 disabled\nb #8 disabled\n-\n"
                   "登録 >\n  選択文字列検索指定の登録 #14 grayed\n  行番号指定の登録 #13\n"
                   "  ファイル名のみの登録 #12\n設定編集 #11\n-\nキャンセル #0\n");
}

TEST_F(CommandTest, RegisterEntriesFollowTheActiveFileAndSelection) {
  ActiveFile.clear();
  Run("", [](auto) { return 0; });
  EXPECT_EQ(Shown, "登録 > grayed\n  選択文字列検索指定の登録 #4 grayed\n"
                   "  行番号指定の登録 #3 grayed\n  ファイル名のみの登録 #2 grayed\n"
                   "設定編集 #1\n-\nキャンセル #0\n");
  ActiveFile = u"C:\\src\\main.c";
  Selection = u"x";
  Run("", [](auto) { return 0; });
  EXPECT_EQ(Shown.substr(0, Shown.find("  行")), "登録 >\n  選択文字列検索指定の登録 #4\n");
}

TEST_F(CommandTest, MenuOpensAtTheCursorOwnedByTheHostWindow) {
  standin::SetCursorPosition(300, 200);
  Run("C:\\Work\\notes.txt", [](auto) { return 0; });
  ASSERT_EQ(standin::TrackCalls().size(), 1u);
  const auto& Call = standin::TrackCalls()[0];
  EXPECT_EQ(Call.Flags, 0x100u);
  EXPECT_EQ(Call.X, 300);
  EXPECT_EQ(Call.Y, 200);
  EXPECT_EQ(Call.Owner, Editor);
  EXPECT_GT(LiveWhileShown, 0);
}

TEST_F(CommandTest, HostIsAskedForTheFileThenTheSelectionThenTheCaret) {
  Registered(RegisterForm::LineNumber);
  std::vector<uint32_t> Asked;
  for (uint32_t M : Messages)
    if (M != HostMessageSetting)
      Asked.push_back(M);
  EXPECT_THAT(Asked, ElementsAre(2106u, 2094u, 2094u, 2074u, 2074u));
  EXPECT_EQ(Messages.front(), HostMessageSetting); // the settings file is found first
}

struct RegisterCase {
  const char* Name;
  RegisterForm Form;
  std::u16string_view Selection;
  int32_t CaretY;
  std::u16string_view FirstLine;
};

const RegisterCase RegisterCases[] = {
    {"FileOnly", RegisterForm::FileOnly, u"", 0, u"main.c\tC:\\src\\main.c"},
    {"FileOnlyWithSelection", RegisterForm::FileOnly, u"foo", 0, u"main.c foo\tC:\\src\\main.c"},
    {"LineOnFirstLine", RegisterForm::LineNumber, u"", 0, u"main.c Line:1\tC:\\src\\main.c /l 1"},
    {"LineWithSelection", RegisterForm::LineNumber, u"foo", 41,
     u"main.c foo Line:42\tC:\\src\\main.c /l 42"},
    {"SearchEscapesQuotesAndCleansTabs", RegisterForm::Search, u"say \"hi\"\tnow", 0,
     u"main.c say \"hi\" now\tC:\\src\\main.c /ff \"say \\\"hi\\\" now\""},
    {"SearchOverTwoLines", RegisterForm::Search, u"a\r\nb", 0,
     u"main.c a b\tC:\\src\\main.c /ff \"a b\""},
    {"LoneBreaksGo", RegisterForm::Search, u"a\rb\nc", 0,
     u"main.c abc\tC:\\src\\main.c /ff \"abc\""},
    // Always a closing quote, also when the escaped text ends in one.
    {"SearchEndingInAQuoteIsClosed", RegisterForm::Search, u"x=\"1\"", 0,
     u"main.c x=\"1\"\tC:\\src\\main.c /ff \"x=\\\"1\\\"\""},
    // Backslashes that would end the argument early are doubled; others stay.
    {"BackslashBeforeQuoteIsDoubled", RegisterForm::Search, u"a\\\" /l 9", 0,
     u"main.c a\\\" /l 9\tC:\\src\\main.c /ff \"a\\\\\\\" /l 9\""},
    {"TrailingBackslashIsDoubled", RegisterForm::Search, u"C:\\x\\", 0,
     u"main.c C:\\x\\\tC:\\src\\main.c /ff \"C:\\x\\\\\""},
    {"SearchOfJapaneseText", RegisterForm::Search, u"検索", 0,
     u"main.c 検索\tC:\\src\\main.c /ff \"検索\""},
};

class RegisterTest : public CommandTest, public ::testing::WithParamInterface<RegisterCase> {};

TEST_P(RegisterTest, WritesTheNewFirstLineAndNoFinalLineBreak) {
  Selection = GetParam().Selection;
  CaretY = GetParam().CaretY;
  EXPECT_EQ(Registered(GetParam().Form),
            EncodeAnsiText(GetParam().FirstLine) + "\r\nC:\\Work\\notes.txt\r\n-");
}

INSTANTIATE_TEST_SUITE_P(Forms, RegisterTest, ::testing::ValuesIn(RegisterCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(CommandTest, RegisteringDropsLeadingAndTrailingBlankLinesOfTheWholeText) {
  Run("a\r\n\r\n \t\r\n", [](auto Menu) { return IdOf(Menu, RegisterFileCaption); });
  EXPECT_EQ(Read(Settings), "main.c\tC:\\src\\main.c\r\na");
}

struct OpenCase {
  const char* Name;
  std::u16string_view Line;
  std::u16string_view Arguments; // empty: nothing is started
};

const OpenCase OpenCases[] = {
    {"FileWithLineOption", u"Notes\tC:\\Work\\notes.txt /l 120", u"\"C:\\Work\\notes.txt\" /l 120"},
    {"FileAlone", u"C:\\Work\\notes.txt", u"\"C:\\Work\\notes.txt\""},
    {"OptionsPassedOnUnchanged", u"C:\\Work\\notes.txt /ff \"a /b\"",
     u"\"C:\\Work\\notes.txt\" /ff \"a /b\""},
    {"Folder", u"C:\\Work", u"\"C:\\Work\""},
    {"FolderWithOptionsOpensTheFolder", u"C:\\Work /l 3", u"\"C:\\Work\""},
    {"TrailingTabAndBlanksAsTheMenuShowsIt", u" C:\\Work\\notes.txt\t ",
     u"\"C:\\Work\\notes.txt\""},
    {"IndentedLine", u"\tC:\\Work\\notes.txt", u"\"C:\\Work\\notes.txt\""},
    {"MissingFile", u"C:\\Work\\gone.txt", u""},
    {"RelativePath", u"Work\\notes.txt", u""},
    {"Malformed", u"a\tC:\\Work\\notes.txt\tb", u""},
    // W='C:\Work'; the options and the label are passed on as written.
    {"PathThroughAVariable", u"%W%\t%W%\\notes.txt /ff \"%W%\"",
     u"\"C:\\Work\\notes.txt\" /ff \"%W%\""},
    {"FolderThroughAVariable", u"%W%", u"\"C:\\Work\""},
    {"UnsetVariable", u"%NOPE%\\notes.txt", u""},
};

class OpenTest : public CommandTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenTest, StartsTheEditorOnWhatTheEntryShows) {
  standin::SetEnvironmentValue(u"W", u"C:\\Work");
  const auto Lines = LinesOf(u"x\r\n" + std::u16string(GetParam().Line));
  OpenFavourite(*Lines, 1);
  if (GetParam().Arguments.empty())
    EXPECT_THAT(standin::StartedProcesses(), IsEmpty());
  else
    EXPECT_THAT(standin::StartedProcesses(), ElementsAre(std::u16string(EditorExe) + u" " +
                                                         std::u16string(GetParam().Arguments)));
}

INSTANTIATE_TEST_SUITE_P(Lines, OpenTest, ::testing::ValuesIn(OpenCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(CommandTest, ChoosingAFavouriteInASubmenuOpensIt) {
  Run("Work\r\n\tNotes\tC:\\Work\\notes.txt /l 120\r\n\tC:\\Work",
      [](auto Menu) { return IdOf(Menu, u"Notes"); });
  EXPECT_THAT(standin::StartedProcesses(),
              ElementsAre(std::u16string(EditorExe) + u" \"C:\\Work\\notes.txt\" /l 120"));
}

TEST_F(CommandTest, EditSettingsOpensTheSettingsFile) {
  Run("a", [](auto Menu) { return IdOf(Menu, EditSettingsCaption); });
  EXPECT_THAT(standin::StartedProcesses(),
              ElementsAre(std::u16string(EditorExe) + u" \"" + std::u16string(Settings) + u"\""));
}

TEST_F(CommandTest, CancelDismissAndUnknownIdsDoNothing) {
  for (int32_t Choice : {0, -1, 99, 2 /* the header's line, which has no entry */}) {
    Run("A\r\n\tb\r\n", [&](auto) { return Choice; });
    EXPECT_EQ(Read(Settings), "A\r\n\tb\r\n") << Choice;
  }
  EXPECT_THAT(standin::StartedProcesses(), IsEmpty());
}

TEST_F(CommandTest, SaveErrorIsShownAfterEverythingIsReleasedAndTheFileKept) {
  standin::SetFileStepHook(
      [](standin::FileStep Step, const std::string&) { return Step != standin::FileStep::Write; });
  Write(Settings, "a\r\n");
  standin::SetMenuChooser([](const auto& Call) { return IdOf(Call.Menu, RegisterFileCaption); });
  int LiveAtMessage = -1;
  standin::SetMessageBoxAnswer([&](const auto&) {
    LiveAtMessage = standin::LiveMenuCount();
    return 1;
  });
  EXPECT_FALSE(RunGuarded(Editor, [] { RunFavouritesCommand(Editor); }));
  ASSERT_EQ(standin::MessageBoxCalls().size(), 1u);
  const auto& Box = standin::MessageBoxCalls()[0];
  EXPECT_EQ(Box.Owner, Editor);
  EXPECT_EQ(Box.Caption, u"Marigold");
  // The specified text, then the system's reason for the write that the disk did not take.
  EXPECT_EQ(Box.Text, u"Error:SaveAnsiStringToFile\r\n" + std::u16string(Settings) +
                          u"\r\nNo space left on device");
  EXPECT_EQ(LiveAtMessage, 0);
  EXPECT_EQ(Read(Settings), "a\r\n");
}

TEST_F(CommandTest, FailingMenuCreationReleasesWhatWasMade) {
  Write(Settings, "a\r\n\tb\r\nc");
  for (int Limit = 0; Limit < 4; ++Limit) {
    standin::ResetMenus();
    standin::SetMenuCreationLimit(Limit);
    EXPECT_THROW(RunFavouritesCommand(Editor), Exception) << Limit;
    EXPECT_EQ(standin::LiveMenuCount(), 0) << Limit;
  }
}

TEST(RunProgram, QuotesTheProgramAndAddsArgumentsAfterOneBlank) {
  standin::Reset();
  RunProgram(u"C:\\Program Files\\Tools\\editor.exe", u"");
  RunProgram(u"\"C:\\e.exe\"", u"\"C:\\a b\\c.txt\" /l 7");
  EXPECT_THAT(standin::StartedProcesses(), ElementsAre(u"\"C:\\Program Files\\Tools\\editor.exe\"",
                                                       u"\"C:\\e.exe\" \"C:\\a b\\c.txt\" /l 7"));
  standin::Reset();
}

// A registration adds its line in the file's own encoding and keeps every former byte, also
// bytes that are not valid in it; the text is trimmed at its ends only.
TEST_F(CommandTest, RegisteringKeepsTheFileEncodingAndEveryFormerByte) {
  using namespace std::string_literals;
  const std::string Added = "main.c\tC:\\src\\main.c\r\n";
  const struct {
    const char* Name;
    std::string Former, Expected;
  } Cases[] = {
      {"AnsiLeadByteBeforeABlank", "\x81 x\r\nC:\\Work\\notes.txt\r\n",
       Added + "\x81 x\r\nC:\\Work\\notes.txt"},
      {"Utf8", "\xE3\x83\xA1\xE3\x83\xA2\r\n", Added + "\xE3\x83\xA1\xE3\x83\xA2"},
      {"Utf8BomKeepsItsMarkAndAnInvalidByte", "\xEF\xBB\xBF\xFFx\r\n",
       "\xEF\xBB\xBF" + Added + "\xFFx"},
      {"Utf16Le", "\xFF\xFEx\0\r\0\n\0"s,
       "\xFF\xFEm\0a\0i\0n\0.\0c\0\t\0C\0:\0\\\0s\0r\0c\0\\\0m\0a\0i\0n\0.\0c\0\r\0\n\0x\0"s},
      {"Utf16BeMarkAlone", "\xFE\xFF"s,
       "\xFE\xFF\0m\0a\0i\0n\0.\0c\0\t\0C\0:\0\\\0s\0r\0c\0\\\0m\0a\0i\0n\0.\0c"s},
  };
  for (const auto& Case : Cases) {
    Run(Case.Former, [](auto Menu) { return IdOf(Menu, RegisterFileCaption); });
    EXPECT_EQ(Read(Settings), Case.Expected) << Case.Name;
  }
}

TEST_F(CommandTest, ANameTheFileCannotHoldIsRefusedInAnsiAndRegisteredInUtf8) {
  MakeFile(u"C:\\Work\\한국어.txt");
  ActiveFile = u"C:\\Work\\한국어.txt";
  Run("C:\\Work\\notes.txt", [](auto Menu) { return IdOf(Menu, RegisterFileCaption); });
  EXPECT_EQ(Read(Settings), "C:\\Work\\notes.txt");
  ASSERT_EQ(standin::MessageBoxCalls().size(), 1u);
  const auto& Box = standin::MessageBoxCalls()[0];
  EXPECT_EQ(Box.Owner, Editor);
  EXPECT_EQ(Box.Caption, u"Marigold");
  EXPECT_NE(Box.Text.find(u"C:\\Work\\한국어.txt"), std::u16string::npos);
  EXPECT_NE(Box.Text.find(u"UTF-8"), std::u16string::npos);

  Run("\xE3\x83\xA1\r\n", [](auto Menu) { return IdOf(Menu, RegisterFileCaption); });
  EXPECT_EQ(Read(Settings), "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4.txt\tC:\\Work\\"
                            "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4.txt\r\n\xE3\x83\xA1");
  EXPECT_EQ(standin::MessageBoxCalls().size(), 1u); // no second box
}

TEST_F(CommandTest, WhatAnotherProgramSavedWhileTheMenuWasOpenStays) {
  Run("a\r\n", [&](auto Menu) {
    Write(Settings, "b\r\na\r\n");
    return IdOf(Menu, RegisterFileCaption);
  });
  EXPECT_EQ(Read(Settings), "main.c\tC:\\src\\main.c\r\nb\r\na");
}

// Another editor registering all the time, through another spelling of the file (here: a link
// to it): after the wait the save error is shown with the system's reason, nothing is written,
// and no lock file is left.
TEST_F(CommandTest, ARegistrationThatCannotTakeTheLockWritesNothing) {
  Write(Settings, "a\r\n");
  std::filesystem::create_symlink(Native(Settings), Native(u"C:\\Editor\\link.txt"));
  std::promise<void> Taken, Release;
  std::thread Other([&] {
    const TSettingsLock Held(u"C:\\Editor\\link.txt", 0);
    Taken.set_value();
    Release.get_future().wait();
  });
  Taken.get_future().wait();
  EXPECT_THROW(Run("a\r\n", [](auto Menu) { return IdOf(Menu, RegisterFileCaption); }),
               EInOutError);
  Release.set_value();
  Other.join();
  EXPECT_EQ(Read(Settings), "a\r\n");
  EXPECT_FALSE(Exists(SettingsLockFileName(Settings)));
  EXPECT_EQ(SettingsLockName(u"C:\\Editor\\plugins\\M.txt"),
            SettingsLockName(u"c:\\editor\\PlugIns\\m.TXT"));
}

// Windows behaviours that POSIX and Wine do not show, each on a settings file that is a plain file
// and on one that is a link to a share. The menu shows every favourite, and the registration
// saves them all with the new line first, or writes nothing when a look-up cannot tell; the
// folder then holds the settings file and nothing else of ours.
TEST_F(CommandTest, RegistrationSurvivesWhatWindowsDoesAndWineDoesNot) {
  using standin::WindowsBehaviour;
  const std::string Former = "C:\\Work\\notes.txt\r\n-";
  const std::u16string Shared = u"\\\\srv\\share\\s.txt";
  for (const bool Linked : {false, true}) {
    for (const auto Behaviour :
         {WindowsBehaviour::LinkEntryDescribesLink, WindowsBehaviour::ReplaceLeavesReplacement,
          WindowsBehaviour::ReplaceMovesTargetAway, WindowsBehaviour::ReplaceUnsupported,
          WindowsBehaviour::AttributeLookupRefused}) {
      SCOPED_TRACE(testing::Message() << static_cast<int>(Behaviour) << (Linked ? " linked" : ""));
      std::filesystem::remove_all(Native(u"C:\\Editor\\PlugIns"));
      std::filesystem::remove_all(Native(u"\\\\srv"));
      MakeFolder(u"C:\\Editor\\PlugIns");
      if (Linked) {
        Write(Shared, "");
        std::filesystem::create_symlink(Native(Shared), Native(Settings));
      }
      const bool Refused = Behaviour == WindowsBehaviour::AttributeLookupRefused;
      if (!Refused)
        standin::ShowWindowsBehaviour(Behaviour);
      auto Register = [&] {
        Run(Former, [&](auto Menu) {
          if (Refused) // from the fresh read on
            standin::ShowWindowsBehaviour(Behaviour);
          return IdOf(Menu, RegisterFileCaption);
        });
      };
      if (Refused)
        EXPECT_THROW(Register(), EInOutError);
      else
        Register();
      standin::ShowWindowsBehaviour(std::nullopt);
      EXPECT_THAT(Shown, ::testing::HasSubstr("notes.txt #1"));
      EXPECT_EQ(Read(Settings), Refused ? Former : "main.c\tC:\\src\\main.c\r\n" + Former);
      EXPECT_EQ(std::filesystem::is_symlink(Native(Settings)), Linked);
      auto Names = [](std::u16string_view Folder) {
        std::vector<std::string> Found;
        if (std::filesystem::exists(Native(Folder)))
          for (const auto& Entry : std::filesystem::directory_iterator(Native(Folder)))
            Found.push_back(Entry.path().filename().string());
        return Found;
      };
      EXPECT_THAT(Names(u"C:\\Editor\\PlugIns"), ElementsAre("Marigolds_Setting.txt"));
      EXPECT_EQ(Names(u"\\\\srv\\share"),
                Linked ? std::vector<std::string>{"s.txt"} : std::vector<std::string>{});
    }
  }
}
