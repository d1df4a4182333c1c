// The main job's favourites part: a user's settings file, the real menu at the mouse (with a
// screenshot), a favourite opened in a new editor, and the active file registered. File names
// stay ASCII: without a Japanese Unix locale Wine cannot create non-ASCII names on disk, while
// the labels and submenu names travel through the settings file's code page 932.

#include "FavouritesSupport.h"

using namespace host;

namespace {

const wchar_t* const DemoSettings = L"よく使う\r\n"
                                    L"\tメモ\tC:\\Work\\notes.txt\r\n"
                                    L"\t議事録 120行目\tC:\\Work\\minutes.txt /l 120\r\n"
                                    L"\tmain.c Init\tC:\\src\\main.c /ff \"Init\"\r\n"
                                    L"-\r\n"
                                    L"プロジェクト\r\n"
                                    L"\t設計書\tC:\\Work\\design.txt\r\n"
                                    L"\t資料\r\n"
                                    L"\t\tC:\\Work\\docs\r\n"
                                    L"\t\t古い報告書\tC:\\Work\\old\\report.txt\r\n"
                                    L"\t\trelative\\todo.txt\r\n"
                                    L"\tC:\\src\\main.c\r\n"
                                    L"-\r\n"
                                    L"C:\\Work\r\n"
                                    L"C:\\Work\\notes.txt\r\n";

std::string Indented(const std::string& Text, const std::string& Prefix) {
  std::string Out;
  for (size_t Start = 0, End; Start < Text.size(); Start = End + 1) {
    End = Text.find('\n', Start);
    if (End == std::string::npos)
      End = Text.size();
    Out += Prefix + Text.substr(Start, End - Start) + "\n";
  }
  return Out;
}

void PrintBlock(const std::string& Text) {
  std::string Block = Text;
  if (!Block.empty() && Block.back() == '\n')
    Block.pop_back();
  Print(Block);
}

std::string FirstLine(const std::wstring& File) {
  const std::string Bytes = ReadBytes(File);
  const std::string Line = Bytes.substr(0, Bytes.find("\r\n"));
  const int Size =
      MultiByteToWideChar(CP_ACP, 0, Line.data(), static_cast<int>(Line.size()), nullptr, 0);
  std::wstring Text(static_cast<size_t>(Size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, Line.data(), static_cast<int>(Line.size()), Text.data(), Size);
  return ReadableTree(Utf8(Text));
}

BOOL CALLBACK CollectPopup(HWND Window, LPARAM Found) {
  wchar_t Class[16] = {};
  DWORD Process = 0;
  GetWindowThreadProcessId(Window, &Process);
  if (Process == GetCurrentProcessId() && IsWindowVisible(Window) &&
      GetClassNameW(Window, Class, 16) && std::wstring_view(Class) == L"#32768")
    reinterpret_cast<std::vector<HWND>*>(Found)->push_back(Window);
  return TRUE;
}

// The visible popup menus of this process.
std::vector<HWND> OpenPopups() {
  std::vector<HWND> Popups;
  EnumWindows(&CollectPopup, reinterpret_cast<LPARAM>(&Popups));
  return Popups;
}

std::string Numbers(std::initializer_list<LONG> Values) {
  std::string Out;
  for (const LONG V : Values)
    Out.append(1, ' ').append(std::to_string(V));
  return Out;
}

// A screenshot for the guide, with <Name>.geometry beside it for the demo script: "crop" the
// editor window and every open popup, "mark" each disabled entry (drawn by Windows like an
// enabled one) and the bottom of its popup, where the note goes.
void Photograph(const EditorWindow& Editor, const std::wstring& Name) {
  wchar_t Folder[MAX_PATH + 1] = {};
  if (!GetEnvironmentVariableW(L"MARIGOLD_SCREENSHOT_DIR", Folder, MAX_PATH))
    return;
  RECT Crop{};
  GetWindowRect(Editor.Handle(), &Crop);
  std::string Geometry;
  for (const HWND Popup : OpenPopups()) {
    RECT Frame{};
    GetWindowRect(Popup, &Frame);
    UnionRect(&Crop, &Crop, &Frame);
    const auto Menu = reinterpret_cast<HMENU>(SendMessageW(Popup, MN_GETHMENU, 0, 0));
    for (int I = 0; Menu && I < GetMenuItemCount(Menu); ++I) {
      const UINT State = GetMenuState(Menu, static_cast<UINT>(I), MF_BYPOSITION);
      RECT Item{};
      if ((State & (MF_DISABLED | MF_GRAYED | MF_POPUP | MF_SEPARATOR)) == MF_DISABLED &&
          GetMenuItemRect(nullptr, Menu, static_cast<UINT>(I), &Item))
        Geometry +=
            "mark" + Numbers({Item.left, Item.top, Item.right, Item.bottom, Frame.bottom}) + "\n";
    }
  }
  Geometry = "crop" +
             Numbers({Crop.right - Crop.left, Crop.bottom - Crop.top, Crop.left, Crop.top}) + "\n" +
             Geometry;
  WriteBytes(std::wstring(Folder) + L"\\" + Name + L".geometry", Geometry);
  RequestScreenshot(Name);
}

// For the pictures: the window looks like an editor holding main.c, with a plain title bar (the
// frame buttons' font is missing under Xvfb).
void DressAsEditor(HWND Window) {
  SetWindowTextW(Window, L"main.c - エディター");
  SetWindowLongPtrW(Window, GWL_STYLE,
                    GetWindowLongPtrW(Window, GWL_STYLE) &
                        ~static_cast<LONG_PTR>(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  SetWindowPos(Window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  RECT Client{};
  GetClientRect(Window, &Client);
  CreateWindowExW(
      0, L"EDIT",
      L"#include <stdio.h>\r\n#include \"app.h\"\r\n\r\n/* 設定を読み込んで画面を準備する */\r\n"
      L"static int Init(const char* path)\r\n{\r\n    FILE* f = fopen(path, \"r\");\r\n"
      L"    if (f == NULL)\r\n        return -1;\r\n    fclose(f);\r\n    return 0;\r\n}\r\n",
      WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0, 0, Client.right, Client.bottom, Window,
      nullptr, GetModuleHandleW(nullptr), nullptr);
  PumpMessages();
}

} // namespace

MARIGOLD_HOST_SCENARIO("demo-2-favourites", DemoFavourites) {
  FavouritesStage Stage(Ctx, L"demo");
  CreateDirectoryW(L"C:\\src", nullptr);
  CreateDirectoryW(L"C:\\Work\\docs", nullptr);
  for (const wchar_t* File :
       {L"C:\\Work\\minutes.txt", L"C:\\Work\\design.txt", L"C:\\src\\main.c"})
    if (!FileExistsW(File))
      WriteBytes(File, "text\r\n");
  Stage.WriteSettings(DemoSettings);
  // As the guide shows it, for the demo script's check: the stage's file takes a registration.
  for (const wchar_t* Folder : {L"C:\\Tools", L"C:\\Tools\\Editor", L"C:\\Tools\\Editor\\PlugIns"})
    CreateDirectoryW(Folder, nullptr);
  WriteBytes(L"C:\\Tools\\Editor\\PlugIns\\Marigolds_Setting.txt", ToAnsi(DemoSettings));
  Stage.Window.Answers.FileName = u"C:\\src\\main.c";
  Stage.Window.Answers.Selection = u"Init";
  Stage.Window.Answers.CaretLine = 41;
  DressAsEditor(Stage.Window.Handle());

  Print("");
  Print("The favourites menu. Settings file " + Utf8(Stage.SettingsFile()) + " (⇥ is a TAB):");
  PrintBlock(Indented(ReadableTree(Utf8(std::wstring(DemoSettings))), "  | "));
  Print("  (C:\\Work\\old\\report.txt does not exist; relative\\todo.txt is not an absolute path)");

  // The menu at the mouse, with the submenus プロジェクト > 資料 opened for the screenshot.
  {
    MenuDriver Driver(Stage.Window);
    Driver.Click(L"プロジェクト").Click(L"資料").Then([&] {
      Photograph(Stage.Window, L"favourites-menu");
    });
    Driver.Click(L"Folder docs");
    Stage.Run(Driver, {380, 160});
    Print("OnCommand: the menu appeared at the mouse (" + std::to_string(Driver.CursorAtShow.x) +
          ", " + std::to_string(Driver.CursorAtShow.y) + "), top-left corner of the popup at (" +
          std::to_string(Driver.RootWindow.left) + ", " + std::to_string(Driver.RootWindow.top) +
          "). The menu as Windows holds it (#id, grayed = missing, disabled = not openable):");
    PrintBlock(Indented(ReadableTree(Driver.Tree), "  "));
    const auto Launched = Stage.Launches(1);
    Print("Chose プロジェクト > 資料 > Folder docs with the mouse; the editor was started with:");
    Print("  " + (Launched.empty() ? std::string("(nothing)") : Launched.back()));
    Check(Launched.size() == 1, "the folder opens in a new editor");
  }

  // A favourite with a line number.
  {
    MenuDriver Driver(Stage.Window);
    Driver.Click(L"よく使う").Click(L"議事録 120行目");
    Stage.Run(Driver, {380, 160});
    const auto Launched = Stage.Launches(2);
    Print("Chose よく使う > 議事録 120行目; the editor was started with:");
    Print("  " + (Launched.size() < 2 ? std::string("(nothing)") : Launched.back()));
    Check(Launched.size() == 2, "the favourite opens in a new editor");
  }

  // Registering the active file at the caret line; without a selection the search form is grayed.
  {
    Stage.Window.Answers.Selection.clear();
    MenuDriver Driver(Stage.Window);
    Driver.Click(L"登録").Then([&] { Photograph(Stage.Window, L"favourites-register"); });
    Driver.Click(L"行番号指定の登録");
    Stage.Run(Driver, {380, 160});
    Print("Active file C:\\src\\main.c, no selection, caret on line 42: chose 登録 > "
          "行番号指定の登録. The settings file's new first line:");
    Print("  " + FirstLine(Stage.SettingsFile()));
    const std::string Bytes = ReadBytes(Stage.SettingsFile());
    Print("  (" + std::to_string(Bytes.size()) + " bytes, ends without a line break: " +
          (Bytes.size() >= 2 && Bytes.substr(Bytes.size() - 2) != "\r\n" ? "yes" : "no") + ")");
  }
}
