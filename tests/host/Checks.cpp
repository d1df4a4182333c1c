#include "Checks.h"

#include <windows.h>

#include <cstdio>

namespace host {
namespace {

int Passed = 0;
int Failed = 0;
std::string CurrentScenario;

} // namespace

std::string Narrow(std::wstring_view Text, unsigned CodePage) {
  if (Text.empty())
    return {};
  const int Size = WideCharToMultiByte(CodePage, 0, Text.data(), static_cast<int>(Text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string Out(static_cast<size_t>(Size), '\0');
  WideCharToMultiByte(CodePage, 0, Text.data(), static_cast<int>(Text.size()), Out.data(), Size,
                      nullptr, nullptr);
  return Out;
}

std::string Utf8(std::wstring_view Text) {
  return Narrow(Text, CP_UTF8);
}

std::string Utf8(std::u16string_view Text) {
  return Utf8(std::wstring_view(reinterpret_cast<const wchar_t*>(Text.data()), Text.size()));
}

void Print(const std::string& Line) {
  std::fwrite(Line.data(), 1, Line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void SetCurrentScenario(std::string Name) {
  CurrentScenario = std::move(Name);
}

void Check(bool Ok, const std::string& What) {
  if (Ok) {
    ++Passed;
    return;
  }
  ++Failed;
  Print("FAIL [" + CurrentScenario + "] " + What);
}

int PassedChecks() {
  return Passed;
}
int FailedChecks() {
  return Failed;
}

} // namespace host
