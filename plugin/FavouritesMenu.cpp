#include "plugin/FavouritesMenu.h"

#include "lib/FileNameUnit.h"
#include "lib/StringRecordList.h"
#include "lib/StringSplitterUnit.h"
#include "lib/StringUnit.h"
#include "platform/Shell.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace marigold::plugin {

using platform::MenuHandle;
using platform::UniqueMenu;

namespace {

constexpr std::u16string_view Tab = u"\t";
constexpr std::u16string_view OptionsDelimiter = u" /";

bool IsBlankOrControl(char16_t C) {
  return C < 33;
}

} // namespace

std::u16string TrimBlanksAndControls(std::u16string_view S) {
  size_t First = 0;
  size_t Last = S.size();
  while (First < Last && IsBlankOrControl(S[First]))
    ++First;
  while (Last > First && IsBlankOrControl(S[Last - 1]))
    --Last;
  return std::u16string(S.substr(First, Last - First));
}

std::u16string FileNamePart(std::u16string_view S) {
  const size_t Cut = S.find_last_of(u"\\:");
  return std::u16string(Cut == std::u16string_view::npos ? S : S.substr(Cut + 1));
}

TFavouriteLine ParseFavouriteLine(std::u16string_view TrimmedText) {
  TFavouriteLine Line;
  const TStringSplitter Fields(std::u16string(TrimmedText), {std::u16string(Tab)}, sfKeepEmpty);
  Line.FieldCount = Fields.Count();
  if (Line.FieldCount == 2) {
    Line.Label = Fields.GetWord(0);
    Line.Target = Fields.GetWord(1);
  } else {
    Line.Target = TrimmedText;
  }
  Line.Path = ExtractBefore(Line.Target, OptionsDelimiter);
  Line.Options = ExtractAfter(Line.Target, OptionsDelimiter);
  if (Line.Options == Line.Target)
    Line.Options.clear();
  // All or nothing: a path with a name left in would be neither what was written nor meant.
  TExpandedPath Expanded = ExpandEnvironmentNames(Line.Path, platform::EnvironmentValue);
  Line.ExpandedPath = Expanded.UnsetNames.empty() ? std::move(Expanded.Path) : Line.Path;
  Line.UnsetNames = std::move(Expanded.UnsetNames);
  return Line;
}

TFavouriteEntry FavouriteEntry(std::u16string_view TrimmedText) {
  if (TrimmedText == u"-")
    return {FavouriteKind::Separator, {}, {}, platform::MenuSeparator};
  TFavouriteEntry Entry;
  Entry.Line = ParseFavouriteLine(TrimmedText);
  const TFavouriteLine& Line = Entry.Line;
  if (Line.FieldCount >= 3) {
    Entry.Kind = FavouriteKind::Malformed;
    Entry.Caption = TrimmedText;
    Entry.Flags = platform::MenuDisabled;
    return Entry;
  }
  const std::u16string& Path = Line.ExpandedPath;
  const bool IsAbsolute = IsValidDrivePath(Path) || IsValidUNCPath(Path);
  Entry.Kind = IsAbsolute ? FavouriteKind::Unanswered : FavouriteKind::NotAbsolute;
  Entry.Caption = Line.FieldCount == 2 ? Line.Label : IsAbsolute ? FileNamePart(Path) : Path;
  Entry.Flags = IsAbsolute ? platform::MenuString : platform::MenuDisabled;
  return Entry;
}

void AnswerEntry(TFavouriteEntry& Entry, TargetState Target) {
  if (Entry.Kind != FavouriteKind::Unanswered || Target == TargetState::Unanswered)
    return;
  const bool IsFolder = Target == TargetState::Folder;
  Entry.Kind = IsFolder                      ? FavouriteKind::Folder
               : Target == TargetState::File ? FavouriteKind::File
                                             : FavouriteKind::Missing;
  if (IsFolder && Entry.Line.FieldCount != 2)
    Entry.Caption = u"Folder " + Entry.Caption;
  Entry.Flags = Entry.Kind == FavouriteKind::Missing ? platform::MenuGrayed : platform::MenuString;
}

TFavouriteEntry CheckedFavouriteEntry(std::u16string_view TrimmedText,
                                      LookupClock::time_point Deadline) {
  TFavouriteEntry Entry = FavouriteEntry(TrimmedText);
  if (Entry.Kind == FavouriteKind::Unanswered)
    AnswerEntry(Entry, LookUpTargets({Entry.Line.ExpandedPath}, Deadline).front());
  return Entry;
}

int32_t IndentLevel(std::u16string_view Line) {
  return CountLeadingChars(Line, Tab);
}

int32_t NextIndentLevel(const TCommonStringRecordList& Lines, int32_t Index) {
  if (Index < 0 || Index > Lines.Count() - 2)
    return -1;
  return IndentLevel(Lines.GetItem(Index + 1));
}

TFavouritesMenuBuilder::~TFavouritesMenuBuilder() = default;

void TFavouritesMenuBuilder::NewLevelMenu(int32_t Level) {
  const auto Slot = static_cast<size_t>(Level);
  if (FLevelMenus.size() < Slot + 1)
    FLevelMenus.resize(Slot + 1);
  UniqueMenu Fresh = platform::CreatePopup();
  // A popup that was never attached stays alive until the command ends, like every other.
  if (FLevelMenus[Slot])
    FReplaced.push_back(std::move(FLevelMenus[Slot]));
  FLevelMenus[Slot] = std::move(Fresh);
}

void TFavouritesMenuBuilder::AddFavouriteItem(int32_t Level, int32_t Index, std::u16string_view) {
  const auto Line = static_cast<size_t>(Index);
  TFavouriteEntry& Entry = FEntries.Entries.at(Line);
  if (FLookups && Line < FEntries.Tickets.size() && FEntries.Tickets[Line])
    AnswerEntry(Entry, FLookups->Answer(*FEntries.Tickets[Line]));
  const MenuHandle Menu = FLevelMenus[static_cast<size_t>(Level)].get();
  if (Entry.Kind == FavouriteKind::Separator)
    (void)platform::AppendMenuEntry(Menu, platform::MenuSeparator, 0, {});
  else
    (void)platform::AppendMenuEntry(Menu, Entry.Flags, static_cast<uintptr_t>(Index) + 1,
                                    Entry.Caption);
}

void TFavouritesMenuBuilder::AttachSubmenu(int32_t Level, std::u16string_view HeaderText) {
  UniqueMenu& Child = FLevelMenus[static_cast<size_t>(Level) + 1];
  if (!Child)
    return;
  // Once attached, the parent owns the child; a refused attach leaves it ours to release.
  if (!platform::AppendSubmenu(FLevelMenus[static_cast<size_t>(Level)].get(), platform::MenuString,
                               Child.get(), FileNamePart(HeaderText)))
    (void)Child.release();
}

void TFavouritesMenuBuilder::PushCaption(int32_t Level, std::u16string_view Text) {
  if (static_cast<int32_t>(FPendingCaptions.size()) - 1 <= Level)
    FPendingCaptions.push_back(std::make_unique<TCommonStringRecordList>());
  FPendingCaptions.at(static_cast<size_t>(Level))->Add(Text);
}

std::u16string TFavouritesMenuBuilder::PopCaption(int32_t Level) {
  if (Level < 0 || Level >= static_cast<int32_t>(FPendingCaptions.size()))
    return {};
  TCommonStringRecordList& Stack = *FPendingCaptions[static_cast<size_t>(Level)];
  if (Stack.Count() == 0)
    return {};
  std::u16string Text = Stack.GetItem(Stack.Count() - 1);
  Stack.Delete(Stack.Count() - 1);
  return Text;
}

TFavouritesMenu TFavouritesMenuBuilder::Finish() {
  UniqueMenu Root = std::move(FLevelMenus.at(0));
  std::vector<UniqueMenu> Unattached = std::move(FReplaced);
  for (UniqueMenu& Menu : FLevelMenus)
    if (Menu)
      Unattached.push_back(std::move(Menu));
  return TFavouritesMenu(std::move(Root), std::move(Unattached));
}

namespace {

struct TEntryCollector {
  TTargetLookups& Lookups;
  TFavouriteEntries Collected;
  void NewLevelMenu(int32_t) {}
  void AddFavouriteItem(int32_t, int32_t Index, std::u16string_view TrimmedText) {
    const auto Line = static_cast<size_t>(Index);
    TFavouriteEntry& Entry = Collected.Entries[Line] = FavouriteEntry(TrimmedText);
    if (Entry.Kind == FavouriteKind::Unanswered)
      Collected.Tickets[Line] = Lookups.Ask(Entry.Line.ExpandedPath);
  }
  void PushCaption(int32_t, std::u16string_view) {}
  std::u16string PopCaption(int32_t) { return {}; }
  void AttachSubmenu(int32_t, std::u16string_view) {}
};

} // namespace

TFavouriteEntries CollectFavouriteEntries(const TCommonStringRecordList& Lines,
                                          TTargetLookups& Lookups) {
  const auto Count = static_cast<size_t>(Lines.Count());
  TEntryCollector Collector{
      Lookups, {std::vector<TFavouriteEntry>(Count), std::vector<std::optional<size_t>>(Count)}};
  WalkFavourites(Lines, Collector);
  return std::move(Collector.Collected);
}

TFavouritesMenu BuildFavouritesMenu(const TCommonStringRecordList& Lines, TTargetLookups& Lookups) {
  TFavouritesMenuBuilder Builder(CollectFavouriteEntries(Lines, Lookups), &Lookups);
  WalkFavourites(Lines, Builder);
  return Builder.Finish();
}

} // namespace marigold::plugin
