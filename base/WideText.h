#pragma once

// The one place where the program's UTF-16 text meets the Win32 wchar_t (16 bits there).
#ifdef _WIN32
#include <string>
#include <string_view>

namespace marigold {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* AsWide(const char16_t* S) {
  return reinterpret_cast<const wchar_t*>(S);
}
inline wchar_t* AsWide(char16_t* S) {
  return reinterpret_cast<wchar_t*>(S);
}
inline const char16_t* AsUtf16(const wchar_t* S) {
  return reinterpret_cast<const char16_t*>(S);
}
inline char16_t* AsUtf16(wchar_t* S) {
  return reinterpret_cast<char16_t*>(S);
}

// A NUL-terminated copy for calls that need one.
inline std::wstring ToWide(std::u16string_view S) {
  return std::wstring(AsWide(S.data()), S.size());
}

} // namespace marigold
#endif
