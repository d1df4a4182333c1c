#pragma once

// Message boxes answered in place of the user, from a thread of their own.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace host {

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

} // namespace host
