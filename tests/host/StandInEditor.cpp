#include "StandInEditor.h"

#include "plugin/plugin.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>

using namespace marigold;

using namespace marigold::plugin;

namespace host {
namespace {

int Passed = 0;
int Failed = 0;
std::string CurrentScenario;

std::map<std::string, ScenarioFunction>& Scenarios() {
  static std::map<std::string, ScenarioFunction> Registry;
  return Registry;
}

// The plug-in may only promise what it offers; reading further is what this check is for.
bool AllZero(const char16_t* Buffer, size_t Count) {
  for (size_t I = 0; I < Count; ++I)
    if (Buffer[I] != 0)
      return false;
  return true;
}

} // namespace

std::string Narrow(std::wstring_view Text, unsigned CodePage) {
  if (Text.empty())
    return {};
  const int Size = WideCharToMultiByte(CodePage, 0, Text.data(), static_cast<int>(Text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string Out(static_cast<size_t>(Size), '\0');
  WideCharToMultiByte(CodePage, 0, Text.data(), static_cast<int>(Text.size()), Out.data(), Size,
                      nullptr, nullptr);
  return Out;
}

std::string Utf8(std::wstring_view Text) {
  return Narrow(Text, CP_UTF8);
}

std::string Utf8(std::u16string_view Text) {
  return Utf8(std::wstring_view(reinterpret_cast<const wchar_t*>(Text.data()), Text.size()));
}

void Print(const std::string& Line) {
  std::fwrite(Line.data(), 1, Line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void Check(bool Ok, const std::string& What) {
  if (Ok) {
    ++Passed;
    return;
  }
  ++Failed;
  Print("FAIL [" + CurrentScenario + "] " + What);
}

int PassedChecks() {
  return Passed;
}
int FailedChecks() {
  return Failed;
}

// ---- the host window ------------------------------------------------------------------------

namespace {
constexpr wchar_t WindowClass[] = L"MarigoldStandInEditor";
}

EditorWindow::EditorWindow() {
  static const ATOM Registered = [] {
    WNDCLASSEXW Class{};
    Class.cbSize = sizeof(Class);
    Class.lpfnWndProc = &EditorWindow::Procedure;
    Class.hInstance = GetModuleHandleW(nullptr);
    Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    Class.lpszClassName = WindowClass;
    return RegisterClassExW(&Class);
  }();
  Check(Registered != 0, "the window class registers");
  FWindow = CreateWindowExW(0, WindowClass, L"Stand-in editor", WS_OVERLAPPEDWINDOW, 100, 100, 640,
                            480, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  Check(FWindow != nullptr, "the host window is created");
  ShowWindow(FWindow, SW_SHOW);
  UpdateWindow(FWindow);
  PumpMessages();
}

EditorWindow::~EditorWindow() {
  if (FWindow)
    DestroyWindow(FWindow);
}

std::vector<RecordedMessage> EditorWindow::Of(UINT Message) const {
  std::vector<RecordedMessage> Result;
  for (const auto& M : Messages)
    if (M.Message == Message)
      Result.push_back(M);
  return Result;
}

LRESULT CALLBACK EditorWindow::Procedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_NCCREATE) {
    auto* Create = reinterpret_cast<CREATESTRUCTW*>(LParam);
    SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Create->lpCreateParams));
  }
  auto* Self = reinterpret_cast<EditorWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
  if (Self) {
    switch (Message) {
    case HostMessageEventValue:
    case HostMessageCaretPosition:
    case HostMessageSelectedText:
    case HostMessageActiveFile:
    case HostMessageSetting:
      return Self->HostMessage(Message, WParam, LParam);
    default:
      if (Self->OtherMessages)
        if (auto Result = Self->OtherMessages(Window, Message, WParam, LParam))
          return *Result;
    }
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

LRESULT EditorWindow::HostMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  RecordedMessage R;
  R.Message = Message;
  R.WParam = WParam;
  R.LParam = LParam;
  LRESULT Result = 0;
  switch (Message) {
  case HostMessageCaretPosition:
    if (LParam)
      *reinterpret_cast<TCaretPosition*>(LParam) = {Answers.CaretColumn, Answers.CaretLine};
    break;
  case HostMessageSelectedText:
    if (WParam == 0 && LParam == 0) {
      Result = Answers.SelectionCount.value_or(static_cast<intptr_t>(Answers.Selection.size()));
    } else if (LParam) {
      auto* Buffer = reinterpret_cast<char16_t*>(LParam);
      R.BufferZeroed = AllZero(Buffer, WParam + 1);
      Answers.Selection.copy(Buffer, std::min<size_t>(WParam, Answers.Selection.size()));
    }
    break;
  case HostMessageActiveFile:
    if (LParam) {
      auto* Buffer = reinterpret_cast<char16_t*>(LParam);
      R.BufferZeroed = AllZero(Buffer, ActiveFileNameCapacity + 1);
      Answers.FileName.copy(Buffer, std::min<size_t>(WParam, Answers.FileName.size()));
    }
    break;
  case HostMessageSetting:
    if (LParam) {
      const auto& Query = *reinterpret_cast<const THostSettingQuery*>(LParam);
      R.Size = Query.Size;
      R.Context = Query.Context;
      R.Index = Query.Index;
      R.Kind = Query.Kind;
      R.Option = Query.Option;
      R.Name = Query.Name ? Query.Name : u"";
      R.Count = Query.BufferSize ? *Query.BufferSize : 0;
      const size_t Units = R.Count / 2;
      R.BufferZeroed = Query.Buffer && AllZero(Query.Buffer, Units + 1);
      if (Answers.PlugInsFolder && Query.Buffer && Units > 0) {
        const size_t N = std::min(Units - 1, Answers.PlugInsFolder->size());
        Answers.PlugInsFolder->copy(Query.Buffer, N);
        Query.Buffer[N] = 0;
        Result = 1;
      }
    }
    break;
  default:
    break;
  }
  Messages.push_back(std::move(R));
  return Result;
}

void PumpMessages() {
  MSG Msg;
  while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
}

TempFolder::TempFolder() {
  wchar_t Base[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, Base);
  for (unsigned Attempt = 0; FPath.empty() && Attempt < 100; ++Attempt) {
    std::wstring Candidate = std::wstring(Base) + L"MarigoldHost-" +
                             std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(Attempt);
    if (CreateDirectoryW(Candidate.c_str(), nullptr))
      FPath = Candidate;
  }
  Check(!FPath.empty(), "a temporary folder is created");
}

TempFolder::~TempFolder() {
  if (FPath.empty())
    return;
  WIN32_FIND_DATAW Found;
  HANDLE Find = FindFirstFileW((FPath + L"\\*").c_str(), &Found);
  if (Find != INVALID_HANDLE_VALUE) {
    do {
      if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW((FPath + L"\\" + Found.cFileName).c_str());
    } while (FindNextFileW(Find, &Found));
    FindClose(Find);
  }
  RemoveDirectoryW(FPath.c_str());
}

MenuDismisser::~MenuDismisser() {
  Window.OtherMessages = nullptr;
}

MenuDismisser::MenuDismisser(EditorWindow& Host) : Window(Host) {
  Window.OtherMessages = [this](HWND, UINT Message, WPARAM WParam,
                                LPARAM) -> std::optional<LRESULT> {
    if (Message == WM_INITMENUPOPUP && Dismissed == 0 && RootCaptions.empty()) {
      const auto Menu = reinterpret_cast<HMENU>(WParam);
      for (int I = 0; I < GetMenuItemCount(Menu); ++I) {
        wchar_t Caption[256] = {};
        GetMenuStringW(Menu, static_cast<UINT>(I), Caption, 256, MF_BYPOSITION);
        RootCaptions.emplace_back(Caption);
      }
    }
    if (Message == WM_ENTERIDLE && WParam == MSGF_MENU) {
      ++Dismissed;
      EndMenu();
      return 0;
    }
    return std::nullopt;
  };
}

// ---- message boxes --------------------------------------------------------------------------

MessageBoxAnswerer::MessageBoxAnswerer(HWND Owner, std::vector<int> Answers)
    : FOwner(Owner), FAnswers(std::move(Answers)), FThread([this] { Run(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  FStop = true;
  FThread.join();
}

std::vector<SeenMessageBox> MessageBoxAnswerer::Wait(DWORD TimeoutMs) {
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  for (;;) {
    {
      std::lock_guard Guard(FLock);
      if (FSeen.size() >= FAnswers.size() || std::chrono::steady_clock::now() >= Deadline)
        return FSeen;
    }
    Sleep(10);
  }
}

namespace {

std::wstring WindowText(HWND Window) {
  if (!Window)
    return {};
  std::wstring Text(static_cast<size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
  Text.resize(
      static_cast<size_t>(GetWindowTextW(Window, Text.data(), static_cast<int>(Text.size()))));
  return Text;
}

HWND FindOwnedBox(HWND Owner) {
  HWND Box = nullptr;
  while ((Box = FindWindowExW(nullptr, Box, L"#32770", nullptr)) != nullptr)
    if (GetWindow(Box, GW_OWNER) == Owner && IsWindowVisible(Box))
      return Box;
  return nullptr;
}

// The icon a box shows: the first static child with the SS_ICON style.
HICON ShownIcon(HWND Box) {
  for (HWND Child = GetWindow(Box, GW_CHILD); Child; Child = GetWindow(Child, GW_HWNDNEXT)) {
    wchar_t Class[16] = {};
    GetClassNameW(Child, Class, 16);
    if (lstrcmpiW(Class, L"Static") == 0 &&
        (GetWindowLongW(Child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      return reinterpret_cast<HICON>(SendMessageW(Child, STM_GETICON, 0, 0));
  }
  return nullptr;
}

} // namespace

void MessageBoxAnswerer::Run() {
  size_t Next = 0;
  HWND Answered = nullptr;
  while (!FStop && Next < FAnswers.size()) {
    HWND Box = FindOwnedBox(FOwner);
    if (!Box || Box == Answered || !GetDlgItem(Box, 0xFFFF)) {
      Sleep(10);
      continue;
    }
    SeenMessageBox Seen;
    Seen.Caption = WindowText(Box);
    Seen.Text = WindowText(GetDlgItem(Box, 0xFFFF));
    for (int Id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
      if (HWND Button = GetDlgItem(Box, Id); Button && IsWindowVisible(Button))
        Seen.Buttons.push_back(Id);
    const HICON Icon = ShownIcon(Box);
    Seen.QuestionIcon = Icon && Icon == LoadIconW(nullptr, IDI_QUESTION);
    Seen.ErrorIcon = Icon && Icon == LoadIconW(nullptr, IDI_ERROR);
    Seen.Clicked = FAnswers[Next++];
    {
      std::lock_guard Guard(FLock);
      FSeen.push_back(Seen);
    }
    // A box without the requested button still has to go, or the test would hang.
    HWND Button = GetDlgItem(Box, Seen.Clicked);
    if (!Button && !Seen.Buttons.empty())
      Button = GetDlgItem(Box, Seen.Buttons.back());
    if (Button)
      SendMessageW(Button, BM_CLICK, 0, 0);
    Answered = Box;
    // Wait for the box to go away before looking for the next one.
    for (int I = 0; I < 500 && IsWindow(Box) && IsWindowVisible(Box); ++I)
      Sleep(10);
  }
}

// ---- the plug-in ----------------------------------------------------------------------------

PlugIn::PlugIn(const std::wstring& Path) : FModule(LoadLibraryW(Path.c_str())) {
  if (!FModule)
    return;
  auto Find = [this](auto& Slot, const char* Name) {
    Slot = reinterpret_cast<std::remove_reference_t<decltype(Slot)>>(
        reinterpret_cast<void*>(GetProcAddress(FModule, Name)));
  };
  Find(OnCommand, "OnCommand");
  Find(QueryStatus, "QueryStatus");
  Find(OnEvents, "OnEvents");
  Find(GetMenuTextID, "GetMenuTextID");
  Find(GetStatusMessageID, "GetStatusMessageID");
  Find(GetBitmapID, "GetBitmapID");
  Find(PlugInProc, "PlugInProc");
}

PlugIn::~PlugIn() {
  Unload();
}

void PlugIn::Unload() {
  if (FModule)
    FreeLibrary(FModule);
  FModule = nullptr;
}

bool PlugIn::Complete() const {
  return FModule && OnCommand && QueryStatus && OnEvents && GetMenuTextID && GetStatusMessageID &&
         GetBitmapID && PlugInProc;
}

std::wstring LoadText(HMODULE Module, UINT Id) {
  const wchar_t* Text = nullptr;
  const int Length = LoadStringW(Module, Id, reinterpret_cast<LPWSTR>(&Text), 0);
  return Length > 0 && Text ? std::wstring(Text, static_cast<size_t>(Length)) : std::wstring();
}

const std::map<std::string, ScenarioFunction>& RegisteredScenarios() {
  return Scenarios();
}

ScenarioRegistration::ScenarioRegistration(const char* Name, ScenarioFunction Function) {
  Scenarios()[Name] = Function;
}

} // namespace host

namespace {

std::wstring Environment(const wchar_t* Name) {
  const DWORD Size = GetEnvironmentVariableW(Name, nullptr, 0);
  if (Size == 0)
    return {};
  std::wstring Value(Size, L'\0');
  Value.resize(GetEnvironmentVariableW(Name, Value.data(), Size));
  return Value;
}

std::wstring ExecutableFolder() {
  wchar_t Path[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, Path, MAX_PATH);
  std::wstring Folder(Path);
  return Folder.substr(0, Folder.find_last_of(L"\\/") + 1);
}

// Started as the editor (by the plug-in, with a file or folder): append the whole command line
// to %MARIGOLD_HOST_LOG% and leave.
int LogCommandLine() {
  const std::wstring Log = Environment(L"MARIGOLD_HOST_LOG");
  if (Log.empty())
    return 3;
  HANDLE File = CreateFileW(Log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE)
    return 4;
  const std::string Line = host::Utf8(std::wstring_view(GetCommandLineW())) + "\n";
  DWORD Written = 0;
  const BOOL Ok = WriteFile(File, Line.data(), static_cast<DWORD>(Line.size()), &Written, nullptr);
  CloseHandle(File);
  return Ok && Written == Line.size() ? 0 : 5;
}

} // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  int Count = 0;
  LPWSTR* Argv = CommandLineToArgvW(GetCommandLineW(), &Count);
  std::vector<std::wstring> Args(Argv + std::min(Count, 1), Argv + Count);
  LocalFree(Argv);

  auto& Registry = host::Scenarios();
  if (Args.empty()) {
    host::Print("usage: StandInEditor <scenario> [arguments]; scenarios:");
    for (const auto& [Name, Function] : Registry)
      host::Print("  " + Name);
    return 2;
  }
  const auto Found = Registry.find(host::Utf8(Args[0]));
  if (Found == Registry.end())
    return LogCommandLine();

  host::CurrentScenario = Found->first;
  host::Context Ctx;
  Ctx.PlugInPath = Environment(L"MARIGOLD_PLUGIN_DLL");
  if (Ctx.PlugInPath.empty())
    Ctx.PlugInPath = ExecutableFolder() + L"Marigold.dll";
  Ctx.ShippedPath = Environment(L"MARIGOLD_SHIPPED_DLL");
  Ctx.Args.assign(Args.begin() + 1, Args.end());
  Found->second(Ctx);
  host::Print(Found->first + ": " + std::to_string(host::PassedChecks()) + " passed, " +
              std::to_string(host::FailedChecks()) + " failed");
  return host::FailedChecks() == 0 && host::PassedChecks() > 0 ? 0 : 1;
}
