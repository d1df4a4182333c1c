#include "MenuDriver.h"

#include "base/WideText.h"
#include "platform/MenuDrawing.h"

#include <algorithm>

namespace host {

namespace {

constexpr UINT_PTR WatchdogTimer = 0x4D44;

void SendButton(DWORD Flags) {
  INPUT Input{};
  Input.type = INPUT_MOUSE;
  Input.mi.dwFlags = Flags;
  SendInput(1, &Input, sizeof(Input));
}

} // namespace

int FindMenuItem(HMENU Menu, std::wstring_view Caption) {
  const std::vector<marigold::platform::MenuItem> Items = marigold::platform::ReadMenu(Menu);
  for (size_t I = 0; I < Items.size(); ++I)
    if (marigold::ToWide(Items[I].Caption) == Caption)
      return static_cast<int>(I);
  return -1;
}

void ClickAt(POINT Point) {
  // Arrive from a neighbouring pixel so that the system sees the mouse move onto the point.
  SetCursorPos(Point.x - 1, Point.y);
  SetCursorPos(Point.x, Point.y);
  INPUT Move{};
  Move.type = INPUT_MOUSE;
  Move.mi.dx = 0;
  Move.mi.dy = 0;
  Move.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &Move, sizeof(Move));
  SendButton(MOUSEEVENTF_LEFTDOWN);
  SendButton(MOUSEEVENTF_LEFTUP);
}

MenuDriver::MenuDriver(EditorWindow& Window) : FWindow(Window) {
  FWindow.OtherMessages = [this](HWND, UINT Message, WPARAM WParam,
                                 LPARAM LParam) -> std::optional<LRESULT> {
    if (Message == WM_CANCELMODE && IgnoreLateFocusLoss && !Shown)
      return 0;
    if (Message == WM_TIMER && WParam == WatchdogTimer) {
      OnTimer();
      return 0;
    }
    if (Message == WM_INITMENUPOPUP) {
      const auto Menu = reinterpret_cast<HMENU>(WParam);
      if (!FRoot) {
        FRoot = FCurrent = Menu;
        FLastStep = GetTickCount64();
        SetTimer(FWindow.Handle(), WatchdogTimer, 250, nullptr);
      }
      FInitialised.push_back(Menu);
      return std::nullopt;
    }
    if (Message == WM_ENTERIDLE && WParam == MSGF_MENU) {
      OnIdle(reinterpret_cast<HWND>(LParam));
      return 0;
    }
    return std::nullopt;
  };
}

MenuDriver::~MenuDriver() {
  FWindow.OtherMessages = nullptr;
}

MenuDriver& MenuDriver::Click(std::wstring Caption) {
  FSteps.push_back({Step::ClickItem, std::move(Caption), {}});
  return *this;
}

MenuDriver& MenuDriver::ClickOutside() {
  FSteps.push_back({Step::ClickOutsideMenus, {}, {}});
  return *this;
}

MenuDriver& MenuDriver::Then(std::function<void()> Action) {
  FSteps.push_back({Step::Action, {}, std::move(Action)});
  return *this;
}

void MenuDriver::Fail(const std::string& Why) {
  Failure = Why;
  // A click outside every popup ends the menu as the user would.
  ClickAt({RootWindow.left - 40 > 0 ? RootWindow.left - 40 : RootWindow.right + 40,
           RootWindow.bottom + 40});
}

void MenuDriver::OnTimer() {
  if (!Failure.empty() || FLastClick.x < 0)
    return;
  const ULONGLONG Quiet = GetTickCount64() - FLastStep;
  const bool Waiting = (FAwaited && std::find(FInitialised.begin(), FInitialised.end(), FAwaited) ==
                                        FInitialised.end()) ||
                       (Completed && !FAwaited);
  if (!Waiting)
    return;
  // Xvfb now and then drops a synthetic click; the user would click again.
  if (Quiet > 1500 && FRetries < 2) {
    ++FRetries;
    FLastStep = GetTickCount64();
    ClickAt(FLastClick);
  } else if (Quiet > 5000) {
    Fail("the menu did not answer the plan's clicks");
  }
}

void MenuDriver::OnIdle(HWND MenuWindow) {
  if (!Shown) {
    QueryPerformanceCounter(&ShownAt);
    Shown = true;
    GetCursorPos(&CursorAtShow);
    if (MenuWindow)
      GetWindowRect(MenuWindow, &RootWindow);
    Tree = FRoot ? marigold::platform::DescribeMenu(FRoot) : std::string();
  }
  if (!Failure.empty())
    return;
  // A submenu clicked open must be shown before the plan goes on.
  if (FAwaited) {
    if (std::find(FInitialised.begin(), FInitialised.end(), FAwaited) == FInitialised.end())
      return;
    FCurrent = FAwaited;
    FAwaited = nullptr;
  }
  if (FNext == FSteps.size()) {
    if (!Completed)
      Fail("the plan ended with the menu still open");
    return;
  }
  // Actions change nothing the menu loop sees, so the next step follows at the same idle.
  while (FNext < FSteps.size() && FSteps[FNext].What == Step::Action)
    FSteps[FNext++].Run();
  if (FNext == FSteps.size()) {
    Fail("the plan ended with the menu still open");
    return;
  }
  const Step& Next = FSteps[FNext++];
  FLastStep = GetTickCount64();
  switch (Next.What) {
  case Step::Action:
    break;
  case Step::ClickOutsideMenus:
    Completed = FNext == FSteps.size();
    ClickAt({RootWindow.left - 40 > 0 ? RootWindow.left - 40 : RootWindow.right + 40,
             RootWindow.bottom + 40});
    break;
  case Step::ClickItem: {
    const int Position = FindMenuItem(FCurrent, Next.Caption);
    RECT Item{};
    if (Position < 0 || !GetMenuItemRect(nullptr, FCurrent, static_cast<UINT>(Position), &Item)) {
      Fail("no entry " + Utf8(Next.Caption) + " on the screen");
      return;
    }
    FAwaited = GetSubMenu(FCurrent, Position);
    // The mouse resting on a submenu entry has opened it already; a click would close it.
    const bool Open =
        FAwaited &&
        (GetMenuState(FCurrent, static_cast<UINT>(Position), MF_BYPOSITION) & MF_HILITE) &&
        std::find(FInitialised.begin(), FInitialised.end(), FAwaited) != FInitialised.end();
    if (Open && FNext < FSteps.size()) {
      FCurrent = FAwaited;
      FAwaited = nullptr;
      OnIdle(MenuWindow);
      return;
    }
    Completed = FNext == FSteps.size();
    FLastClick = {(Item.left + Item.right) / 2, (Item.top + Item.bottom) / 2};
    FRetries = 0;
    ClickAt(FLastClick);
    break;
  }
  }
}

} // namespace host
