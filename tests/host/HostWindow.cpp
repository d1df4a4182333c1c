#include "HostWindow.h"

#include "Checks.h"

#include "plugin/plugin.h"

#include <algorithm>

using namespace marigold::plugin;

namespace host {
namespace {

constexpr wchar_t WindowClass[] = L"MarigoldStandInEditor";

// The plug-in may only promise what it offers; reading further is what this check is for.
bool AllZero(const char16_t* Buffer, size_t Count) {
  for (size_t I = 0; I < Count; ++I)
    if (Buffer[I] != 0)
      return false;
  return true;
}

} // namespace

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

} // namespace host
