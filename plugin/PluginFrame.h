#pragma once

// What the seven exports answer, kept apart from the export layer so that it can be tested
// over the native stand-in. None of these functions lets an exception out.

#include "platform/Types.h"
#include "resources/ResourceIds.h"

#include <cstdint>
#include <string_view>
#include <utility>

namespace marigold::plugin {

inline constexpr int32_t MenuTextId = MARIGOLD_IDS_MENU_TEXT;
inline constexpr int32_t StatusMessageId = MARIGOLD_IDS_STATUS_MESSAGE;
inline constexpr int32_t BitmapId = MARIGOLD_IDB_COMMAND;
inline constexpr int32_t QueryStatusAnswer = -1;

// Query codes of PlugInProc.
inline constexpr uint32_t QueryPlugInName = 2306;    // 0x902
inline constexpr uint32_t QueryPlugInVersion = 2308; // 0x904
inline constexpr uint32_t QueryAlwaysOne = 2310;     // 0x906
inline constexpr uint32_t QueryUninstall = 2311;     // 0x907

// Event bits of OnEvents.
inline constexpr uint32_t EventStoreValue = 0x400;
inline constexpr uint32_t EventSendValue = 0x40;

inline constexpr std::u16string_view UninstallQuestion = u"アンインストールしますか？";

// The copy rule of lstrcpynA: at most Capacity - 1 bytes of Text, then a zero byte; Capacity 0
// writes nothing. CopyLimited("Version 3.1.4", Buffer, 8) leaves "Version\0".
void CopyLimited(std::string_view Text, char* Buffer, uintptr_t Capacity) noexcept;

// PlugInProc: 2306/2308 copy the name/version to the buffer at LParam (capacity WParam bytes)
// when LParam is not 0 and answer its length; 2310 answers 1; 2311 asks the user and answers 1
// for Yes; any other code answers 0.
intptr_t AnswerPlugInProc(platform::WindowHandle Window, uint32_t Code, uintptr_t WParam,
                          intptr_t LParam) noexcept;

// The uninstall question (Yes/No, question icon, owned by Window, caption PlugInName): true
// only when the user chose Yes.
bool AskUninstall(platform::WindowHandle Window) noexcept;

// OnEvents: bit 0x400 stores Value in StoredEventValue, then bit 0x40 sends StoredEventValue
// to Window (message 2050). Other bits are ignored.
void HandleEvents(platform::WindowHandle Window, uint32_t Code, int32_t Value) noexcept;

// Shows the exception being handled in an error message box owned by Owner (caption
// "Marigold"): an Exception's message (then, on a line of its own, the system's reason for its
// error where there is one), another std::exception's what(), or a fixed text.
void ReportCurrentException(platform::WindowHandle Owner) noexcept;

// The export boundary: runs Body and reports any exception it throws instead of letting it
// out. Answers false when Body threw.
template <class Callable> bool RunGuarded(platform::WindowHandle Owner, Callable&& Body) noexcept {
  try {
    std::forward<Callable>(Body)();
    return true;
  } catch (...) {
    ReportCurrentException(Owner);
    return false;
  }
}

} // namespace marigold::plugin
