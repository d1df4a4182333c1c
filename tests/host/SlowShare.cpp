#include "SlowShare.h"

#include "Interpose.h"

#include <atomic>
#include <cwchar>
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

// The length of the slow root Path lies under; 0 when none.
size_t SlowRootLength(std::wstring_view Path) {
  for (const std::wstring_view Root : {SlowShareRoot, SlowDriveRoot})
    if (StartsWithNoCase(Path, Root) && (Path.size() == Root.size() || Path[Root.size()] == L'\\'))
      return Root.size();
  return 0;
}

DWORD RealGetFileAttributesW(LPCWSTR Name) {
  static const auto Real = RealKernel32<decltype(GetFileAttributesW)>("GetFileAttributesW");
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

} // namespace

bool InterposeSlowShare(HMODULE Module, DWORD DelayMs) {
  Delay = DelayMs;
  return InterposeImport(Module, "GetFileAttributesW",
                         reinterpret_cast<const void*>(&SlowGetFileAttributesW));
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
