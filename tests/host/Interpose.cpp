#include "Interpose.h"

#include <cstring>
#include <cwctype>

namespace host {
namespace {

template <class T> T* At(HMODULE Module, DWORD Offset) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(Module) + Offset);
}

} // namespace

bool StartsWithNoCase(std::wstring_view Text, std::wstring_view Prefix) {
  if (Text.size() < Prefix.size())
    return false;
  for (size_t I = 0; I < Prefix.size(); ++I)
    if (std::towlower(Text[I]) != std::towlower(Prefix[I]))
      return false;
  return true;
}

bool InterposeImport(HMODULE Module, const char* Function, const void* Replacement) {
  const auto* Nt = At<IMAGE_NT_HEADERS>(Module, At<IMAGE_DOS_HEADER>(Module, 0)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& Imports =
      Nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (Imports.VirtualAddress == 0)
    return false;
  for (auto* Dll = At<IMAGE_IMPORT_DESCRIPTOR>(Module, Imports.VirtualAddress); Dll->Name; ++Dll) {
    if (_stricmp(At<char>(Module, Dll->Name), "kernel32.dll") != 0 || !Dll->OriginalFirstThunk)
      continue;
    auto* Name = At<IMAGE_THUNK_DATA>(Module, Dll->OriginalFirstThunk);
    auto* Slot = At<IMAGE_THUNK_DATA>(Module, Dll->FirstThunk);
    for (; Name->u1.AddressOfData; ++Name, ++Slot) {
      if (IMAGE_SNAP_BY_ORDINAL(Name->u1.Ordinal) ||
          std::strcmp(
              At<IMAGE_IMPORT_BY_NAME>(Module, static_cast<DWORD>(Name->u1.AddressOfData))->Name,
              Function) != 0)
        continue;
      DWORD Former = 0;
      if (!VirtualProtect(&Slot->u1.Function, sizeof(Slot->u1.Function), PAGE_READWRITE, &Former))
        return false;
      Slot->u1.Function = reinterpret_cast<ULONG_PTR>(Replacement);
      VirtualProtect(&Slot->u1.Function, sizeof(Slot->u1.Function), Former, &Former);
      return true;
    }
  }
  return false;
}

} // namespace host
