#pragma once

// Conversions between text and the system ANSI code page (code page 932 in the native stand-in).

#include <string>
#include <string_view>

namespace marigold::platform {

// MultiByteToWideChar(CP_ACP, 0): every byte, NUL included.
std::u16string AnsiToText(std::string_view Data);
// WideCharToMultiByte(CP_ACP, 0) without a default character of our own: characters the code
// page cannot hold become its best-fit or default character.
std::string TextToAnsi(std::u16string_view Text);

} // namespace marigold::platform
