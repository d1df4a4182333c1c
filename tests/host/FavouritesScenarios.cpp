// The favourites command end to end: the real plug-in in the stand-in editor under Wine, its
// real popup read and clicked with real mouse input, the editor it starts recording its command
// line, and the settings file's bytes before and after.

#include "FavouritesSupport.h"

using namespace host;

namespace {

// The sample: nested submenus, labels, options, a folder, a missing file, a relative path, a
// malformed line, Japanese names. C:\Work and C:\Work\notes.txt exist.
const wchar_t* const SampleText = L"C:\\Work\\notes.txt\r\n"
                                  L"Notes\tC:\\Work\\notes.txt /l 120\r\n"
                                  L"C:\\Work\r\n"
                                  L"-\r\n"
                                  L"プロジェクト\r\n"
                                  L"\tメモ\tC:\\Work\\notes.txt /ff \"検索\"\r\n"
                                  L"\t資料\r\n"
                                  L"\t\tC:\\Work\\missing.txt\r\n"
                                  L"\t\t深い\tC:\\Work\\notes.txt /l 7\r\n"
                                  L"\t\trelative\\a.txt\r\n"
                                  L"a\tb\tc\r\n";

const std::string SampleTree = "notes.txt #1\n"
                               "Notes #2\n"
                               "Folder Work #3\n"
                               "-\n"
                               "プロジェクト >\n"
                               "  メモ #6\n"
                               "  資料 >\n"
                               "    missing.txt #8 grayed\n"
                               "    深い #9\n"
                               "    relative\\a.txt #10 disabled\n"
                               "a\tb\tc #11 disabled\n"
                               "-\n"
                               "登録 >\n"
                               "  選択文字列検索指定の登録 #15 grayed\n"
                               "  行番号指定の登録 #14\n"
                               "  ファイル名のみの登録 #13\n"
                               "設定編集 #12\n"
                               "-\n"
                               "キャンセル #0\n";

} // namespace

MARIGOLD_HOST_SCENARIO("favourites-menu", FavouritesMenu) {
  FavouritesStage Stage(Ctx, L"menu");
  Stage.WriteSettings(SampleText);
  const std::string Before = ReadBytes(Stage.SettingsFile());
  MenuDriver Driver(Stage.Window);
  Driver.ClickOutside();
  Stage.Run(Driver, {200, 150});
  CheckEqual(Driver.Tree, SampleTree, "the real menu's tree, captions, states and ids");
  CheckEqual(Driver.RootWindow.left, Driver.CursorAtShow.x, "the menu's left edge is the cursor");
  CheckEqual(Driver.RootWindow.top, Driver.CursorAtShow.y, "the menu's top edge is the cursor");
  CheckEqual(Driver.CursorAtShow.x, LONG{200}, "the cursor stayed where the user had it");
  CheckEqual(ReadBytes(Stage.SettingsFile()), Before, "clicking outside writes nothing");
  CheckEqual(Stage.Launches(0).size(), size_t{0}, "clicking outside starts nothing");
}

MARIGOLD_HOST_SCENARIO("favourites-open", FavouritesOpen) {
  FavouritesStage Stage(Ctx, L"open");
  Stage.WriteSettings(SampleText);
  const std::string Editor = std::string("\"").append(Utf8(OwnExecutable())).append("\"");
  const struct {
    std::vector<std::wstring> Path;
    std::string Arguments;
  } Choices[] = {
      {{L"Notes"}, " \"C:\\Work\\notes.txt\" /l 120"},
      {{L"プロジェクト", L"メモ"}, " \"C:\\Work\\notes.txt\" /ff \"検索\""},
      {{L"プロジェクト", L"資料", L"深い"}, " \"C:\\Work\\notes.txt\" /l 7"},
      {{L"Folder Work"}, " \"C:\\Work\""},
      {{L"設定編集"}, std::string(" \"").append(Utf8(Stage.SettingsFile())).append("\"")},
  };
  size_t Expected = 0;
  for (const auto& Choice : Choices) {
    MenuDriver Driver(Stage.Window);
    for (const auto& Caption : Choice.Path)
      Driver.Click(Caption);
    Stage.Run(Driver, {300, 120});
    const auto Lines = Stage.Launches(++Expected);
    CheckEqual(Lines.size(), Expected, "one editor started for " + Utf8(Choice.Path.back()));
    if (Lines.size() == Expected)
      CheckEqual(Lines.back(), Editor + Choice.Arguments, "the editor's command line");
  }
}

MARIGOLD_HOST_SCENARIO("favourites-register", FavouritesRegister) {
  FavouritesStage Stage(Ctx, L"register");
  Stage.WriteSettings(L"C:\\Work\\notes.txt\r\n-\r\n\r\n");
  Stage.Window.Answers.FileName = u"C:\\Work\\notes.txt";
  Stage.Window.Answers.Selection = u"say \"hi\"\tnow";
  Stage.Window.Answers.CaretLine = 41;
  std::string Expected = "C:\\Work\\notes.txt\r\n-";
  const struct {
    const wchar_t* Entry;
    std::string Line;
  } Forms[] = {
      {L"ファイル名のみの登録", "notes.txt say \"hi\" now\tC:\\Work\\notes.txt"},
      {L"行番号指定の登録", "notes.txt say \"hi\" now Line:42\tC:\\Work\\notes.txt /l 42"},
      {L"選択文字列検索指定の登録",
       "notes.txt say \"hi\" now\tC:\\Work\\notes.txt /ff \"say \\\"hi\\\" now\""},
  };
  for (const auto& Form : Forms) {
    MenuDriver Driver(Stage.Window);
    Driver.Click(L"登録").Click(Form.Entry);
    Stage.Run(Driver, {250, 100});
    Expected = Form.Line + "\r\n" + Expected;
    CheckEqual(ReadBytes(Stage.SettingsFile()), Expected,
               "the settings file after " + Utf8(std::wstring(Form.Entry)));
  }
  CheckEqual(Stage.Launches(0).size(), size_t{0}, "registering starts nothing");
}

MARIGOLD_HOST_SCENARIO("favourites-cancel", FavouritesCancel) {
  FavouritesStage Stage(Ctx, L"cancel");
  Stage.WriteSettings(SampleText);
  const std::string Before = ReadBytes(Stage.SettingsFile());
  const FILETIME Written = LastWriteTime(Stage.SettingsFile());
  MenuDriver Driver(Stage.Window);
  Driver.Click(L"キャンセル");
  Stage.Run(Driver, {200, 100});
  CheckEqual(ReadBytes(Stage.SettingsFile()), Before, "cancel writes nothing");
  const FILETIME After = LastWriteTime(Stage.SettingsFile());
  Check(CompareFileTime(&Written, &After) == 0, "cancel leaves the file untouched");
  CheckEqual(Stage.Launches(0).size(), size_t{0}, "cancel starts nothing");
}

MARIGOLD_HOST_SCENARIO("favourites-empty", FavouritesEmpty) {
  FavouritesStage Stage(Ctx, L"empty");
  Stage.Window.Answers.FileName.clear();
  MenuDriver Driver(Stage.Window);
  Driver.ClickOutside();
  Stage.Run(Driver, {200, 100});
  CheckEqual(Driver.Tree,
             std::string("登録 > grayed\n  選択文字列検索指定の登録 #4 grayed\n"
                         "  行番号指定の登録 #3 grayed\n  ファイル名のみの登録 #2 grayed\n"
                         "設定編集 #1\n-\nキャンセル #0\n"),
             "no settings file: only the tail, ids 1 to 4, registering grayed without a file");
  CheckEqual(ReadBytes(Stage.SettingsFile()), std::string(), "an empty settings file is created");
  Check(FileExistsW(Stage.SettingsFile()), "the settings file exists");
}

MARIGOLD_HOST_SCENARIO("favourites-migration", FavouritesMigration) {
  FavouritesStage Stage(Ctx, L"migrate");
  const std::wstring Legacy = Stage.Folder() + L"\\Marigolds.ini";
  WriteBytes(Legacy, ToAnsi(L"Notes\tC:\\Work\\notes.txt\r\n旧設定\tC:\\Work"));
  MessageBoxAnswerer Answerer(Stage.Window.Handle(), {IDYES});
  MenuDriver Driver(Stage.Window);
  Driver.IgnoreLateFocusLoss = true;
  Driver.ClickOutside();
  Stage.Run(Driver, {200, 100});
  const auto Boxes = Answerer.Wait(2000);
  CheckEqual(Boxes.size(), size_t{1}, "the migration question appears");
  if (!Boxes.empty()) {
    CheckEqual(Boxes[0].Caption, std::wstring(L"Wickerbox Plugin 設定ファイル移行"), "its caption");
    Check(Boxes[0].QuestionIcon, "it asks with the question icon");
  }
  Check(Driver.Tree.rfind("Notes #1\n旧設定 #2\n-\n登録 >", 0) == 0,
        "the menu shows the migrated favourites: " + Driver.Tree);
  CheckEqual(ReadBytes(Stage.SettingsFile()),
             ToAnsi(L"Notes\tC:\\Work\\notes.txt\r\n旧設定\tC:\\Work"),
             "the settings file holds the legacy text");
  Check(!FileExistsW(Legacy), "the legacy file is gone");
  Check(FileExistsW(Stage.Folder() + L"\\Marigolds_ini.bak"), "it was kept as its backup");
}

MARIGOLD_HOST_SCENARIO("favourites-save-error", FavouritesSaveError) {
  FavouritesStage Stage(Ctx, L"saveerr");
  Stage.WriteSettings(L"C:\\Work\\notes.txt");
  Stage.Window.Answers.FileName = u"C:\\Work\\notes.txt";
  const std::string Before = ReadBytes(Stage.SettingsFile());
  // Another program reads the file and lets nobody write it meanwhile.
  HANDLE Held = CreateFileW(Stage.SettingsFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(Held != INVALID_HANDLE_VALUE, "the settings file is held open");
  MessageBoxAnswerer Answerer(Stage.Window.Handle(), {IDOK});
  MenuDriver Driver(Stage.Window);
  Driver.Click(L"登録").Click(L"ファイル名のみの登録");
  Stage.Run(Driver, {200, 100});
  const auto Boxes = Answerer.Wait(3000);
  CloseHandle(Held);
  CheckEqual(Boxes.size(), size_t{1}, "the error is shown in a message box");
  if (!Boxes.empty()) {
    CheckEqual(Boxes[0].Caption, std::wstring(L"Marigold"), "its caption");
    // The specified text, then on a line of its own why the system refused.
    const std::wstring Specified = L"Error:SaveAnsiStringToFile\r\n" + Stage.SettingsFile();
    const std::wstring& Text = Boxes[0].Text;
    CheckEqual(Text.substr(0, Specified.size() + 2), Specified + L"\r\n", "its text first");
    const std::wstring Reason = Text.substr(std::min(Text.size(), Specified.size() + 2));
    Check(Reason == SystemText(ERROR_SHARING_VIOLATION) ||
              Reason == SystemText(ERROR_ACCESS_DENIED),
          "then the system's reason: the file is held by another program (" + Utf8(Reason) + ")");
    Check(Boxes[0].ErrorIcon, "it shows the error icon");
  }
  CheckEqual(ReadBytes(Stage.SettingsFile()), Before, "the settings file is unchanged");
}

// Settings files saved by other editors: UTF-8 with and without a byte order mark and UTF-16
// give their captions and find their non-ANSI paths; a name outside the ANSI code page
// registers into a UTF-8 file and opens, and is refused with a box in an ANSI file.
MARIGOLD_HOST_SCENARIO("favourites-encodings", FavouritesEncodings) {
  FavouritesStage Stage(Ctx, L"encodings");
  const std::wstring Korean = L"C:\\Work\\한국어.txt";
  WriteBytes(L"C:\\Work\\メモ.txt", "x");
  WriteBytes(Korean, "x");
  const std::wstring Text = L"メモ\tC:\\Work\\メモ.txt\r\n" + Korean + L"\r\n";
  const std::wstring_view Wide = Text;
  const std::string Utf16(reinterpret_cast<const char*>(Wide.data()), Wide.size() * 2);
  const struct {
    const char* Name;
    std::string Bytes;
  } Files[] = {
      {"UTF-8 with a byte order mark", "\xEF\xBB\xBF" + Utf8(Text)},
      {"UTF-8", Utf8(Text)},
      {"UTF-16 LE", "\xFF\xFE" + Utf16},
  };
  for (const auto& File : Files) {
    WriteBytes(Stage.SettingsFile(), File.Bytes);
    MenuDriver Driver(Stage.Window);
    Driver.ClickOutside();
    Stage.Run(Driver, {200, 150});
    CheckEqual(Driver.Tree.substr(0, Driver.Tree.find("-\n")),
               std::string("メモ #1\n한국어.txt #2\n"),
               std::string("captions and states of a ") + File.Name + " file");
  }

  Stage.Window.Answers.FileName = u"C:\\Work\\한국어.txt";
  WriteBytes(Stage.SettingsFile(), Utf8(L"C:\\Work\\メモ.txt"));
  MenuDriver Register(Stage.Window);
  Register.Click(L"登録").Click(L"ファイル名のみの登録");
  Stage.Run(Register, {250, 100});
  CheckEqual(ReadBytes(Stage.SettingsFile()),
             Utf8(L"한국어.txt\t" + Korean + L"\r\nC:\\Work\\メモ.txt"),
             "the Korean name is registered into the UTF-8 file");
  MenuDriver Open(Stage.Window);
  Open.Click(L"한국어.txt");
  Stage.Run(Open, {250, 100});
  const auto Lines = Stage.Launches(1);
  Check(Lines.size() == 1 && Lines[0].ends_with(" \"" + Utf8(Korean) + "\""), "and it opens");

  Stage.WriteSettings(L"C:\\Work\\notes.txt");
  const std::string Before = ReadBytes(Stage.SettingsFile());
  MessageBoxAnswerer Answerer(Stage.Window.Handle(), {IDOK});
  MenuDriver Refused(Stage.Window);
  Refused.Click(L"登録").Click(L"ファイル名のみの登録");
  Stage.Run(Refused, {250, 100});
  const auto Boxes = Answerer.Wait(3000);
  CheckEqual(Boxes.size(), size_t{1}, "an ANSI file refuses the name with a message box");
  if (!Boxes.empty()) {
    CheckEqual(Boxes[0].Caption, std::wstring(L"Marigold"), "its caption");
    Check(Boxes[0].Text.find(Korean) != std::wstring::npos &&
              Boxes[0].Text.find(L"UTF-8") != std::wstring::npos,
          "it names the file and the way out");
  }
  CheckEqual(ReadBytes(Stage.SettingsFile()), Before, "and writes nothing");
}

// The user saves the settings file in another editor while the menu is open: the registration
// adds its line to what is on disk then, not to the copy the menu was built from.
MARIGOLD_HOST_SCENARIO("favourites-meanwhile", FavouritesMeanwhile) {
  FavouritesStage Stage(Ctx, L"meanwhile");
  Stage.WriteSettings(L"C:\\Work\\notes.txt");
  MenuDriver Driver(Stage.Window);
  Driver.Click(L"登録")
      .Then([&] { Stage.WriteSettings(L"C:\\Work\r\nC:\\Work\\notes.txt"); })
      .Click(L"ファイル名のみの登録");
  Stage.Run(Driver, {250, 100});
  CheckEqual(ReadBytes(Stage.SettingsFile()),
             std::string("notes.txt\tC:\\Work\\notes.txt\r\nC:\\Work\r\nC:\\Work\\notes.txt"),
             "the line saved meanwhile stays");
}

// A settings file that is a symbolic link (into a synced folder, say) stays a link; the file it
// leads to gets the new line. Where this Wine makes no links, there is nothing to check.
MARIGOLD_HOST_SCENARIO("favourites-link", FavouritesLink) {
  FavouritesStage Stage(Ctx, L"link");
  const std::wstring Synced = L"C:\\MgE2E\\synced.txt";
  WriteBytes(Synced, "C:\\Work\\notes.txt");
  DeleteFileW(Stage.SettingsFile().c_str());
  const bool Made = CreateSymbolicLinkW(Stage.SettingsFile().c_str(), Synced.c_str(), 0);
  const DWORD Attributes = GetFileAttributesW(Stage.SettingsFile().c_str());
  if (!Made || Attributes == INVALID_FILE_ATTRIBUTES ||
      !(Attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      ReadBytes(Stage.SettingsFile()) != "C:\\Work\\notes.txt") {
    Print("favourites-link: this Wine shows no usable symbolic link; nothing to check");
    Check(true, "no links here");
    return;
  }
  MenuDriver Driver(Stage.Window);
  Driver.Click(L"登録").Click(L"ファイル名のみの登録");
  Stage.Run(Driver, {250, 100});
  Check(GetFileAttributesW(Stage.SettingsFile().c_str()) & FILE_ATTRIBUTE_REPARSE_POINT,
        "the settings file is still a link");
  CheckEqual(ReadBytes(Synced),
             std::string("notes.txt\tC:\\Work\\notes.txt\r\nC:\\Work\\notes.txt"),
             "the link's target has the new line");
}
