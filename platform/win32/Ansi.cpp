#include "platform/Ansi.h"
#include "base/WideText.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace platform {

std::u16string AnsiToText(std::string_view Data) {
  if (Data.empty())
    return {};
  if (Data.size() > INT_MAX)
    throw std::length_error("ANSI text too long");
  const int Size = static_cast<int>(Data.size());
  int Length = MultiByteToWideChar(CP_ACP, 0, Data.data(), Size, nullptr, 0);
  if (Length <= 0)
    throw std::runtime_error("ANSI conversion failed");
  std::u16string Text(static_cast<size_t>(Length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, Data.data(), Size, marigold::AsWide(Text.data()), Length);
  return Text;
}

std::string TextToAnsi(std::u16string_view Text) {
  if (Text.empty())
    return {};
  if (Text.size() > INT_MAX)
    throw std::length_error("text too long for ANSI");
  const int Size = static_cast<int>(Text.size());
  int Length = WideCharToMultiByte(CP_ACP, 0, marigold::AsWide(Text.data()), Size, nullptr, 0,
                                   nullptr, nullptr);
  if (Length <= 0)
    throw std::runtime_error("ANSI conversion failed");
  std::string Data(static_cast<size_t>(Length), '\0');
  WideCharToMultiByte(CP_ACP, 0, marigold::AsWide(Text.data()), Size, Data.data(), Length, nullptr,
                      nullptr);
  return Data;
}

} // namespace platform
