#include "plugin/PluginFrame.h"

#include "base/Errors.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "plugin/PluginLibrary.h"
#include "plugin/plugin.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>

namespace marigold::plugin {

namespace {

// Both module texts are ASCII, so widening each byte is their UTF-16 form.
std::u16string Widen(std::string_view Ascii) {
  std::u16string Result(Ascii.size(), u'\0');
  std::transform(Ascii.begin(), Ascii.end(), Result.begin(), [](char C) {
    const auto Byte = static_cast<unsigned char>(C);
    return Byte < 0x80 ? static_cast<char16_t>(Byte) : u'\uFFFD';
  });
  return Result;
}

intptr_t CopyModuleText(std::string_view Text, uintptr_t Capacity, intptr_t Address) {
  if (Address != 0)
    CopyLimited(Text, reinterpret_cast<char*>(Address), Capacity);
  return static_cast<intptr_t>(Text.size());
}

} // namespace

void CopyLimited(std::string_view Text, char* Buffer, uintptr_t Capacity) noexcept {
  if (Capacity == 0)
    return;
  const size_t Count = std::min<size_t>(Text.size(), Capacity - 1);
  std::memcpy(Buffer, Text.data(), Count);
  Buffer[Count] = '\0';
}

intptr_t AnswerPlugInProc(platform::WindowHandle Window, uint32_t Code, uintptr_t WParam,
                          intptr_t LParam) noexcept {
  switch (Code) {
  case QueryPlugInName:
    return CopyModuleText(PlugInName, WParam, LParam);
  case QueryPlugInVersion:
    return CopyModuleText(PlugInVersion, WParam, LParam);
  case QueryAlwaysOne:
    return 1;
  case QueryUninstall:
    return AskUninstall(Window) ? 1 : 0;
  default:
    return 0;
  }
}

bool AskUninstall(platform::WindowHandle Window) noexcept {
  try {
    return platform::ShowMessageBox(Window, UninstallQuestion, Widen(PlugInName),
                                    platform::mb::YesNo | platform::mb::IconQuestion) ==
           platform::mb::IdYes;
  } catch (...) {
    return false;
  }
}

void HandleEvents(platform::WindowHandle Window, uint32_t Code, int32_t Value) noexcept {
  try {
    if (Code & EventStoreValue)
      StoredEventValue = Value;
    if (Code & EventSendValue)
      SendEventValue(Window, StoredEventValue);
  } catch (...) {
    // Events are notifications; there is nobody to tell.
  }
}

void ReportCurrentException(platform::WindowHandle Owner) noexcept {
  try {
    std::u16string Text;
    try {
      throw;
    } catch (const Exception& E) {
      Text = E.Message();
      if (const std::u16string Reason = platform::SystemReason(E.Code()); !Reason.empty())
        Text += u"\r\n" + Reason;
    } catch (const std::exception& E) {
      Text = Widen(E.what());
    } catch (...) {
      Text = u"不明なエラーが発生しました。";
    }
    platform::ShowMessageBox(Owner, Text, Widen(PlugInName),
                             platform::mb::Ok | platform::mb::IconError);
  } catch (...) {
    // Not even the message could be shown; the editor must survive regardless.
  }
}

} // namespace marigold::plugin
