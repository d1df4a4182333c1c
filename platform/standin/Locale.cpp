#include "platform/Locale.h"

namespace marigold::platform {

namespace {

// Lower-case ASCII and full-width letters become upper case; nothing else changes.
char16_t FoldLetter(char16_t C) {
  if ((C >= u'a' && C <= u'z') || (C >= u'\uFF41' && C <= u'\uFF5A'))
    return static_cast<char16_t>(C - 0x20);
  return C;
}

} // namespace

bool LocaleTextEquals(std::u16string_view A, std::u16string_view B, bool IgnoreCase) {
  if (A.size() != B.size())
    return false;
  if (!IgnoreCase)
    return A == B;
  for (size_t I = 0; I < A.size(); ++I)
    if (FoldLetter(A[I]) != FoldLetter(B[I]))
      return false;
  return true;
}

} // namespace marigold::platform
