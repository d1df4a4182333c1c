#pragma once

// Named scenarios: each registers itself where it is defined, and the program runs one by name.

#include <map>
#include <string>
#include <vector>

namespace host {

struct Context {
  std::wstring PlugInPath;        // %MARIGOLD_PLUGIN_DLL%, else the Marigold.dll beside the host
  std::wstring ShippedPath;       // %MARIGOLD_SHIPPED_DLL%: the shipped 32-bit DLL
  std::vector<std::wstring> Args; // arguments after the scenario name
};

using ScenarioFunction = void (*)(Context&);

struct ScenarioRegistration {
  ScenarioRegistration(const char* Name, ScenarioFunction Function);
};

// Every scenario by name.
const std::map<std::string, ScenarioFunction>& RegisteredScenarios();

// Defines and registers a scenario: MARIGOLD_HOST_SCENARIO("events", Events) { ... }. The
// build registers each name as a test (host.<name>).
#define MARIGOLD_HOST_SCENARIO(NAME, FUNCTION)                                                     \
  static void FUNCTION(::host::Context&);                                                          \
  static const ::host::ScenarioRegistration FUNCTION##Registration{NAME, &FUNCTION};               \
  static void FUNCTION([[maybe_unused]] ::host::Context& Ctx)

} // namespace host
