#include "platform/Locale.h"

#include "base/Errors.h"
#include "base/TextFormat.h"
#include "base/WideText.h"

#include <climits>
#include <string>

#include <windows.h>

namespace marigold::platform {

namespace {

[[noreturn]] void RaiseCompareFailure(DWORD Code) {
  throw marigold::Exception(u"CompareStringW failed, system error " + Decimal(Code),
                            std::error_code(static_cast<int>(Code), std::system_category()));
}

} // namespace

bool LocaleTextEquals(std::u16string_view A, std::u16string_view B, bool IgnoreCase) {
  if (A.size() > INT_MAX || B.size() > INT_MAX)
    RaiseCompareFailure(ERROR_INVALID_PARAMETER);
  // Empty views may carry a null pointer; CompareStringW wants a valid one even for length 0.
  const wchar_t* Empty = L"";
  int Result =
      CompareStringW(LOCALE_USER_DEFAULT, IgnoreCase ? NORM_IGNORECASE : 0,
                     A.empty() ? Empty : marigold::AsWide(A.data()), static_cast<int>(A.size()),
                     B.empty() ? Empty : marigold::AsWide(B.data()), static_cast<int>(B.size()));
  if (Result == 0)
    RaiseCompareFailure(GetLastError());
  return Result == CSTR_EQUAL;
}

} // namespace marigold::platform
