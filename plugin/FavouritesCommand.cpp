#include "plugin/FavouritesCommand.h"

#include "base/Errors.h"
#include "base/TextFormat.h"
#include "lib/FileNameUnit.h"
#include "lib/FileUnit.h"
#include "lib/StringRecordList.h"
#include "lib/StringSearchUnit.h"
#include "lib/StringUnit.h"
#include "lib/TextEncoding.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Lock.h"
#include "platform/Menu.h"
#include "platform/Process.h"
#include "plugin/FavouritesMenu.h"
#include "plugin/PluginFileAccessUnit.h"
#include "plugin/PluginLibrary.h"
#include "plugin/plugin.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

namespace marigold::plugin {

using platform::AppendMenuEntry;
using platform::AppendSubmenu;
using platform::MenuGrayed;
using platform::MenuHandle;
using platform::MenuSeparator;
using platform::MenuString;
using platform::UniqueMenu;
using platform::WindowHandle;

namespace {

constexpr std::u16string_view Quote = u"\"";

// The fixed entries after the favourites, in the order they are appended; entry Offset has the
// id N + Offset, N being the number of lines. Without a Form it opens the settings file.
struct TFixedEntry {
  int32_t Offset;
  std::u16string_view Caption;
  bool InRegisterMenu; // in the 登録 submenu: needs an active file
  bool NeedsSelection; // and a selection
  std::optional<RegisterForm> Form;
};
constexpr TFixedEntry FixedEntries[] = {
    {4, RegisterSearchCaption, true, true, RegisterForm::Search},
    {3, RegisterLineCaption, true, false, RegisterForm::LineNumber},
    {2, RegisterFileCaption, true, false, RegisterForm::FileOnly},
    {1, EditSettingsCaption, false, false, std::nullopt},
};

// The caret's line counted from 1, in decimal.
std::u16string CaretLineNumber(WindowHandle Window) {
  TCaretPosition Position{};
  GetCaretPosition(Window, Position);
  return Decimal(static_cast<int64_t>(Position.Y) + 1);
}

uint32_t EnabledWhen(bool Condition) {
  return Condition ? MenuString : MenuGrayed;
}

void ReportUnstorableName(WindowHandle Owner, std::u16string_view FileName, TextEncoding Encoding) {
  std::u16string Text = u"「";
  Text.append(FileName);
  Text.append(u"」は、設定ファイルの文字コード (");
  Text.append(EncodingName(Encoding));
  Text.append(u") で保存できない文字を含むため、登録できません。\r\n"
              u"設定ファイルを UTF-8 で保存し直すと登録できます。\r\n\r\n設定ファイル: ");
  Text.append(GetSettingsFileName());
  platform::ShowMessageBox(Owner, Text, u"Marigold", platform::mb::IconWarning);
}

} // namespace

std::u16string SettingsLockName(std::u16string_view Path) {
  uint64_t Hash = 14695981039346656037u; // FNV-1a over the UTF-16 units
  for (const char16_t Unit : CaseFoldedPath(Path)) {
    for (const auto Byte : {Unit & 0xFF, Unit >> 8}) {
      Hash ^= static_cast<uint64_t>(Byte);
      Hash *= 1099511628211u;
    }
  }
  std::u16string Name = u"Marigold.Settings.";
  AppendHex(Name, Hash, 16, HexCase::Upper);
  return Name;
}

namespace {

constexpr std::u16string_view LockFileSuffix = u".lock";

// The file the settings file Path leads to, where its lock lies.
std::u16string LockedFile(std::u16string_view Path) {
  const auto Target = LinkTarget(Path);
  if (!Target)
    throw SaveError(Path, Target.Error());
  return *Target;
}

} // namespace

std::u16string SettingsLockFileName(std::u16string_view Path) {
  return LockedFile(Path) + std::u16string(LockFileSuffix);
}

TSettingsLock::TSettingsLock(std::u16string_view Path, uint32_t TimeoutMs) {
  const std::u16string Target = LockedFile(Path);
  const std::u16string LockFile = Target + std::u16string(LockFileSuffix);
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  // Refused while no lock file is there: the folder takes no new file, unless the holder's lock
  // file was just on its way out (delete pending), which one more try tells.
  int RefusedWithoutFile = 0;
  for (;;) {
    auto File = platform::OpenLockFile(LockFile);
    if (File) {
      FFile = std::move(*File);
      return;
    }
    if (!platform::IsBusy(File.Error()))
      break;
    if (platform::IsNotFound(platform::FileAttributes(LockFile).Error())) {
      if (++RefusedWithoutFile == 3)
        break;
    } else {
      RefusedWithoutFile = 0; // held by another editor: wait
    }
    if (std::chrono::steady_clock::now() >= Deadline)
      throw SaveError(Path, File.Error());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // The folder takes no lock file: a lock for this session stands in.
  FStandIn = std::make_unique<platform::NamedLock>(SettingsLockName(Target), TimeoutMs);
  if (FStandIn->Error())
    throw SaveError(Path, FStandIn->Error());
}

TSettingsLock::~TSettingsLock() = default;

void RunProgram(std::u16string_view ProgramPath, std::u16string_view Arguments) {
  std::u16string CommandLine = EncloseWith(ProgramPath, Quote, /*IgnoreCase=*/false);
  if (!Arguments.empty()) {
    CommandLine += u' ';
    CommandLine += Arguments;
  }
  (void)platform::StartProcess(std::move(CommandLine)); // the editor reports nothing either
}

std::u16string CleanSelection(std::u16string_view Selected) {
  return ReplaceStrings(Selected, {u"\t", u"\r\n", u"\r", u"\n"}, {u" ", u" ", u"", u""},
                        /*IgnoreCase=*/false, /*ReplaceAll=*/true);
}

std::u16string QuoteSearchText(std::u16string_view S) {
  // The command-line rule: 2n backslashes before a quote (or the closing quote) stand for n.
  std::u16string Doubled;
  Doubled.reserve(S.size());
  for (size_t I = 0; I < S.size();) {
    if (S[I] != u'\\') {
      Doubled += S[I++];
      continue;
    }
    const size_t RunEnd = std::min(S.find_first_not_of(u'\\', I), S.size());
    const size_t Count = RunEnd - I;
    const bool BeforeQuote = RunEnd == S.size() || S[RunEnd] == u'"';
    Doubled.append(BeforeQuote ? 2 * Count : Count, u'\\');
    I = RunEnd;
  }
  // Always a closing quote of its own: an escaped text may already end in one.
  return std::u16string(Quote) +
         ReplaceStrings(Doubled, {Quote}, {u"\\\""}, /*IgnoreCase=*/false, /*ReplaceAll=*/true) +
         std::u16string(Quote);
}

void OpenFavourite(const TCommonStringRecordList& Lines, int32_t Index) {
  // The same trimmed text the menu entry was made from, so the entry opens what it shows.
  const TFavouriteEntry Entry = CheckedFavouriteEntry(TrimBlanksAndControls(Lines.GetItem(Index)),
                                                      LookupClock::now() + LookupDeadline);
  const std::u16string QuotedPath =
      EncloseWith(Entry.Line.ExpandedPath, Quote, /*IgnoreCase=*/false);
  // Not answered in time: opened as a file, and the editor says what it finds there.
  if (Entry.Kind == FavouriteKind::File || Entry.Kind == FavouriteKind::Unanswered)
    RunProgram(GetEditorPath(),
               Entry.Line.Options.empty() ? QuotedPath : QuotedPath + u" /" + Entry.Line.Options);
  else if (Entry.Kind == FavouriteKind::Folder)
    RunProgram(GetEditorPath(), QuotedPath);
}

void RegisterActiveFile(WindowHandle Window, std::u16string_view FileName,
                        std::u16string_view Selected, RegisterForm Form) {
  const std::u16string S1 = CleanSelection(Selected);
  const std::u16string Name = FileNamePart(FileName);
  std::u16string Line;
  switch (Form) {
  case RegisterForm::FileOnly:
    Line = JoinStrings(u" ", {Name, S1}, joSkipEmpty) + u"\t" + std::u16string(FileName);
    break;
  case RegisterForm::LineNumber: {
    // Asked once for the label and once for the target, as the host sees it.
    const std::u16string LabelLine = CaretLineNumber(Window);
    Line = JoinStrings(u" ", {Name, S1, u"Line:" + LabelLine}, joSkipEmpty) + u"\t" +
           std::u16string(FileName) + u" /l " + CaretLineNumber(Window);
    break;
  }
  case RegisterForm::Search:
    Line = JoinStrings(u" ", {Name, S1}, joSkipEmpty) + u"\t" + std::u16string(FileName) +
           u" /ff " + QuoteSearchText(S1);
    break;
  }

  // The file as it is now, not as the menu was built from it: whatever another program wrote
  // meanwhile stays. Its bytes are kept as they are; only the new line is added in front.
  const std::u16string Settings = GetSettingsFileName();
  TextEncoding Encoding{};
  CreateSettingsFolder(Settings); // for the lock file beside the file, and the save
  {
    // From the read to the save no other editor registers: none loses a line.
    const TSettingsLock Lock(Settings, SettingsLockTimeoutMs);
    const auto Present = FilePresent(Settings);
    if (!Present) // taken for absent, the file would be replaced by the one new line
      throw SaveError(Settings, Present.Error());
    const std::string Former = *Present ? LoadAnsiStringFromFile(Settings) : std::string();
    Encoding = DetectTextEncoding(Former);
    const std::string_view Mark = ByteOrderMark(Encoding);
    // Trimmed as a whole text: no blanks before the new line, none after the last line.
    std::string_view Rest =
        TrimBlankUnits(std::string_view(Former).substr(Mark.size()), Encoding, /*Front=*/false);
    std::u16string Head = TrimBlanksAndControls(Line);
    if (Head.empty())
      Rest = TrimBlankUnits(Rest, Encoding, /*Front=*/true);
    else if (!Rest.empty())
      Head = Line.substr(Line.find(Head.front())) + u"\r\n"; // its own end stays inside
    if (const std::optional<std::string> Encoded = EncodeTextExactly(Head, Encoding)) {
      SaveAnsiStringToFile(Settings, std::string(Mark) + *Encoded + std::string(Rest),
                           *Present ? SaveMode::ReplaceOrCreate : SaveMode::CreateOnly);
      return;
    }
  }
  // Told once the lock is free: another editor would wait for it as long as the box is open.
  ReportUnstorableName(Window, FileName, Encoding);
}

void RunFavouritesCommand(WindowHandle Window) {
  // The menu appears at most this long after the command started, whatever the targets do; the
  // look-up threads get ready while the file is read.
  TTargetLookups Lookups(LookupClock::now() + LookupDeadline);
  TCommonStringRecordList Lines;
  LoadSettingsWithMigration(Lines);
  const std::u16string FileName = GetActiveFileName(Window);

  const TFavouritesMenu Favourites = BuildFavouritesMenu(Lines, Lookups);
  const MenuHandle Root = Favourites.Root();
  const int64_t N = Lines.Count();
  // An entry the system refuses to append is left out; the rest of the menu still works.
  if (N != 0)
    (void)AppendMenuEntry(Root, MenuSeparator, 0, {});
  const std::u16string Selected = GetSelectedText(Window);

  UniqueMenu Register = platform::CreatePopup();
  const MenuHandle RegisterMenu = Register.get();
  if (!AppendSubmenu(Root, EnabledWhen(!FileName.empty()), RegisterMenu, RegisterCaption))
    (void)Register.release(); // now Root's
  for (const TFixedEntry& Entry : FixedEntries) {
    const bool Enabled = !Entry.InRegisterMenu ||
                         (!FileName.empty() && (!Entry.NeedsSelection || !Selected.empty()));
    (void)AppendMenuEntry(Entry.InRegisterMenu ? RegisterMenu : Root, EnabledWhen(Enabled),
                          static_cast<uintptr_t>(N + Entry.Offset), Entry.Caption);
  }
  (void)AppendMenuEntry(Root, MenuSeparator, 0, {});
  (void)AppendMenuEntry(Root, MenuString, 0, CancelCaption);

  const platform::CursorPoint Cursor = platform::CursorPosition();
  const int64_t Chosen =
      platform::TrackPopup(Root, platform::TrackReturnCommand, Cursor.X, Cursor.Y, Window);
  if (Chosen >= 1 && Chosen <= N) {
    OpenFavourite(Lines, static_cast<int32_t>(Chosen - 1));
    return;
  }
  for (const TFixedEntry& Entry : FixedEntries) {
    if (Chosen != N + Entry.Offset)
      continue;
    if (Entry.Form)
      RegisterActiveFile(Window, FileName, Selected, *Entry.Form);
    else
      RunProgram(GetEditorPath(), EncloseWith(GetSettingsFileName(), Quote, /*IgnoreCase=*/false));
  }
}

} // namespace marigold::plugin
