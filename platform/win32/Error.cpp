#include "platform/Error.h"

#include <windows.h>

namespace marigold::platform {
namespace {

std::error_code Win32(DWORD Code) {
  return {static_cast<int>(Code), std::system_category()};
}

} // namespace

std::error_code LastError() noexcept {
  const DWORD Code = GetLastError();
  return Win32(Code != ERROR_SUCCESS ? Code : ERROR_GEN_FAILURE);
}

std::error_code AccessDenied() noexcept {
  return Win32(ERROR_ACCESS_DENIED);
}

std::error_code AlreadyExists() noexcept {
  return Win32(ERROR_FILE_EXISTS);
}

std::error_code ShortWrite() noexcept {
  return Win32(ERROR_DISK_FULL);
}

std::u16string SystemReason(std::error_code Error) {
  if (!Error || Error.category() != std::system_category())
    return {};
  wchar_t* Buffer = nullptr;
  const DWORD Length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, static_cast<DWORD>(Error.value()), 0,
                                      reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
  std::u16string Reason;
  if (Length > 0 && Buffer)
    Reason.assign(reinterpret_cast<const char16_t*>(Buffer), Length);
  LocalFree(Buffer);
  // The system ends its texts with a line break; the reason stays on one line.
  while (!Reason.empty() &&
         (Reason.back() == u'\n' || Reason.back() == u'\r' || Reason.back() == u' '))
    Reason.pop_back();
  for (char16_t& C : Reason)
    if (C == u'\r' || C == u'\n')
      C = u' ';
  return Reason;
}

} // namespace marigold::platform
