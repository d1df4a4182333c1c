#include "platform/Menu.h"
#include "base/Errors.h"
#include "base/WideText.h"
#include "platform/Error.h"

#include <windows.h>

namespace marigold::platform {

static_assert(MenuString == MF_STRING && MenuGrayed == MF_GRAYED && MenuDisabled == MF_DISABLED &&
              MenuPopup == MF_POPUP && MenuSeparator == MF_SEPARATOR &&
              TrackReturnCommand == TPM_RETURNCMD);

void DestroyPopup(MenuHandle Menu) noexcept {
  if (Menu)
    ::DestroyMenu(static_cast<HMENU>(Menu));
}

UniqueMenu CreatePopup() {
  HMENU Menu = ::CreatePopupMenu();
  if (!Menu)
    throw marigold::Exception(u"Error:CreatePopupMenu", LastError());
  return UniqueMenu(Menu);
}

std::error_code AppendMenuEntry(MenuHandle Menu, uint32_t Flags, uintptr_t Id,
                                std::u16string_view Caption) {
  // A null text would turn a string entry into a separator; an empty caption stays an entry.
  std::wstring Text = marigold::ToWide(Caption);
  const wchar_t* Item = (Flags & MF_SEPARATOR) ? nullptr : Text.c_str();
  return ::AppendMenuW(static_cast<HMENU>(Menu), Flags, Id, Item) ? std::error_code() : LastError();
}

std::error_code AppendSubmenu(MenuHandle Menu, uint32_t Flags, MenuHandle Submenu,
                              std::u16string_view Caption) {
  return ::AppendMenuW(static_cast<HMENU>(Menu), Flags | MF_POPUP,
                       reinterpret_cast<UINT_PTR>(Submenu), marigold::ToWide(Caption).c_str())
             ? std::error_code()
             : LastError();
}

std::vector<MenuItem> ReadMenu(MenuHandle Menu) {
  const auto Handle = static_cast<HMENU>(Menu);
  const int Count = ::GetMenuItemCount(Handle);
  std::vector<MenuItem> Items;
  for (int I = 0; I < Count; ++I) {
    const auto Position = static_cast<UINT>(I);
    MENUITEMINFOW Info{};
    Info.cbSize = sizeof Info;
    Info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    if (!::GetMenuItemInfoW(Handle, Position, TRUE, &Info))
      continue;
    std::wstring Text(Info.cch, L'\0');
    if (Info.cch > 0) {
      ++Info.cch; // room for the NUL
      Text.resize(Info.cch);
      Info.dwTypeData = Text.data();
      (void)::GetMenuItemInfoW(Handle, Position, TRUE, &Info);
      Text.resize(Info.cch);
    }
    MenuItem Item;
    // GetMenuItemInfoW reports grayed and disabled alike; GetMenuState keeps them apart.
    Item.Flags = ::GetMenuState(Handle, Position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED);
    if (Info.fType & MFT_SEPARATOR) {
      Item.Flags = MF_SEPARATOR;
    } else {
      Item.Caption = marigold::AsUtf16(Text.c_str());
      Item.Submenu = Info.hSubMenu;
      Item.Flags |= Info.hSubMenu ? MF_POPUP : 0u;
      Item.Id = Info.hSubMenu ? 0 : Info.wID;
    }
    Items.push_back(std::move(Item));
  }
  return Items;
}

CursorPoint CursorPosition() {
  POINT Point{};
  if (!::GetCursorPos(&Point))
    return {};
  return {static_cast<int32_t>(Point.x), static_cast<int32_t>(Point.y)};
}

int32_t TrackPopup(MenuHandle Menu, uint32_t Flags, int32_t X, int32_t Y, WindowHandle Owner) {
  return static_cast<int32_t>(::TrackPopupMenu(static_cast<HMENU>(Menu), Flags, X, Y, 0,
                                               static_cast<HWND>(Owner), nullptr));
}

} // namespace marigold::platform
