#pragma once

// Output and checks: every check of a scenario is counted, and a failed one is printed with the
// scenario's name ("FAIL [name] ..."), which the test run looks for.

#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>

namespace host {

// Text in the given Windows code page (CP_ACP, CP_UTF8).
std::string Narrow(std::wstring_view Text, unsigned CodePage);
std::string Utf8(std::wstring_view Text);
std::string Utf8(std::u16string_view Text);
// One line to standard output, UTF-8.
void Print(const std::string& Line);

// The scenario a failed check names.
void SetCurrentScenario(std::string Name);

// Counts a check; prints it when it fails.
void Check(bool Ok, const std::string& What);

template <class T> std::string Show(const T& Value) {
  if constexpr (std::is_same_v<T, std::u16string> || std::is_same_v<T, std::wstring>)
    return '"' + Utf8(Value) + '"';
  else if constexpr (std::is_same_v<T, std::string>)
    return '"' + Value + '"';
  else {
    std::ostringstream Out;
    Out << Value;
    return Out.str();
  }
}

template <class A, class B>
void CheckEqual(const A& Actual, const B& Expected, const std::string& What) {
  const bool Ok = Actual == Expected;
  Check(Ok, Ok ? What : What + ": got " + Show(Actual) + ", expected " + Show(Expected));
}

int PassedChecks();
int FailedChecks();

} // namespace host
