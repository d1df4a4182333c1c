#include "FavouritesSupport.h"

#include <chrono>

namespace host {

std::string ToAnsi(std::wstring_view Text) {
  return Narrow(Text, CP_ACP);
}

std::string ReadBytes(const std::wstring& Path) {
  HANDLE File = CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE)
    return "(missing)";
  std::string Bytes(GetFileSize(File, nullptr), '\0');
  DWORD Read = 0;
  ReadFile(File, Bytes.data(), static_cast<DWORD>(Bytes.size()), &Read, nullptr);
  CloseHandle(File);
  Bytes.resize(Read);
  return Bytes;
}

void WriteBytes(const std::wstring& Path, const std::string& Bytes) {
  HANDLE File = CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD Written = 0;
  const bool Ok =
      File != INVALID_HANDLE_VALUE &&
      WriteFile(File, Bytes.data(), static_cast<DWORD>(Bytes.size()), &Written, nullptr) &&
      Written == Bytes.size();
  if (File != INVALID_HANDLE_VALUE)
    CloseHandle(File);
  Check(Ok, "writes " + Utf8(Path));
}

bool FileExistsW(const std::wstring& Path) {
  const DWORD Attributes = GetFileAttributesW(Path.c_str());
  return Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FILETIME LastWriteTime(const std::wstring& Path) {
  WIN32_FILE_ATTRIBUTE_DATA Data{};
  GetFileAttributesExW(Path.c_str(), GetFileExInfoStandard, &Data);
  return Data.ftLastWriteTime;
}

std::wstring OwnExecutable() {
  wchar_t Path[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, Path, MAX_PATH + 1);
  return Path;
}

std::wstring SystemText(DWORD Code) {
  wchar_t Buffer[512] = {};
  DWORD Length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                Code, 0, Buffer, 512, nullptr);
  while (Length > 0 &&
         (Buffer[Length - 1] == L'\r' || Buffer[Length - 1] == L'\n' || Buffer[Length - 1] == L' '))
    --Length;
  return std::wstring(Buffer, Length);
}

void EmptyFolder(const std::wstring& Folder) {
  WIN32_FIND_DATAW Found;
  HANDLE Find = FindFirstFileW((Folder + L"\\*").c_str(), &Found);
  if (Find == INVALID_HANDLE_VALUE)
    return;
  do {
    if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      const std::wstring File = Folder + L"\\" + Found.cFileName;
      SetFileAttributesW(File.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(File.c_str());
    }
  } while (FindNextFileW(Find, &Found));
  FindClose(Find);
}

namespace {

std::vector<std::string> LogLines(const std::wstring& Log) {
  std::vector<std::string> Lines;
  const std::string Bytes = FileExistsW(Log) ? ReadBytes(Log) : std::string();
  for (size_t Start = 0, End; (End = Bytes.find('\n', Start)) != std::string::npos; Start = End + 1)
    Lines.push_back(Bytes.substr(Start, End - Start));
  return Lines;
}

} // namespace

FavouritesStage::FavouritesStage(const Context& Ctx, const std::wstring& Name)
    : Plug(Ctx.PlugInPath), FFolder(L"C:\\MgE2E\\" + Name), FLog(FFolder + L"\\launch.log") {
  Check(Plug.Complete(), "the plug-in loads");
  CreateDirectoryW(L"C:\\MgE2E", nullptr);
  CreateDirectoryW(FFolder.c_str(), nullptr);
  EmptyFolder(FFolder);
  CreateDirectoryW(L"C:\\Work", nullptr);
  if (!FileExistsW(L"C:\\Work\\notes.txt"))
    WriteBytes(L"C:\\Work\\notes.txt", "notes\r\n");
  DeleteFileW(L"C:\\Work\\missing.txt");
  Window.Answers.PlugInsFolder = std::u16string(FFolder.begin(), FFolder.end());
  Window.Answers.FileName = u"C:\\Work\\notes.txt";
  SetEnvironmentVariableW(L"MARIGOLD_HOST_LOG", FLog.c_str());
}

void FavouritesStage::Run(MenuDriver& Driver, POINT At) {
  SetCursorPos(At.x, At.y);
  PumpMessages();
  Plug.OnCommand(Window.Handle());
  Check(Driver.Shown, "the menu is shown");
  Check(Driver.Failure.empty(), "the menu is worked as planned: " + Driver.Failure);
  Check(Driver.Completed, "every step of the plan was taken");
  PumpMessages();
}

std::vector<std::string> FavouritesStage::Launches(size_t Count) const {
  const auto Deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(Count == 0 ? 1000 : 15000);
  std::vector<std::string> Lines = LogLines(FLog);
  while (Lines.size() < Count + (Count == 0 ? 1 : 0) &&
         std::chrono::steady_clock::now() < Deadline) {
    Sleep(50);
    Lines = LogLines(FLog);
  }
  return Lines;
}

} // namespace host

namespace host {

void RequestScreenshot(const std::wstring& Name) {
  wchar_t Folder[MAX_PATH + 1] = {};
  if (!GetEnvironmentVariableW(L"MARIGOLD_SCREENSHOT_DIR", Folder, MAX_PATH))
    return;
  // Let the display catch up with what the menu has drawn.
  Sleep(400);
  const std::wstring Base = std::wstring(Folder) + L"\\" + Name;
  DeleteFileW((Base + L".done").c_str());
  WriteBytes(Base + L".request", "");
  for (int Waited = 0; Waited < 200 && !FileExistsW(Base + L".done"); ++Waited)
    Sleep(100);
  Check(FileExistsW(Base + L".done"), "the screenshot " + Utf8(Name) + ".png is taken");
}

std::string ReadableTree(const std::string& Tree) {
  std::string Out;
  for (char C : Tree)
    Out += C == '\t' ? std::string("⇥") : std::string(1, C);
  return Out;
}

} // namespace host
