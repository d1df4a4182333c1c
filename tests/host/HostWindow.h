#pragma once

// The host window: a real top-level window that answers the editor's five host messages from
// HostAnswers and records each as it arrived; other messages go to a hook of the scenario.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace host {

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

} // namespace host
