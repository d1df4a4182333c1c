#pragma once

// In-memory popup menus of the native stand-in, for tests: what was appended to each menu, a
// scripted chooser in place of the modal menu, and counts that prove every popup is released
// once. ResetMenus() destroys nothing; it forgets every menu and restores the defaults
// (cursor at (0, 0), the chooser dismisses the menu, no creation limit). platform::DescribeMenu
// (platform/MenuDrawing.h) draws a menu as text.

#include "platform/Menu.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace marigold::platform::standin {

// The entries of a live menu in order; empty for a handle that is not alive.
const std::vector<MenuItem>& MenuEntries(MenuHandle Menu);

struct TrackCall {
  MenuHandle Menu;
  uint32_t Flags;
  int32_t X;
  int32_t Y;
  WindowHandle Owner;
};
// Answers each TrackPopup in place of the user; the menus are alive while it runs.
void SetMenuChooser(std::function<int32_t(const TrackCall&)> Chooser);
const std::vector<TrackCall>& TrackCalls();

void SetCursorPosition(int32_t X, int32_t Y);

// Makes the (Count + 1)-th and every later CreatePopup fail, as when the system runs out.
void SetMenuCreationLimit(int Count);

// Popups created and not yet destroyed (directly or with a parent).
int LiveMenuCount();
// Popups created since the last reset.
int CreatedMenuCount();
// Misuses seen: destroying or appending to a menu that is not alive, attaching a menu twice or
// to itself. A correct program leaves this at 0.
int MenuFaultCount();

void ResetMenus();

} // namespace marigold::platform::standin
