#pragma once

// The favourites command: the menu of favourites with its fixed tail, and what each choice does.

#include "platform/Files.h"
#include "platform/Lock.h"
#include "platform/Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace marigold {
class TCommonStringRecordList;
} // namespace marigold

namespace marigold::plugin {

// The fixed entries behind the favourites. With N lines in the settings file the favourite of
// line i has the id i + 1, and the tail has the ids below; "キャンセル" and a dismissed menu are 0.
inline constexpr std::u16string_view RegisterCaption = u"登録";
inline constexpr std::u16string_view RegisterSearchCaption = u"選択文字列検索指定の登録";
inline constexpr std::u16string_view RegisterLineCaption = u"行番号指定の登録";
inline constexpr std::u16string_view RegisterFileCaption = u"ファイル名のみの登録";
inline constexpr std::u16string_view EditSettingsCaption = u"設定編集";
inline constexpr std::u16string_view CancelCaption = u"キャンセル"; // id 0, like a dismissal

// The three forms of a new favourite.
enum class RegisterForm : uint8_t { FileOnly, LineNumber, Search };

// The whole command on the host window Window (HostWindow must already be set): reads the
// settings file, shows the menu at the mouse cursor, carries out the choice and releases
// everything, also when a step throws. Errors of loading and saving pass through.
void RunFavouritesCommand(platform::WindowHandle Window);

// Opens the favourite of line Index in a new editor process, exactly when its menu entry is
// enabled: the expanded path of a file with its options, of a folder without them. Anything else
// opens nothing.
void OpenFavourite(const TCommonStringRecordList& Lines, int32_t Index);

// Inserts the favourite of FileName as the first line of the settings file as it is now, in the
// file's own encoding, and saves it without leading or trailing blanks and line breaks; every
// former line keeps its bytes. A name the file's encoding cannot hold is refused with a message
// box and nothing is written. Selected is the raw selection; the caret line is asked from Window
// when Form needs it. With FileName 'C:\src\main.c':
//   RegisterForm::FileOnly, no selection:   'main.c⇥C:\src\main.c'
//   RegisterForm::LineNumber, 'foo', line 42: 'main.c foo Line:42⇥C:\src\main.c /l 42'
//   RegisterForm::Search, 'say "hi"':       'main.c say "hi"⇥C:\src\main.c /ff "say \"hi\""'
void RegisterActiveFile(platform::WindowHandle Window, std::u16string_view FileName,
                        std::u16string_view Selected, RegisterForm Form);

// How long a registration waits for another process's save of the settings file.
inline constexpr uint32_t SettingsLockTimeoutMs = 5000;

// Held by a registration from its fresh read of the settings file Path to its save, so that no
// other editor registers meanwhile. It is the lock file SettingsLockFileName(Path), which every
// spelling of the file shares (case, '..', short names, a drive letter or the share it maps), in
// every logon session and on every machine that shares the folder. Where that folder takes no new
// file, a lock named after the file's full path, for this session, stands in. Throws EInOutError
// "Error:SaveAnsiStringToFile\r\n" + Path with the system's reason when another holds it all of
// TimeoutMs, or when it cannot be told whether the file is a link.
class TSettingsLock {
public:
  TSettingsLock(std::u16string_view Path, uint32_t TimeoutMs);
  TSettingsLock(const TSettingsLock&) = delete;
  TSettingsLock& operator=(const TSettingsLock&) = delete;
  ~TSettingsLock();

private:
  platform::FileHandle FFile;
  std::unique_ptr<platform::NamedLock> FStandIn;
};
// The lock file beside the file that Path leads to (a link's target), its name plus ".lock".
[[nodiscard]] std::u16string SettingsLockFileName(std::u16string_view Path);
// The name of the session-wide lock that stands in for it: from the full path, case of ASCII
// letters ignored as Windows ignores it.
[[nodiscard]] std::u16string SettingsLockName(std::u16string_view Path);

// The selection on one line: a TAB or a CR LF becomes a blank, a lone CR or LF goes.
[[nodiscard]] std::u16string CleanSelection(std::u16string_view Selected);

// The search text of " /ff ": S in double quotes, its double quotes written \" and the
// backslashes in front of a double quote or at the end doubled, so that the editor reads S back
// as one argument. QuoteSearchText(u"x=\"1\"") == u"\"x=\\\"1\\\"\"",
// QuoteSearchText(u"C:\\") == u"\"C:\\\\\""
[[nodiscard]] std::u16string QuoteSearchText(std::u16string_view S);

// Starts ProgramPath in double quotes, then a blank and Arguments when there are any, as a new
// process; returns at once and reports nothing, also when the start fails.
void RunProgram(std::u16string_view ProgramPath, std::u16string_view Arguments);

} // namespace marigold::plugin
