#pragma once

// platform/standin/ is no port to another system: it is the native build's test double of
// Windows, behind the same headers as platform/win32/, so that the layers above run and are
// tested on Linux; every behaviour a test needs can be scripted here.
//
// Scriptable doubles of the native stand-in, for tests. Each setter replaces the previous one;
// Reset() restores the defaults (no host answers, message boxes answer 0, nothing recorded).

#include "platform/Types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace marigold::platform::standin {

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

} // namespace marigold::platform::standin
