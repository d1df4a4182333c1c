#include "platform/Menu.h"
#include "base/Errors.h"
#include "platform/standin/MenuStandIn.h"

#include <map>

namespace marigold::platform::standin {
namespace {

struct Popup {
  std::vector<MenuItem> Entries;
  bool Attached = false;
};

struct MenuState {
  std::map<uintptr_t, Popup> Live;
  uintptr_t NextHandle = 0x1000;
  int Created = 0;
  int Limit = -1;
  int Faults = 0;
  CursorPoint Cursor;
  std::function<int32_t(const TrackCall&)> Chooser;
  std::vector<TrackCall> Tracks;
};

MenuState& TheMenus() {
  static MenuState S;
  return S;
}

uintptr_t Key(MenuHandle Menu) {
  return reinterpret_cast<uintptr_t>(Menu);
}

Popup* Find(MenuHandle Menu) {
  auto& Live = TheMenus().Live;
  auto It = Live.find(Key(Menu));
  return It == Live.end() ? nullptr : &It->second;
}

void Destroy(MenuHandle Menu) {
  auto& S = TheMenus();
  auto It = S.Live.find(Key(Menu));
  if (It == S.Live.end()) {
    ++S.Faults;
    return;
  }
  std::vector<MenuItem> Entries = std::move(It->second.Entries);
  S.Live.erase(It);
  for (const MenuItem& Entry : Entries)
    if (Entry.Submenu)
      Destroy(Entry.Submenu);
}

} // namespace

const std::vector<MenuItem>& MenuEntries(MenuHandle Menu) {
  static const std::vector<MenuItem> None;
  const Popup* P = Find(Menu);
  return P ? P->Entries : None;
}

void SetMenuChooser(std::function<int32_t(const TrackCall&)> Chooser) {
  TheMenus().Chooser = std::move(Chooser);
}
const std::vector<TrackCall>& TrackCalls() {
  return TheMenus().Tracks;
}
void SetCursorPosition(int32_t X, int32_t Y) {
  TheMenus().Cursor = {X, Y};
}
void SetMenuCreationLimit(int Count) {
  TheMenus().Limit = Count;
}
int LiveMenuCount() {
  return static_cast<int>(TheMenus().Live.size());
}
int CreatedMenuCount() {
  return TheMenus().Created;
}
int MenuFaultCount() {
  return TheMenus().Faults;
}
void ResetMenus() {
  TheMenus() = MenuState{};
}

} // namespace marigold::platform::standin

namespace marigold::platform {

using namespace standin;

// What Windows answers for a handle that is not a menu (ERROR_INVALID_MENU_HANDLE).
std::error_code InvalidMenu() {
  return {EINVAL, std::system_category()};
}

void DestroyPopup(MenuHandle Menu) noexcept {
  if (Menu)
    Destroy(Menu);
}

UniqueMenu CreatePopup() {
  auto& S = TheMenus();
  if (S.Limit >= 0 && S.Created >= S.Limit)
    throw marigold::Exception(u"Error:CreatePopupMenu",
                              std::error_code(ENOMEM, std::system_category()));
  ++S.Created;
  uintptr_t Handle = S.NextHandle++;
  S.Live.emplace(Handle, Popup{});
  return UniqueMenu(reinterpret_cast<MenuHandle>(Handle));
}

std::error_code AppendMenuEntry(MenuHandle Menu, uint32_t Flags, uintptr_t Id,
                                std::u16string_view Caption) {
  Popup* P = Find(Menu);
  if (!P) {
    ++TheMenus().Faults;
    return InvalidMenu();
  }
  P->Entries.push_back({Flags, Id, (Flags & MenuSeparator) ? u"" : std::u16string(Caption), {}});
  return {};
}

std::error_code AppendSubmenu(MenuHandle Menu, uint32_t Flags, MenuHandle Submenu,
                              std::u16string_view Caption) {
  Popup* Parent = Find(Menu);
  Popup* Child = Find(Submenu);
  if (!Parent || !Child || Child->Attached || Menu == Submenu) {
    ++TheMenus().Faults;
    return InvalidMenu();
  }
  Child->Attached = true;
  Parent->Entries.push_back({Flags | MenuPopup, 0, std::u16string(Caption), Submenu});
  return {};
}

std::vector<MenuItem> ReadMenu(MenuHandle Menu) {
  return MenuEntries(Menu);
}

CursorPoint CursorPosition() {
  return TheMenus().Cursor;
}

int32_t TrackPopup(MenuHandle Menu, uint32_t Flags, int32_t X, int32_t Y, WindowHandle Owner) {
  auto& S = TheMenus();
  if (!Find(Menu))
    ++S.Faults;
  S.Tracks.push_back({Menu, Flags, X, Y, Owner});
  return S.Chooser ? S.Chooser(S.Tracks.back()) : 0;
}

} // namespace marigold::platform
