#include "plugin/plugin.h"

#include "platform/Host.h"

namespace marigold::plugin {

namespace {

intptr_t Send(platform::WindowHandle Window, uint32_t Message, uintptr_t WParam,
              const void* LParam) {
  return platform::SendHostMessage(Window, Message, WParam, reinterpret_cast<intptr_t>(LParam));
}

// The host's answer ends at the first zero unit (or at the buffer's own terminator).
std::u16string UpToFirstZero(std::u16string Buffer) {
  if (const auto End = Buffer.find(u'\0'); End != std::u16string::npos)
    Buffer.resize(End);
  return Buffer;
}

} // namespace

void SendEventValue(platform::WindowHandle Window, int32_t Value) {
  Send(Window, HostMessageEventValue, static_cast<uintptr_t>(static_cast<intptr_t>(Value)),
       nullptr);
}

intptr_t GetCaretPosition(platform::WindowHandle Window, TCaretPosition& Position) {
  return Send(Window, HostMessageCaretPosition, 2, &Position);
}

std::u16string GetSelectedText(platform::WindowHandle Window) {
  // A 32-bit host answers a 32-bit count; a larger 64-bit result is not a count either.
  const auto Count = static_cast<int32_t>(Send(Window, HostMessageSelectedText, 0, nullptr));
  if (Count <= 0) {
    Send(Window, HostMessageSelectedText, 0, nullptr);
    return {};
  }
  std::u16string Buffer(static_cast<size_t>(Count) + 1, u'\0');
  Send(Window, HostMessageSelectedText, static_cast<uintptr_t>(Count), Buffer.data());
  return UpToFirstZero(std::move(Buffer));
}

std::u16string GetActiveFileName(platform::WindowHandle Window) {
  std::u16string Buffer(ActiveFileNameCapacity + 1, u'\0');
  Send(Window, HostMessageActiveFile, ActiveFileNameCapacity, Buffer.data());
  return UpToFirstZero(std::move(Buffer));
}

bool QueryHostSetting(platform::WindowHandle Window, uint32_t Context, uint32_t Index,
                      const char16_t* Name, uint32_t Kind, char16_t* Buffer, uint32_t* BufferSize,
                      uint32_t Option) {
  THostSettingQuery Query{
      sizeof(THostSettingQuery), Context, Index, Name, Kind, Buffer, BufferSize, Option};
  return Send(Window, HostMessageSetting, 0, &Query) != 0;
}

} // namespace marigold::plugin
