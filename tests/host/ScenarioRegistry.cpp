#include "ScenarioRegistry.h"

namespace host {
namespace {

std::map<std::string, ScenarioFunction>& Scenarios() {
  static std::map<std::string, ScenarioFunction> Registry;
  return Registry;
}

} // namespace

const std::map<std::string, ScenarioFunction>& RegisteredScenarios() {
  return Scenarios();
}

ScenarioRegistration::ScenarioRegistration(const char* Name, ScenarioFunction Function) {
  Scenarios()[Name] = Function;
}

} // namespace host
