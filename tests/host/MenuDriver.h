#pragma once

// Drives a real popup menu while TrackPopupMenu runs: the host window gets WM_INITMENUPOPUP for
// each popup shown and WM_ENTERIDLE (MSGF_MENU) whenever the menu loop waits; at each idle the
// driver reads the menu, then takes its next step with real mouse input (SetCursorPos +
// SendInput) on the item rectangles the system reports (GetMenuItemRect).

#include "StandInEditor.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace host {

// The entry captioned Caption in Menu, by position; -1 when there is none.
int FindMenuItem(HMENU Menu, std::wstring_view Caption);

// A left click at a screen point, as the user would: cursor moved there, button down and up.
void ClickAt(POINT Point);

// One plan for one shown menu. Steps run in order, each at a later idle than the previous one
// and only once the popup it works on is shown.
class MenuDriver {
public:
  explicit MenuDriver(EditorWindow& Window);
  ~MenuDriver();
  MenuDriver(const MenuDriver&) = delete;
  MenuDriver& operator=(const MenuDriver&) = delete;

  // Click the entry Caption of the deepest popup opened by the plan so far (the root first).
  // Clicking a submenu entry opens it.
  MenuDriver& Click(std::wstring Caption);
  // Click a point outside every popup: the menu closes without a choice.
  MenuDriver& ClickOutside();
  // Run any action at an idle (for screenshots); the menu stays as it is.
  MenuDriver& Then(std::function<void()> Action);

  // Filled at the first idle.
  bool Shown = false;
  std::string Tree;        // platform::DescribeMenu of the root popup
  POINT CursorAtShow{};    // the cursor when the menu appeared
  RECT RootWindow{};       // the root popup's window rectangle
  bool Completed = false;  // every step was taken
  std::string Failure;     // why the plan stopped early (the menu is then closed with EndMenu)
  LARGE_INTEGER ShownAt{}; // QueryPerformanceCounter at the first idle

  // Wine's X11 driver delivers the focus loss of a message box that has just closed late, as a
  // WM_CANCELMODE that would close a menu shown right after it; set this to keep the menu open
  // until it has been shown.
  bool IgnoreLateFocusLoss = false;

private:
  struct Step {
    enum Kind { ClickItem, ClickOutsideMenus, Action } What;
    std::wstring Caption;
    std::function<void()> Run;
  };
  void OnIdle(HWND MenuWindow);
  void Fail(const std::string& Why);
  void OnTimer();

  EditorWindow& FWindow;
  std::vector<Step> FSteps;
  size_t FNext = 0;
  HMENU FRoot = nullptr;
  HMENU FCurrent = nullptr; // the popup the next click works on
  HMENU FAwaited = nullptr; // a submenu clicked open and not yet shown
  std::vector<HMENU> FInitialised;
  ULONGLONG FLastStep = 0;  // GetTickCount64 of the last step taken
  POINT FLastClick{-1, -1}; // where the last item click went
  int FRetries = 0;
};

} // namespace host
