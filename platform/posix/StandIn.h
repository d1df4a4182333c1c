#pragma once

// Scriptable doubles of the native stand-in, for tests. Each setter replaces the previous one;
// Reset() restores the defaults (no host answers, message boxes answer 0, nothing recorded).

#include "platform/Types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::standin {

using HostHandler = std::function<intptr_t(WindowHandle Window, uint32_t Message, uintptr_t WParam,
                                           intptr_t LParam)>;
void SetHostHandler(HostHandler Handler);

struct MessageBoxCall {
  WindowHandle Owner;
  std::u16string Text;
  std::u16string Caption;
  uint32_t Style;
};
// Answers each message box; every call is recorded.
void SetMessageBoxAnswer(std::function<int(const MessageBoxCall&)> Answer);
const std::vector<MessageBoxCall>& MessageBoxCalls();

void SetHostExecutablePath(std::u16string Path);
// Command lines given to StartProcess, in order.
const std::vector<std::u16string>& StartedProcesses();

void Reset();

} // namespace platform::standin
