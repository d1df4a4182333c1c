#include "SlowShare.h"

#include "Interpose.h"

#include <atomic>
#include <cwchar>
#include <string_view>

namespace host {
namespace {

std::atomic<DWORD> Delay{0};
std::atomic<int> Begun{0}, Answered{0};

bool UnderSlowShare(std::wstring_view Path) {
  const std::wstring_view Root = SlowShareRoot;
  return StartsWithNoCase(Path, Root) && (Path.size() == Root.size() || Path[Root.size()] == L'\\');
}

DWORD RealGetFileAttributesW(LPCWSTR Name) {
  static const auto Real = RealKernel32<decltype(GetFileAttributesW)>("GetFileAttributesW");
  return Real(Name);
}

DWORD WINAPI SlowGetFileAttributesW(LPCWSTR Name) {
  const std::wstring_view Path = Name ? Name : L"";
  if (!UnderSlowShare(Path))
    return RealGetFileAttributesW(Name);
  ++Begun;
  Sleep(Delay);
  const std::wstring Mapped =
      std::wstring(SlowShareFolder) + std::wstring(Path.substr(std::wcslen(SlowShareRoot)));
  const DWORD Attributes = RealGetFileAttributesW(Mapped.c_str());
  ++Answered;
  return Attributes;
}

} // namespace

bool InterposeSlowShare(HMODULE Module, DWORD DelayMs) {
  Delay = DelayMs;
  return InterposeImport(Module, "GetFileAttributesW",
                         reinterpret_cast<const void*>(&SlowGetFileAttributesW));
}

int SlowLookupsBegun() {
  return Begun;
}
int SlowLookupsAnswered() {
  return Answered;
}

} // namespace host
