#include "plugin/FavouritesCommand.h"

#include "lib/FileUnit.h"
#include "lib/StringRecordList.h"
#include "lib/StringSearchUnit.h"
#include "lib/StringUnit.h"
#include "platform/Menu.h"
#include "platform/Process.h"
#include "plugin/FavouritesMenu.h"
#include "plugin/PluginFileAccessUnit.h"
#include "plugin/PluginLibrary.h"
#include "plugin/plugin.h"

#include <algorithm>

namespace marigold::plugin {

using namespace platform;

namespace {

constexpr std::u16string_view Quote = u"\"";

// The caret's line counted from 1, in decimal.
std::u16string CaretLineNumber(WindowHandle Window) {
  TCaretPosition Position{};
  GetCaretPosition(Window, Position);
  const std::string Digits = std::to_string(static_cast<int64_t>(Position.Y) + 1);
  return std::u16string(Digits.begin(), Digits.end());
}

uint32_t EnabledWhen(bool Condition) {
  return Condition ? MenuString : MenuGrayed;
}

} // namespace

void RunProgram(std::u16string_view ProgramPath, std::u16string_view Arguments) {
  std::u16string CommandLine = EncloseWith(ProgramPath, Quote, false);
  if (!Arguments.empty()) {
    CommandLine += u' ';
    CommandLine += Arguments;
  }
  StartProcess(std::move(CommandLine));
}

std::u16string CleanSelection(std::u16string_view Selected) {
  return ReplaceStrings(Selected, {u"\t", u"\r\n", u"\r", u"\n"}, {u" ", u" ", u"", u""}, false,
                        true);
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
  return std::u16string(Quote) + ReplaceStrings(Doubled, {Quote}, {u"\\\""}, false, true) +
         std::u16string(Quote);
}

void OpenFavourite(const TCommonStringRecordList& Lines, int32_t Index) {
  // The same trimmed text the menu entry was made from, so the entry opens what it shows.
  const TFavouriteEntry Entry = FavouriteEntry(TrimBlanksAndControls(Lines.GetItem(Index)));
  const std::u16string QuotedPath = EncloseWith(Entry.Line.Path, Quote, false);
  if (Entry.Kind == fkFile)
    RunProgram(GetEditorPath(),
               Entry.Line.Options.empty() ? QuotedPath : QuotedPath + u" /" + Entry.Line.Options);
  else if (Entry.Kind == fkFolder)
    RunProgram(GetEditorPath(), QuotedPath);
}

void RegisterActiveFile(TCommonStringRecordList& Lines, WindowHandle Window,
                        std::u16string_view FileName, std::u16string_view Selected,
                        TRegisterForm Form) {
  const std::u16string S1 = CleanSelection(Selected);
  const std::u16string Name = FileNamePart(FileName);
  std::u16string Line;
  switch (Form) {
  case rfFileOnly:
    Line = JoinStrings(u" ", {Name, S1}, joSkipEmpty) + u"\t" + std::u16string(FileName);
    break;
  case rfLineNumber: {
    // Asked once for the label and once for the target, as the host sees it.
    const std::u16string LabelLine = CaretLineNumber(Window);
    Line = JoinStrings(u" ", {Name, S1, u"Line:" + LabelLine}, joSkipEmpty) + u"\t" +
           std::u16string(FileName) + u" /l " + CaretLineNumber(Window);
    break;
  }
  case rfSearch:
    Line = JoinStrings(u" ", {Name, S1}, joSkipEmpty) + u"\t" + std::u16string(FileName) +
           u" /ff " + QuoteSearchText(S1);
    break;
  }
  Lines.Insert(0, Line + u"\r\n");
  const std::u16string Text = TrimBlanksAndControls(Lines.Text());
  SaveAnsiStringToFile(GetSettingsFileName(), EncodeAnsiText(Text));
}

void RunFavouritesCommand(WindowHandle Window) {
  TCommonStringRecordList Lines;
  LoadSettingsWithMigration(Lines);
  const std::u16string FileName = GetActiveFileName(Window);

  const TFavouritesMenu Favourites = BuildFavouritesMenu(Lines);
  const MenuHandle Root = Favourites.Root();
  const int64_t N = Lines.Count();
  if (N != 0)
    AppendMenuEntry(Root, MenuSeparator, 0, {});
  const std::u16string Selected = GetSelectedText(Window);

  UniqueMenu Register = CreatePopup();
  const MenuHandle RegisterMenu = Register.get();
  if (AppendSubmenu(Root, EnabledWhen(!FileName.empty()), RegisterMenu, RegisterCaption))
    Register.release(); // now Root's
  AppendMenuEntry(RegisterMenu, EnabledWhen(!FileName.empty() && !Selected.empty()),
                  static_cast<uintptr_t>(N + 4), RegisterSearchCaption);
  AppendMenuEntry(RegisterMenu, EnabledWhen(!FileName.empty()), static_cast<uintptr_t>(N + 3),
                  RegisterLineCaption);
  AppendMenuEntry(RegisterMenu, EnabledWhen(!FileName.empty()), static_cast<uintptr_t>(N + 2),
                  RegisterFileCaption);
  AppendMenuEntry(Root, MenuString, static_cast<uintptr_t>(N + 1), EditSettingsCaption);
  AppendMenuEntry(Root, MenuSeparator, 0, {});
  AppendMenuEntry(Root, MenuString, 0, CancelCaption);

  const CursorPoint Cursor = CursorPosition();
  const int64_t Chosen = TrackPopup(Root, TrackReturnCommand, Cursor.X, Cursor.Y, Window);
  if (Chosen >= 1 && Chosen <= N)
    OpenFavourite(Lines, static_cast<int32_t>(Chosen - 1));
  else if (Chosen == N + 4)
    RegisterActiveFile(Lines, Window, FileName, Selected, rfSearch);
  else if (Chosen == N + 3)
    RegisterActiveFile(Lines, Window, FileName, Selected, rfLineNumber);
  else if (Chosen == N + 2)
    RegisterActiveFile(Lines, Window, FileName, Selected, rfFileOnly);
  else if (Chosen == N + 1)
    RunProgram(GetEditorPath(), EncloseWith(GetSettingsFileName(), Quote, false));
}

} // namespace marigold::plugin
