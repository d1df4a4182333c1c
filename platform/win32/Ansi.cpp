#include "platform/Ansi.h"
#include "base/Errors.h"
#include "base/WideText.h"
#include "platform/Error.h"

#include <windows.h>

#include <climits>

namespace marigold::platform {
namespace {

[[noreturn]] void Fail(std::u16string Call, std::error_code Error) {
  throw marigold::Exception(u"Error:" + Call, Error);
}

std::error_code TooLong() {
  return {ERROR_ARITHMETIC_OVERFLOW, std::system_category()};
}

} // namespace

std::u16string AnsiToText(std::string_view Data) {
  if (Data.empty())
    return {};
  if (Data.size() > INT_MAX)
    Fail(u"MultiByteToWideChar", TooLong());
  const int Size = static_cast<int>(Data.size());
  int Length = MultiByteToWideChar(CP_ACP, 0, Data.data(), Size, nullptr, 0);
  if (Length <= 0)
    Fail(u"MultiByteToWideChar", LastError());
  std::u16string Text(static_cast<size_t>(Length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, Data.data(), Size, marigold::AsWide(Text.data()), Length);
  return Text;
}

std::string TextToAnsi(std::u16string_view Text) {
  if (Text.empty())
    return {};
  if (Text.size() > INT_MAX)
    Fail(u"WideCharToMultiByte", TooLong());
  const int Size = static_cast<int>(Text.size());
  int Length = WideCharToMultiByte(CP_ACP, 0, marigold::AsWide(Text.data()), Size, nullptr, 0,
                                   nullptr, nullptr);
  if (Length <= 0)
    Fail(u"WideCharToMultiByte", LastError());
  std::string Data(static_cast<size_t>(Length), '\0');
  WideCharToMultiByte(CP_ACP, 0, marigold::AsWide(Text.data()), Size, Data.data(), Length, nullptr,
                      nullptr);
  return Data;
}

} // namespace marigold::platform
