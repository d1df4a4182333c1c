#pragma once

// The stand-in editor: a real host window that answers and records the editor's messages, a
// loader for the plug-in's exports, an answerer that finds and clicks message boxes, checks
// that count passes and failures, and a registry of named scenarios. Each scenario runs in a
// fresh process (one plug-in load), so module-wide values start from their initial state.

#include "dll/Marigold.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace host {

// ---- output and checks ----------------------------------------------------------------------

// Text in the given Windows code page (CP_ACP, CP_UTF8).
std::string Narrow(std::wstring_view Text, unsigned CodePage);
std::string Utf8(std::wstring_view Text);
std::string Utf8(std::u16string_view Text);
// One line to standard output, UTF-8.
void Print(const std::string& Line);

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

// ---- the host window ------------------------------------------------------------------------

// One of the five host messages as it arrived, with what its buffers and records held.
struct RecordedMessage {
  UINT Message = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  // 2094 with a buffer, 2106 and 2134: the offered buffer was zero-filled over the units the
  // plug-in promised (wParam + 1 for 2094, 281 for 2106, the count / 2 + 1 for 2134).
  bool BufferZeroed = false;
  // 2134: the record's fields, the name it points to and the count BufferSize points to.
  uint32_t Size = 0, Context = 0, Index = 0, Kind = 0, Count = 0, Option = 0;
  std::u16string Name;
};

// What the window answers. The selection text may hold zero units.
struct HostAnswers {
  std::u16string Selection;
  std::optional<intptr_t> SelectionCount; // answered to 2094 (0, 0); default Selection.size()
  int32_t CaretColumn = 0;
  int32_t CaretLine = 0;
  std::u16string FileName;                     // written into the 2106 buffer
  std::optional<std::u16string> PlugInsFolder; // none: 2134 answers 0 and writes nothing
};

class EditorWindow {
public:
  EditorWindow();
  ~EditorWindow();
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  HWND Handle() const { return FWindow; }
  // The recorded host messages of one number, in order.
  std::vector<RecordedMessage> Of(UINT Message) const;

  HostAnswers Answers;
  std::vector<RecordedMessage> Messages; // every host message (2050 ... 2134), in order
  // Messages other than the five go here first (menus, idle): a result answers, none passes on.
  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> OtherMessages;

private:
  static LRESULT CALLBACK Procedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
  LRESULT HostMessage(UINT Message, WPARAM WParam, LPARAM LParam);
  HWND FWindow = nullptr;
};

// Runs the thread's message queue until nothing is waiting.
void PumpMessages();

// A fresh folder under the Windows temporary folder, removed with the files directly in it.
class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // Without a trailing backslash.
  const std::wstring& Path() const { return FPath; }

private:
  std::wstring FPath;
};

// Answers the host window's WM_ENTERIDLE during a popup menu with EndMenu, so that a command's
// menu closes with nothing chosen; counts the menus and keeps the root menu's captions.
// Installs itself as the window's OtherMessages for its lifetime.
struct MenuDismisser {
  explicit MenuDismisser(EditorWindow& Window);
  ~MenuDismisser();
  MenuDismisser(const MenuDismisser&) = delete;
  MenuDismisser& operator=(const MenuDismisser&) = delete;

  EditorWindow& Window;
  int Dismissed = 0;
  std::vector<std::wstring> RootCaptions; // of the first popup shown; separators are empty
};

// ---- message boxes --------------------------------------------------------------------------

struct SeenMessageBox {
  std::wstring Caption;
  std::wstring Text;         // the text control, id 0xFFFF
  std::vector<int> Buttons;  // ids of the buttons shown (IDOK, IDCANCEL, IDYES, IDNO, ...)
  bool QuestionIcon = false; // shows the system's question icon
  bool ErrorIcon = false;    // shows the system's error icon
  int Clicked = 0;
};

// From a thread of its own, finds each message box ("#32770") owned by Owner as it appears,
// reads it, and clicks the next button of Answers (BM_CLICK), until Answers are used up.
class MessageBoxAnswerer {
public:
  MessageBoxAnswerer(HWND Owner, std::vector<int> Answers);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  // The boxes answered so far, after waiting up to TimeoutMs for all answers to be used.
  std::vector<SeenMessageBox> Wait(DWORD TimeoutMs = 10000);

private:
  void Run();
  HWND FOwner;
  std::vector<int> FAnswers;
  std::atomic<bool> FStop{false};
  mutable std::mutex FLock;
  std::vector<SeenMessageBox> FSeen;
  std::thread FThread;
};

// ---- the plug-in ----------------------------------------------------------------------------

// Loads a plug-in DLL and looks up its seven exports by name.
class PlugIn {
public:
  explicit PlugIn(const std::wstring& Path);
  ~PlugIn();
  PlugIn(const PlugIn&) = delete;
  PlugIn& operator=(const PlugIn&) = delete;

  HMODULE Module() const { return FModule; }
  // Unloads the plug-in now (FreeLibrary), as an editor does that lets it go.
  void Unload();
  // Loaded and all seven exports found.
  bool Complete() const;

  decltype(&::OnCommand) OnCommand = nullptr;
  decltype(&::QueryStatus) QueryStatus = nullptr;
  decltype(&::OnEvents) OnEvents = nullptr;
  decltype(&::GetMenuTextID) GetMenuTextID = nullptr;
  decltype(&::GetStatusMessageID) GetStatusMessageID = nullptr;
  decltype(&::GetBitmapID) GetBitmapID = nullptr;
  decltype(&::PlugInProc) PlugInProc = nullptr;

private:
  HMODULE FModule = nullptr;
};

// Text of a string resource of Module (LoadStringW); empty when absent.
std::wstring LoadText(HMODULE Module, UINT Id);

// ---- scenarios ------------------------------------------------------------------------------

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
