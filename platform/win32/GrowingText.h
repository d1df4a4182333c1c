#pragma once

// Win32 calls that write a NUL-terminated text into the caller's buffer and answer its length,
// or the size they need (NUL included) when the buffer is too small, or 0 when they fail.

#include "base/WideText.h"
#include "platform/Error.h"

#include <windows.h>

#include <string>

namespace marigold::platform {

// The text Fill(Buffer, Size) writes, the buffer grown as often as it asks; the system's error
// when the call fails.
template <typename Call> Result<std::u16string> GrowingText(Call&& Fill) {
  std::wstring Buffer(MAX_PATH + 1, L'\0');
  for (int Tries = 0; Tries < 3; ++Tries) {
    const DWORD Length = Fill(Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (Length == 0)
      return LastError();
    if (Length < Buffer.size())
      return std::u16string(marigold::AsUtf16(Buffer.data()), Length);
    Buffer.assign(Length, L'\0');
  }
  return std::error_code(ERROR_INSUFFICIENT_BUFFER, std::system_category());
}

} // namespace marigold::platform
