// Documented behaviours of Windows that Wine does not show, put in front of the real plug-in by
// pointing its imports at stand-ins: a settings file that is a link to a share (its own
// directory entry says 0 bytes, its final path is \\?\UNC\...), ReplaceFileW that gets half-way
// or is not supported, an attribute look-up that is refused. Each registration keeps every former
// line, and leaves nothing of its own beside the file.

#include "FavouritesSupport.h"
#include "Interpose.h"

#include <atomic>
#include <string_view>

using namespace host;

namespace {

enum class Behaviour { None, LinkToShare, Replace1176, Replace1177, ReplaceUnsupported, Refused };
std::atomic<Behaviour> Shown{Behaviour::None};

// The link: C:\MgLink\Marigolds_Setting.txt, which cmake/wine-prefix.sh makes a link to
// C:\MgShare\Marigolds_Setting.txt, the folder that \\mgserver\share serves.
constexpr std::wstring_view LinkFolder = L"C:\\MgLink", ShareFolder = L"C:\\MgShare";
constexpr std::wstring_view SettingsName = L"\\Marigolds_Setting.txt";
constexpr std::wstring_view ShareAsFinal = L"\\\\?\\UNC\\mgserver\\share";

bool IsSettingsFile(LPCWSTR Name) {
  const std::wstring_view Path = Name ? Name : L"";
  return Path.size() > SettingsName.size() &&
         StartsWithNoCase(Path.substr(Path.size() - SettingsName.size()), SettingsName);
}
bool IsLink(LPCWSTR Name) {
  return Shown == Behaviour::LinkToShare && IsSettingsFile(Name) &&
         StartsWithNoCase(Name, LinkFolder);
}

DWORD WINAPI StandInGetFileAttributesW(LPCWSTR Name) {
  static const auto Real = RealKernel32<decltype(GetFileAttributesW)>("GetFileAttributesW");
  if (Shown == Behaviour::Refused && IsSettingsFile(Name)) {
    SetLastError(ERROR_ACCESS_DENIED); // a scanner, a delete in progress, a share
    return INVALID_FILE_ATTRIBUTES;
  }
  const DWORD Attributes = Real(Name);
  return IsLink(Name) && Attributes != INVALID_FILE_ATTRIBUTES
             ? Attributes | FILE_ATTRIBUTE_REPARSE_POINT
             : Attributes;
}

// A link's own entry, as Windows describes it: no size, the reparse-point bit.
HANDLE WINAPI StandInFindFirstFileW(LPCWSTR Name, LPWIN32_FIND_DATAW Data) {
  static const auto Real = RealKernel32<decltype(FindFirstFileW)>("FindFirstFileW");
  const HANDLE Find = Real(Name, Data);
  if (Find != INVALID_HANDLE_VALUE && IsLink(Name)) {
    Data->nFileSizeHigh = Data->nFileSizeLow = 0;
    Data->dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  }
  return Find;
}

// The share's folder named as Windows names a file on a share: \\?\UNC\server\share\...
DWORD WINAPI StandInGetFinalPathNameByHandleW(HANDLE File, LPWSTR Buffer, DWORD Size, DWORD Flags) {
  static const auto Real =
      RealKernel32<decltype(GetFinalPathNameByHandleW)>("GetFinalPathNameByHandleW");
  wchar_t Local[MAX_PATH * 2] = {};
  const DWORD Length = Real(File, Local, MAX_PATH * 2, Flags);
  std::wstring Final(Local, Length < MAX_PATH * 2 ? Length : 0);
  const std::wstring Shared = L"\\\\?\\" + std::wstring(ShareFolder);
  if (Shown != Behaviour::LinkToShare || !StartsWithNoCase(Final, Shared))
    return Real(File, Buffer, Size, Flags);
  Final.replace(0, Shared.size(), ShareAsFinal);
  if (Final.size() >= Size)
    return static_cast<DWORD>(Final.size() + 1);
  Final.copy(Buffer, Final.size());
  Buffer[Final.size()] = L'\0';
  return static_cast<DWORD>(Final.size());
}

BOOL WINAPI StandInReplaceFileW(LPCWSTR Replaced, LPCWSTR Replacement, LPCWSTR Backup, DWORD Flags,
                                LPVOID Exclude, LPVOID Reserved) {
  static const auto Real = RealKernel32<decltype(ReplaceFileW)>("ReplaceFileW");
  switch (Shown) {
  case Behaviour::Replace1176: // with a backup name, both files keep theirs
    if (!Backup)
      DeleteFileW(Replaced);
    SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
    return FALSE;
  case Behaviour::Replace1177: // the replaced file is under the backup name now
    if (Backup)
      MoveFileExW(Replaced, Backup, MOVEFILE_REPLACE_EXISTING);
    else
      DeleteFileW(Replaced);
    SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
    return FALSE;
  case Behaviour::ReplaceUnsupported: // a redirector or share without the operation
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  default:
    return Real(Replaced, Replacement, Backup, Flags, Exclude, Reserved);
  }
}

// The names in Folder, one per line.
std::string FileNames(std::wstring_view Folder) {
  std::string Names;
  WIN32_FIND_DATAW Data{};
  const HANDLE Find = FindFirstFileW((std::wstring(Folder) + L"\\*").c_str(), &Data);
  if (Find == INVALID_HANDLE_VALUE)
    return Names;
  do {
    if (std::wstring_view(Data.cFileName) != L"." && std::wstring_view(Data.cFileName) != L"..")
      Names += Utf8(Data.cFileName) + "\n";
  } while (FindNextFileW(Find, &Data));
  FindClose(Find);
  return Names;
}

} // namespace

MARIGOLD_HOST_SCENARIO("favourites-windows-behaviours", FavouritesWindowsBehaviours) {
  FavouritesStage Stage(Ctx, L"behaviours");
  const HMODULE Plug = Stage.Plug.Module();
  Check(InterposeImport(Plug, "GetFileAttributesW",
                        reinterpret_cast<const void*>(&StandInGetFileAttributesW)) &&
            InterposeImport(Plug, "FindFirstFileW",
                            reinterpret_cast<const void*>(&StandInFindFirstFileW)) &&
            InterposeImport(Plug, "GetFinalPathNameByHandleW",
                            reinterpret_cast<const void*>(&StandInGetFinalPathNameByHandleW)) &&
            InterposeImport(Plug, "ReplaceFileW",
                            reinterpret_cast<const void*>(&StandInReplaceFileW)),
        "the plug-in's file calls go through the stand-ins");
  const std::string Former = "C:\\Work\\notes.txt\r\n-";
  const struct {
    const char* Name;
    Behaviour Shows;
  } Rows[] = {
      {"a link to a share", Behaviour::LinkToShare},
      {"ReplaceFileW failing with 1176", Behaviour::Replace1176},
      {"ReplaceFileW failing with 1177", Behaviour::Replace1177},
      {"ReplaceFileW not supported", Behaviour::ReplaceUnsupported},
      {"an attribute look-up refused", Behaviour::Refused},
  };
  for (const auto& Row : Rows) {
    const bool Linked = Row.Shows == Behaviour::LinkToShare;
    const std::wstring Folder(Linked ? ShareFolder : Stage.Folder());
    EmptyFolder(Folder);
    WriteBytes(Folder + std::wstring(SettingsName), Former);
    const std::wstring PlugIns(Linked ? LinkFolder : Stage.Folder());
    const std::wstring Settings = PlugIns + std::wstring(SettingsName);
    if (Linked)
      CheckEqual(ReadBytes(Settings), Former, "C:\\MgLink holds a link to the share's file");
    Stage.Window.Answers.PlugInsFolder = std::u16string(PlugIns.begin(), PlugIns.end());
    const bool Refused = Row.Shows == Behaviour::Refused;
    if (!Refused)
      Shown = Row.Shows;
    MessageBoxAnswerer Answerer(Stage.Window.Handle(), {IDOK});
    MenuDriver Driver(Stage.Window);
    Driver.Click(L"登録")
        .Then([&] { Shown = Row.Shows; }) // a refusal from the fresh read on
        .Click(L"ファイル名のみの登録");
    Stage.Run(Driver, {250, 100});
    const auto Boxes = Refused ? Answerer.Wait(3000) : Answerer.Wait(0);
    Shown = Behaviour::None;
    const std::string What = std::string(" (") + Row.Name + ")";
    Check(Driver.Tree.starts_with("notes.txt #1\n-\n"), "the menu shows the favourites" + What);
    CheckEqual(ReadBytes(Folder + std::wstring(SettingsName)),
               Refused ? Former : "notes.txt\tC:\\Work\\notes.txt\r\n" + Former,
               "the settings file holds every line" + What);
    CheckEqual(FileNames(Folder), std::string("Marigolds_Setting.txt\n"),
               "nothing else is left beside it" + What);
    CheckEqual(Boxes.size(), size_t{Refused ? 1u : 0u}, "error boxes" + What);
    if (Refused && !Boxes.empty())
      CheckEqual(Boxes[0].Text,
                 L"Error:SaveAnsiStringToFile\r\n" + Settings + L"\r\n" +
                     SystemText(ERROR_ACCESS_DENIED),
                 "the save error with the system's reason" + What);
  }
}
