#include "SlowShare.h"

#include <atomic>
#include <cstring>
#include <cwctype>
#include <string_view>

namespace host {
namespace {

std::atomic<DWORD> Delay{0};
std::atomic<int> Begun{0}, Answered{0};

// Open unless held: manual reset, so that every waiting look-up goes on when it opens.
HANDLE Gate() {
  static const HANDLE Event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  return Event;
}

bool Under(std::wstring_view Path, std::wstring_view Root) {
  if (Path.size() < Root.size() || (Path.size() > Root.size() && Path[Root.size()] != L'\\'))
    return false;
  for (size_t I = 0; I < Root.size(); ++I)
    if (std::towlower(Path[I]) != std::towlower(Root[I]))
      return false;
  return true;
}

// The length of the slow root Path lies under; 0 when none.
size_t SlowRootLength(std::wstring_view Path) {
  for (const std::wstring_view Root : {SlowShareRoot, SlowDriveRoot})
    if (Under(Path, Root))
      return Root.size();
  return 0;
}

// The system's own, not through an import that may be interposed itself.
DWORD RealGetFileAttributesW(LPCWSTR Name) {
  static const auto Real = reinterpret_cast<decltype(&GetFileAttributesW)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetFileAttributesW")));
  return Real(Name);
}

DWORD WINAPI SlowGetFileAttributesW(LPCWSTR Name) {
  const std::wstring_view Path = Name ? Name : L"";
  const size_t Root = SlowRootLength(Path);
  if (Root == 0)
    return RealGetFileAttributesW(Name);
  ++Begun;
  WaitForSingleObject(Gate(), INFINITE);
  Sleep(Delay);
  const std::wstring Mapped = std::wstring(SlowShareFolder) + std::wstring(Path.substr(Root));
  const DWORD Attributes = RealGetFileAttributesW(Mapped.c_str());
  ++Answered;
  return Attributes;
}

template <class T> T* At(HMODULE Module, DWORD Offset) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(Module) + Offset);
}

} // namespace

bool InterposeSlowShare(HMODULE Module, DWORD DelayMs) {
  Delay = DelayMs;
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
              "GetFileAttributesW") != 0)
        continue;
      DWORD Former = 0;
      if (!VirtualProtect(&Slot->u1.Function, sizeof(Slot->u1.Function), PAGE_READWRITE, &Former))
        return false;
      Slot->u1.Function = reinterpret_cast<ULONG_PTR>(&SlowGetFileAttributesW);
      VirtualProtect(&Slot->u1.Function, sizeof(Slot->u1.Function), Former, &Former);
      return true;
    }
  }
  return false;
}

void HoldSlowShare() {
  ResetEvent(Gate());
}
void ReleaseSlowShare() {
  SetEvent(Gate());
}

int SlowLookupsBegun() {
  return Begun;
}
int SlowLookupsAnswered() {
  return Answered;
}

} // namespace host
