#include "PlugInLoader.h"

#include <type_traits>

namespace host {

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

} // namespace host
