#pragma once

// The locale-aware comparison of texts.

#include <string_view>

namespace marigold::platform {

// A and B compare equal under the user's default locale, ignoring case when IgnoreCase.
// Windows: CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE or 0) reports CSTR_EQUAL; a
// failing call throws Exception. The native stand-in compares exactly, or with IgnoreCase folds
// the ASCII letters and the full-width letters (U+FF21...U+FF3A, U+FF41...U+FF5A) only.
bool LocaleTextEquals(std::u16string_view A, std::u16string_view B, bool IgnoreCase);

} // namespace marigold::platform
