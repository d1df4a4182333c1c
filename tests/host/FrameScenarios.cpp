// The plug-in frame inside the stand-in editor: exports, answers, events, the uninstall
// question, resources of the executed and of the shipped DLL, and the five host messages.

#include "StandInEditor.h"

#include "plugin/plugin.h"

#include <array>
#include <cstring>

using namespace marigold;

using namespace marigold::plugin;

using namespace host;

namespace {

constexpr const char* ExportNames[] = {"OnCommand",     "QueryStatus",        "OnEvents",
                                       "GetMenuTextID", "GetStatusMessageID", "GetBitmapID",
                                       "PlugInProc"};
constexpr WORD Japanese = 0x0411;

std::string Bytes(const std::array<char, 32>& Buffer) {
  std::string Text(Buffer.data(), Buffer.size());
  return Text.substr(0, Text.find('\x5A')); // up to the first untouched byte
}

// A plug-in loaded beside the host, or a failed check.
#define LOAD_PLUGIN(NAME)                                                                          \
  PlugIn NAME(Ctx.PlugInPath);                                                                     \
  Check(NAME.Complete(), "the plug-in loads with its seven exports");                              \
  if (!NAME.Complete())                                                                            \
  return

// The shipped DLL's bytes: the PE header's machine field.
WORD MachineOf(const std::wstring& Path) {
  HANDLE File =
      CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (File == INVALID_HANDLE_VALUE)
    return 0;
  std::array<unsigned char, 4096> Head{};
  DWORD Read = 0;
  ReadFile(File, Head.data(), static_cast<DWORD>(Head.size()), &Read, nullptr);
  CloseHandle(File);
  LONG Offset = 0;
  std::memcpy(&Offset, Head.data() + 0x3C, sizeof(Offset));
  if (Offset <= 0 || static_cast<size_t>(Offset) + 6 > Read ||
      std::memcmp(Head.data() + Offset, "PE\0\0", 4) != 0)
    return 0;
  WORD Machine = 0;
  std::memcpy(&Machine, Head.data() + Offset + 4, sizeof(Machine));
  return Machine;
}

std::wstring VersionText(const std::vector<BYTE>& Block, const std::wstring& Name, bool* Present) {
  void* Value = nullptr;
  UINT Length = 0;
  const std::wstring Query = L"\\StringFileInfo\\041104B0\\" + Name;
  *Present = VerQueryValueW(Block.data(), Query.c_str(), &Value, &Length) && Value;
  if (!*Present || Length == 0)
    return {};
  std::wstring Text(static_cast<const wchar_t*>(Value), Length);
  return Text.substr(0, Text.find(L'\0'));
}

// Strings, bitmap and version block, read back from Module (loaded from Path).
void CheckResources(HMODULE Module, const std::wstring& Path, const std::string& Which) {
  CheckEqual(LoadText(Module, 1), std::wstring(L"Marigold"), Which + ": string 1");
  const std::wstring Status = LoadText(Module, 2);
  const size_t Break = Status.find(L'\n');
  Check(Break != std::wstring::npos && Break > 0 && Status.substr(Break) == L"\nMarigold" &&
            Status.find_first_of(L"\r") == std::wstring::npos,
        Which + ": string 2 is one sentence, a line feed, then Marigold: " + Show(Status));
  Check(Status.size() > 0 && Status[0] >= 0x3000, Which + ": string 2 is Japanese");
  Check(FindResourceExW(Module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(1), Japanese) != nullptr,
        Which + ": the string table is in language 0x0411");

  HRSRC Bitmap = FindResourceExW(Module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(101), Japanese);
  Check(Bitmap != nullptr, Which + ": bitmap 101 in language 0x0411");
  if (Bitmap) {
    CheckEqual(SizeofResource(Module, Bitmap), DWORD{40 + 768}, Which + ": bitmap size");
    const auto* Data = static_cast<const BYTE*>(LockResource(LoadResource(Module, Bitmap)));
    BITMAPINFOHEADER Header{};
    std::memcpy(&Header, Data, sizeof(Header));
    CheckEqual(Header.biSize, DWORD{40}, Which + ": header size");
    CheckEqual(Header.biWidth, LONG{16}, Which + ": width");
    CheckEqual(Header.biHeight, LONG{16}, Which + ": height, positive (bottom-up)");
    CheckEqual(Header.biPlanes, WORD{1}, Which + ": planes");
    CheckEqual(Header.biBitCount, WORD{24}, Which + ": bits per pixel");
    CheckEqual(Header.biCompression, DWORD{BI_RGB}, Which + ": uncompressed");
    const BYTE* Pixels = Data + 40;
    auto Pixel = [&](int X, int RowFromBottom) { return Pixels + (RowFromBottom * 16 + X) * 3; };
    for (auto [X, Y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}}) {
      const BYTE* P = Pixel(X, Y);
      Check(P[0] == 192 && P[1] == 192 && P[2] == 192,
            Which + ": corner pixel is the grey background 192,192,192");
    }
    const BYTE* Centre = Pixel(7, 8); // blue, green, red
    Check(Centre[2] >= 0xE0 && Centre[1] >= 0x60 && Centre[0] < 0x80,
          Which + ": the star's centre is yellow to orange");
  }

  DWORD Ignored = 0;
  const DWORD Size = GetFileVersionInfoSizeW(Path.c_str(), &Ignored);
  Check(Size > 0, Which + ": has a version block");
  if (Size == 0)
    return;
  std::vector<BYTE> Block(Size);
  Check(GetFileVersionInfoW(Path.c_str(), 0, Size, Block.data()) != 0,
        Which + ": version block reads");
  VS_FIXEDFILEINFO* Fixed = nullptr;
  UINT Length = 0;
  if (VerQueryValueW(Block.data(), L"\\", reinterpret_cast<void**>(&Fixed), &Length) && Fixed) {
    CheckEqual(Fixed->dwSignature, DWORD{0xFEEF04BD}, Which + ": fixed info signature");
    CheckEqual(Fixed->dwFileVersionMS, DWORD{0x00030001}, Which + ": file version 3.1");
    CheckEqual(Fixed->dwFileVersionLS, DWORD{0x00040000}, Which + ": file version .4.0");
    CheckEqual(Fixed->dwProductVersionMS, DWORD{0}, Which + ": product version 0.0");
    CheckEqual(Fixed->dwProductVersionLS, DWORD{0}, Which + ": product version .0.0");
  } else {
    Check(false, Which + ": fixed version fields");
  }
  DWORD* Translation = nullptr;
  if (VerQueryValueW(Block.data(), L"\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&Translation), &Length) &&
      Translation) {
    CheckEqual(Length, UINT{4}, Which + ": exactly one translation");
    CheckEqual(Translation[0], DWORD{0x04B00411}, Which + ": translation 0x0411, code page 1200");
  } else {
    Check(false, Which + ": translation table");
  }
  bool Present = false;
  CheckEqual(VersionText(Block, L"FileVersion", &Present), std::wstring(L"3.1.4.0"),
             Which + ": FileVersion text");
  for (const wchar_t* Name :
       {L"Comments", L"CompanyName", L"FileDescription", L"InternalName", L"LegalCopyright",
        L"LegalTrademarks", L"OriginalFilename", L"ProductName", L"ProductVersion"})
    CheckEqual(VersionText(Block, Name, &Present), std::wstring(),
               Which + ": version text " + Utf8(std::wstring_view(Name)) + " is empty");
}

} // namespace

MARIGOLD_HOST_SCENARIO("exports", Exports) {
  LOAD_PLUGIN(Plug);
  for (WORD Ordinal = 1; Ordinal <= 7; ++Ordinal) {
    const char* Name = ExportNames[Ordinal - 1];
    const FARPROC ByName = GetProcAddress(Plug.Module(), Name);
    Check(ByName != nullptr && ByName == GetProcAddress(Plug.Module(), MAKEINTRESOURCEA(Ordinal)),
          std::string(Name) + " is ordinal " + std::to_string(Ordinal));
  }
  Check(GetProcAddress(Plug.Module(), MAKEINTRESOURCEA(8)) == nullptr, "no eighth export");
}

MARIGOLD_HOST_SCENARIO("answers", Answers) {
  EditorWindow Window;
  LOAD_PLUGIN(Plug);
  CheckEqual(Plug.GetMenuTextID(), 1, "GetMenuTextID");
  CheckEqual(Plug.GetStatusMessageID(), 2, "GetStatusMessageID");
  CheckEqual(Plug.GetBitmapID(), 101, "GetBitmapID");
  CheckEqual(Plug.QueryStatus(Window.Handle(), nullptr), -1, "QueryStatus with a null argument");
  std::array<unsigned char, 16> Untouched;
  Untouched.fill(0xA5);
  CheckEqual(Plug.QueryStatus(Window.Handle(), Untouched.data()), -1, "QueryStatus");
  Check(std::all_of(Untouched.begin(), Untouched.end(), [](unsigned char B) { return B == 0xA5; }),
        "QueryStatus leaves its second argument alone");
  CheckEqual(Window.Messages.size(), size_t{0}, "answers send no host messages");
}

MARIGOLD_HOST_SCENARIO("plugin-proc", PlugInProcTable) {
  EditorWindow Window;
  LOAD_PLUGIN(Plug);
  struct Case {
    UINT Code;
    WPARAM Capacity;
    bool WithBuffer;
    LRESULT Answer;
    std::string Written;
  } Cases[] = {
      {2306, 100, true, 8, std::string("Marigold\0", 9)},
      {2306, 100, false, 8, ""},
      {2306, 8, true, 8, std::string("Marigol\0", 8)},
      {2308, 100, true, 13, std::string("Version 3.1.4\0", 14)},
      {2308, 100, false, 13, ""},
      {2308, 8, true, 13, std::string("Version\0", 8)},
      {2308, 1, true, 13, std::string("\0", 1)},
      {2308, 0, true, 13, ""},
      {2310, 100, true, 1, ""},
      {2304, 100, true, 0, ""},
      {2305, 100, true, 0, ""},
      {2307, 100, true, 0, ""},
      {2309, 100, true, 0, ""},
      {0, 100, true, 0, ""},
  };
  for (const auto& C : Cases) {
    std::array<char, 32> Buffer;
    Buffer.fill('\x5A');
    const LRESULT Answer =
        Plug.PlugInProc(Window.Handle(), C.Code, C.Capacity,
                        C.WithBuffer ? reinterpret_cast<LPARAM>(Buffer.data()) : 0);
    const std::string Label = "PlugInProc(" + std::to_string(C.Code) + ", " +
                              std::to_string(C.Capacity) + (C.WithBuffer ? ", buffer)" : ", 0)");
    CheckEqual(Answer, C.Answer, Label + " answer");
    CheckEqual(Bytes(Buffer), C.Written, Label + " bytes written");
  }
  CheckEqual(Window.Messages.size(), size_t{0}, "PlugInProc sends no host messages");
}

MARIGOLD_HOST_SCENARIO("events", Events) {
  EditorWindow Editor;
  EditorWindow EventWindow;
  LOAD_PLUGIN(Plug);
  struct Step {
    UINT Code;
    LPARAM Value;
    bool Sends;
    int32_t Sent;
  } Steps[] = {
      {0x40, 9, true, 0},        {0x440, 5, true, 5},        {0x40, 77, true, 5},
      {0x400, 6, false, 0},      {0x40, 0, true, 6},         {0x00, 1, false, 0},
      {0xFFFFFBBF, 3, false, 0}, {0xFFFFFFFF, -2, true, -2},
  };
  for (const auto& S : Steps) {
    EventWindow.Messages.clear();
    Plug.OnEvents(EventWindow.Handle(), S.Code, S.Value);
    std::ostringstream Label;
    Label << "OnEvents(0x" << std::hex << S.Code << std::dec << ", " << S.Value << ")";
    if (!S.Sends) {
      CheckEqual(EventWindow.Messages.size(), size_t{0}, Label.str() + " sends nothing");
      continue;
    }
    CheckEqual(EventWindow.Messages.size(), size_t{1}, Label.str() + " sends one message");
    if (EventWindow.Messages.size() == 1) {
      const auto& M = EventWindow.Messages[0];
      CheckEqual(M.Message, UINT{2050}, Label.str() + " message number");
      CheckEqual(static_cast<int32_t>(M.WParam), S.Sent, Label.str() + " wParam");
      CheckEqual(M.LParam, LPARAM{0}, Label.str() + " lParam");
    }
  }
  CheckEqual(Editor.Messages.size(), size_t{0}, "events go to the event's window only");
}

static void Uninstall(Context& Ctx, int Button, LRESULT Expected) {
  EditorWindow Window;
  LOAD_PLUGIN(Plug);
  MessageBoxAnswerer Answerer(Window.Handle(), {Button});
  const LRESULT Answer = Plug.PlugInProc(Window.Handle(), 2311, 0, 0);
  const auto Seen = Answerer.Wait(2000);
  CheckEqual(Answer, Expected, "the uninstall answer");
  CheckEqual(Seen.size(), size_t{1}, "one message box, owned by the host window");
  if (Seen.size() != 1)
    return;
  CheckEqual(Seen[0].Text, std::wstring(L"アンインストールしますか？"), "question text");
  CheckEqual(Seen[0].Caption, std::wstring(L"Marigold"), "question caption");
  Check(Seen[0].Buttons == std::vector<int>{IDYES, IDNO}, "buttons Yes and No only");
  Check(Seen[0].QuestionIcon, "the question icon");
}

MARIGOLD_HOST_SCENARIO("uninstall-yes", UninstallYes) {
  Uninstall(Ctx, IDYES, 1);
}
MARIGOLD_HOST_SCENARIO("uninstall-no", UninstallNo) {
  Uninstall(Ctx, IDNO, 0);
}

// OnCommand keeps its window as the host window of the command: the command's queries go to
// the window of the latest call, and its menu is owned by it.
MARIGOLD_HOST_SCENARIO("on-command", OnCommandFrame) {
  EditorWindow First;
  EditorWindow Second;
  TempFolder Plugins;
  LOAD_PLUGIN(Plug);
  for (EditorWindow* Window : {&First, &Second}) {
    First.Messages.clear();
    Second.Messages.clear();
    Window->Answers.PlugInsFolder = std::u16string(Plugins.Path().begin(), Plugins.Path().end());
    MenuDismisser Menus(*Window);
    MessageBoxAnswerer Answerer(Window->Handle(), {IDOK});
    Plug.OnCommand(Window->Handle());
    CheckEqual(Answerer.Wait(300).size(), size_t{0}, "OnCommand shows no error");
    Check(Menus.Dismissed > 0, "the command's menu is owned by the window given to OnCommand");
    Check(!Window->Of(2134).empty(), "the command asks the window given to OnCommand");
    EditorWindow* Other = Window == &First ? &Second : &First;
    CheckEqual(Other->Messages.size(), size_t{0}, "the other window is not asked");
  }
}

MARIGOLD_HOST_SCENARIO("resources", Resources) {
  LOAD_PLUGIN(Plug);
  CheckResources(Plug.Module(), Ctx.PlugInPath, "executed DLL");
}

MARIGOLD_HOST_SCENARIO("shipped-dll", ShippedDll) {
  Check(!Ctx.ShippedPath.empty(), "MARIGOLD_SHIPPED_DLL names the shipped DLL");
  CheckEqual(MachineOf(Ctx.ShippedPath), WORD{IMAGE_FILE_MACHINE_I386},
             "the shipped DLL is a 32-bit x86 image");
  HMODULE Module = LoadLibraryExW(Ctx.ShippedPath.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  Check(Module != nullptr, "the shipped DLL loads as a data file");
  if (!Module)
    return;
  CheckResources(Module, Ctx.ShippedPath, "shipped DLL");
  FreeLibrary(Module);
}

MARIGOLD_HOST_SCENARIO("host-messages", HostMessages) {
  EditorWindow Window;
  const HWND W = Window.Handle();

  Window.Answers.Selection = u"hello";
  CheckEqual(GetSelectedText(W), std::u16string(u"hello"), "a 5-character selection");
  auto Sent = Window.Of(2094);
  Check(Sent.size() == 2 && Sent[0].WParam == 0 && Sent[0].LParam == 0 && Sent[1].WParam == 5 &&
            Sent[1].LParam != 0 && Sent[1].BufferZeroed,
        "2094 asks (0, 0), then offers 5 zeroed units plus a terminator");

  Window.Messages.clear();
  Window.Answers.Selection = std::u16string(u"ab\0de", 5);
  CheckEqual(GetSelectedText(W), std::u16string(u"ab"), "a zero in the selection cuts it");

  Window.Messages.clear();
  Window.Answers.Selection.clear();
  CheckEqual(GetSelectedText(W), std::u16string(), "no selection");
  Sent = Window.Of(2094);
  Check(Sent.size() == 2 && Sent[1].WParam == 0 && Sent[1].LParam == 0,
        "no selection: the second 2094 carries (0, 0)");

  for (int32_t Line : {0, 41}) {
    Window.Messages.clear();
    Window.Answers.CaretLine = Line;
    TCaretPosition Position{-1, -1};
    GetCaretPosition(W, Position);
    CheckEqual(Position.Y, Line, "the caret line");
    Sent = Window.Of(2074);
    Check(Sent.size() == 1 && Sent[0].WParam == 2 &&
              Sent[0].LParam == reinterpret_cast<LPARAM>(&Position),
          "2074 carries 2 and the position's address");
  }

  const std::u16string Long = u"C:\\" + std::u16string(277, u'x');
  for (const std::u16string& Name :
       {std::u16string(u"C:\\文書\\memo.txt"), Long, std::u16string()}) {
    Window.Messages.clear();
    Window.Answers.FileName = Name;
    CheckEqual(GetActiveFileName(W), Name, "the active file name");
    Sent = Window.Of(2106);
    Check(Sent.size() == 1 && Sent[0].WParam == 280 && Sent[0].BufferZeroed,
          "2106 carries 280 and a zeroed buffer of 280 units plus a terminator");
  }

  for (const bool Answered : {true, false}) {
    Window.Messages.clear();
    if (Answered)
      Window.Answers.PlugInsFolder = u"D:\\Plugs";
    else
      Window.Answers.PlugInsFolder.reset();
    char16_t Buffer[51] = {};
    uint32_t Count = 100;
    CheckEqual(QueryHostSetting(W, 0x7FFFFF00, 0, u"PlugInsFolder", 1, Buffer, &Count, 0), Answered,
               "the setting query's result");
    CheckEqual(std::u16string(Buffer), Answered ? std::u16string(u"D:\\Plugs") : std::u16string(),
               "the setting's value");
    Sent = Window.Of(2134);
    Check(Sent.size() == 1, "one 2134");
    if (Sent.size() == 1) {
      const auto& Q = Sent[0];
      CheckEqual(Q.WParam, WPARAM{0}, "2134 wParam");
      CheckEqual(Q.Size, uint32_t{sizeof(THostSettingQuery)}, "record size field");
      if (sizeof(void*) == 4)
        CheckEqual(Q.Size, uint32_t{32}, "the 32-bit record is 32 bytes");
      CheckEqual(Q.Context, uint32_t{0x7FFFFF00}, "record context");
      CheckEqual(Q.Index, uint32_t{0}, "record index");
      CheckEqual(Q.Name, std::u16string(u"PlugInsFolder"), "record name");
      CheckEqual(Q.Kind, uint32_t{1}, "record kind");
      CheckEqual(Q.Count, uint32_t{100}, "the count BufferSize points to");
      CheckEqual(Q.Option, uint32_t{0}, "record option");
      Check(Q.BufferZeroed, "the answer buffer starts zero-filled");
    }
  }

  Window.Messages.clear();
  SendEventValue(W, -7);
  Sent = Window.Of(2050);
  Check(Sent.size() == 1 && static_cast<int32_t>(Sent[0].WParam) == -7 && Sent[0].LParam == 0,
        "2050 carries the value and 0");
}

// Started with arguments that name no scenario, the stand-in logs its command line, as the
// editor the plug-in starts will be checked.
MARIGOLD_HOST_SCENARIO("editor-log", EditorLog) {
  TempFolder Folder;
  const std::wstring Log = Folder.Path() + L"\\launches.log";
  SetEnvironmentVariableW(L"MARIGOLD_HOST_LOG", Log.c_str());
  wchar_t Self[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, Self, MAX_PATH);
  const std::wstring Lines[] = {L"\"" + std::wstring(Self) + L"\" \"C:\\a b\\メモ.txt\" /l 5",
                                L"\"" + std::wstring(Self) + L"\" \"D:\\Folder\""};
  for (const auto& Line : Lines) {
    std::wstring Writable = Line;
    STARTUPINFOW Startup{};
    Startup.cb = sizeof(Startup);
    PROCESS_INFORMATION Info{};
    const bool Started = CreateProcessW(nullptr, Writable.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &Startup, &Info);
    Check(Started, "the stand-in starts itself as the editor");
    if (!Started)
      return;
    WaitForSingleObject(Info.hProcess, 30000);
    DWORD Code = 1;
    GetExitCodeProcess(Info.hProcess, &Code);
    CloseHandle(Info.hThread);
    CloseHandle(Info.hProcess);
    CheckEqual(Code, DWORD{0}, "the logging run succeeds");
  }
  std::string Logged;
  HANDLE File = CreateFileW(Log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (File != INVALID_HANDLE_VALUE) {
    char Chunk[4096];
    DWORD Read = 0;
    while (ReadFile(File, Chunk, sizeof(Chunk), &Read, nullptr) && Read > 0)
      Logged.append(Chunk, Read);
    CloseHandle(File);
  }
  CheckEqual(Logged, Utf8(Lines[0]) + "\n" + Utf8(Lines[1]) + "\n",
             "each start appends its whole command line");
}

// An error inside the command reaches the user as an error box owned by the host window, and
// OnCommand returns: here the settings file's name is taken by a folder.
MARIGOLD_HOST_SCENARIO("command-error", CommandError) {
  EditorWindow Window;
  TempFolder Plugins;
  const std::wstring Blocked = Plugins.Path() + L"\\Marigolds_Setting.txt";
  Check(CreateDirectoryW(Blocked.c_str(), nullptr) != 0, "a folder takes the settings file's name");
  Window.Answers.PlugInsFolder = std::u16string(Plugins.Path().begin(), Plugins.Path().end());
  {
    LOAD_PLUGIN(Plug);
    MenuDismisser Menus(Window);
    MessageBoxAnswerer Answerer(Window.Handle(), {IDOK});
    Plug.OnCommand(Window.Handle());
    const auto Seen = Answerer.Wait(2000);
    CheckEqual(Seen.size(), size_t{1}, "one error box");
    if (Seen.size() == 1) {
      CheckEqual(Seen[0].Caption, std::wstring(L"Marigold"), "error caption");
      Check(Seen[0].Text.rfind(L"Error:", 0) == 0,
            "the error's own message: " + Show(Seen[0].Text));
      Check(Seen[0].Buttons == std::vector<int>{IDOK}, "an OK button only");
      Check(Seen[0].ErrorIcon, "the error icon");
    }
  }
  RemoveDirectoryW(Blocked.c_str());
}
