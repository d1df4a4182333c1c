#include "platform/standin/StandIn.h"

#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "platform/Process.h"

namespace marigold::platform::standin {
namespace {

struct State {
  HostHandler Host;
  std::function<int(const MessageBoxCall&)> MessageBoxAnswer;
  std::vector<MessageBoxCall> MessageBoxes;
  std::u16string ExecutablePath = u"C:\\Editor\\Editor.exe";
  std::vector<std::u16string> Started;
};

State& TheState() {
  static State S;
  return S;
}

} // namespace

void SetHostHandler(HostHandler Handler) {
  TheState().Host = std::move(Handler);
}
void SetMessageBoxAnswer(std::function<int(const MessageBoxCall&)> Answer) {
  TheState().MessageBoxAnswer = std::move(Answer);
}
const std::vector<MessageBoxCall>& MessageBoxCalls() {
  return TheState().MessageBoxes;
}
void SetHostExecutablePath(std::u16string Path) {
  TheState().ExecutablePath = std::move(Path);
}
const std::vector<std::u16string>& StartedProcesses() {
  return TheState().Started;
}
void Reset() {
  TheState() = State{};
}

} // namespace marigold::platform::standin

namespace marigold::platform {

intptr_t SendHostMessage(WindowHandle Window, uint32_t Message, uintptr_t WParam, intptr_t LParam) {
  auto& S = standin::TheState();
  return S.Host ? S.Host(Window, Message, WParam, LParam) : 0;
}

int ShowMessageBox(WindowHandle Owner, std::u16string_view Text, std::u16string_view Caption,
                   uint32_t Style) {
  auto& S = standin::TheState();
  S.MessageBoxes.push_back({Owner, std::u16string(Text), std::u16string(Caption), Style});
  return S.MessageBoxAnswer ? S.MessageBoxAnswer(S.MessageBoxes.back()) : 0;
}

std::u16string HostExecutablePath() {
  return standin::TheState().ExecutablePath;
}

std::error_code StartProcess(std::u16string CommandLine) {
  standin::TheState().Started.push_back(std::move(CommandLine));
  return {};
}

} // namespace marigold::platform
