#pragma once

// The host editor's window messages: their numbers, the records they carry, and the one
// operation around each. These operations are the only code that sends messages to the host.

#include "platform/Types.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace marigold::plugin {

inline constexpr uint32_t HostMessageEventValue = 2050;    // 0x802
inline constexpr uint32_t HostMessageCaretPosition = 2074; // 0x81A
inline constexpr uint32_t HostMessageSelectedText = 2094;  // 0x82E
inline constexpr uint32_t HostMessageActiveFile = 2106;    // 0x83A
inline constexpr uint32_t HostMessageSetting = 2134;       // 0x856

// wParam of 2106. The file-name buffer offered holds this many units plus a terminator, so a
// host that takes wParam as the capacity cannot write past it.
inline constexpr uint32_t ActiveFileNameCapacity = 280;

// Filled by the host for 2074; laid out like POINT.
struct TCaretPosition {
  int32_t X; // not read
  int32_t Y; // zero-based line of the caret
};

// The record lParam of 2134 points to. 32 bytes on the 32-bit build.
struct THostSettingQuery {
  uint32_t Size;
  uint32_t Context;
  uint32_t Index;
  const char16_t* Name;
  uint32_t Kind;
  char16_t* Buffer;
  uint32_t* BufferSize;
  uint32_t Option;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(THostSettingQuery) == 32);
static_assert(offsetof(THostSettingQuery, Name) == 12);
static_assert(offsetof(THostSettingQuery, Buffer) == 20);
static_assert(offsetof(THostSettingQuery, BufferSize) == 24);
static_assert(offsetof(THostSettingQuery, Option) == 28);
#endif
static_assert(sizeof(TCaretPosition) == 8);

// Sends 2050 with wParam Value (sign-extended to the pointer width) and lParam 0.
void SendEventValue(platform::WindowHandle Window, int32_t Value);

// Sends 2074 with wParam 2 and the address of Position, which the host fills. Returns the
// message result, which callers ignore.
intptr_t GetCaretPosition(platform::WindowHandle Window, TCaretPosition& Position);

// The selected text: asks 2094 (0, 0) for a count n (the low 32 bits of the result; n <= 0 is
// no selection), then sends 2094 (n, zero-filled buffer of n + 1 units), or (0, 0) when there
// is no selection. Answers the buffer up to its first zero unit.
std::u16string GetSelectedText(platform::WindowHandle Window);

// The active window's file: sends 2106 (280, zero-filled buffer of 281 units) and answers the
// buffer up to its first zero unit; empty when the host writes nothing.
std::u16string GetActiveFileName(platform::WindowHandle Window);

// Copies its arguments into a THostSettingQuery (Size = sizeof the record), sends 2134 with
// wParam 0 and the record's address, and answers whether the result was non-zero.
bool QueryHostSetting(platform::WindowHandle Window, uint32_t Context, uint32_t Index,
                      const char16_t* Name, uint32_t Kind, char16_t* Buffer, uint32_t* BufferSize,
                      uint32_t Option);

} // namespace marigold::plugin
