#include "MessageBoxes.h"

#include <chrono>

namespace host {

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

} // namespace host
