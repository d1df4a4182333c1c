#pragma once

// The stand-in editor, one header per job: checks that count passes and failures (Checks.h), a
// real host window that answers and records the editor's messages (HostWindow.h), an answerer
// that finds and clicks message boxes (MessageBoxes.h), a loader for the plug-in's exports
// (PlugInLoader.h) and a registry of named scenarios (ScenarioRegistry.h); StandInEditor.cpp
// runs one by name. Each scenario runs in a fresh process (one plug-in load), so module-wide
// values start from their initial state.

#include "Checks.h"
#include "HostWindow.h"
#include "MessageBoxes.h"
#include "PlugInLoader.h"
#include "ScenarioRegistry.h"
