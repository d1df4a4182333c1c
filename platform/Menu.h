#pragma once

// Popup menus and the mouse cursor. The native stand-in keeps menus in memory: see
// platform/standin/MenuStandIn.h.

#include "base/UniqueResource.h"
#include "platform/Types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace marigold::platform {

// A popup menu (HMENU on Windows; an opaque token in the stand-in).
using MenuHandle = void*;

// AppendMenuW flags, with the values of the Windows headers.
inline constexpr uint32_t MenuString = 0x0;      // MF_STRING: an enabled entry
inline constexpr uint32_t MenuGrayed = 0x1;      // MF_GRAYED
inline constexpr uint32_t MenuDisabled = 0x2;    // MF_DISABLED: disabled but drawn normally
inline constexpr uint32_t MenuPopup = 0x10;      // MF_POPUP: the id is a submenu
inline constexpr uint32_t MenuSeparator = 0x800; // MF_SEPARATOR
// TrackPopupMenu flag: return the chosen id instead of posting WM_COMMAND.
inline constexpr uint32_t TrackReturnCommand = 0x100; // TPM_RETURNCMD

// DestroyMenu; also destroys every submenu attached to the menu. Null is ignored.
void DestroyPopup(MenuHandle Menu) noexcept;

struct MenuTraits {
  using Value = MenuHandle;
  static Value Invalid() noexcept { return nullptr; }
  static void Close(Value Menu) noexcept { DestroyPopup(Menu); }
};
// Owns one popup menu that is not (yet) attached to a parent; destroys it once. release()
// gives it up for a menu that now belongs to its parent.
using UniqueMenu = marigold::UniqueResource<MenuTraits>;

// CreatePopupMenu: a new, empty popup. Throws marigold::Exception, with the system's error, when
// the system has none to give.
UniqueMenu CreatePopup();

// AppendMenuW(Menu, Flags, Id, Caption) for an entry or (with MenuSeparator) a separator.
// The system's error when it refused; the menu is then unchanged.
[[nodiscard]] std::error_code AppendMenuEntry(MenuHandle Menu, uint32_t Flags, uintptr_t Id,
                                              std::u16string_view Caption);

// AppendMenuW with MF_POPUP | Flags: Submenu becomes an entry of Menu, which then owns it.
// The system's error when it refused; the caller then still owns Submenu.
[[nodiscard]] std::error_code AppendSubmenu(MenuHandle Menu, uint32_t Flags, MenuHandle Submenu,
                                            std::u16string_view Caption);

// One entry of a live menu as the system holds it. Flags are the AppendMenuW flags it answers
// to: MenuSeparator, or MenuPopup with Submenu, plus MenuGrayed and MenuDisabled as set.
struct MenuItem {
  uint32_t Flags = 0;
  uintptr_t Id = 0;       // the command id; 0 for separators and submenus
  std::u16string Caption; // empty for separators
  MenuHandle Submenu = nullptr;
};
// The entries of Menu in order (GetMenuItemCount, GetMenuItemInfoW and GetMenuState on Windows,
// which tell grayed from disabled); empty for a handle that is no menu.
std::vector<MenuItem> ReadMenu(MenuHandle Menu);

struct CursorPoint {
  int32_t X = 0;
  int32_t Y = 0;
};
// GetCursorPos: the mouse cursor in screen coordinates; (0, 0) when it cannot be read.
CursorPoint CursorPosition();

// TrackPopupMenu(Menu, Flags, X, Y, 0, Owner, no rectangle): runs the menu modally and, with
// TrackReturnCommand, answers the chosen id, 0 when the menu was dismissed.
int32_t TrackPopup(MenuHandle Menu, uint32_t Flags, int32_t X, int32_t Y, WindowHandle Owner);

} // namespace marigold::platform
