#include "plugin/FavouritesMenu.h"

#include "lib/FileNameUnit.h"
#include "lib/StringRecordList.h"
#include "lib/StringSplitterUnit.h"
#include "lib/StringUnit.h"
#include "platform/Files.h"

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
  return Line;
}

TFavouriteEntry FavouriteEntry(std::u16string_view TrimmedText) {
  if (TrimmedText == u"-")
    return {FavouriteKind::Separator, {}, {}, platform::MenuSeparator};
  TFavouriteEntry Entry;
  Entry.Line = ParseFavouriteLine(TrimmedText);
  const TFavouriteLine& Line = Entry.Line;
  const bool HasLabel = Line.FieldCount == 2;
  if (Line.FieldCount >= 3) {
    Entry.Kind = FavouriteKind::Malformed;
    Entry.Caption = TrimmedText;
    Entry.Flags = platform::MenuDisabled;
  } else if (!IsValidDrivePath(Line.Path) && !IsValidUNCPath(Line.Path)) {
    Entry.Kind = FavouriteKind::NotAbsolute;
    Entry.Caption = HasLabel ? Line.Label : Line.Path;
    Entry.Flags = platform::MenuDisabled;
  } else {
    // One look-up answers both tests: a folder first, then a file.
    std::error_code Missing; // why a target cannot be asked does not change the menu
    const std::optional<uint32_t> Attributes = platform::FileAttributes(Line.Path, Missing);
    const bool IsFolder = Attributes && (*Attributes & platform::AttributeDirectory);
    const bool IsFile = Attributes && !IsFolder;
    Entry.Kind = IsFolder ? FavouriteKind::Folder
                 : IsFile ? FavouriteKind::File
                          : FavouriteKind::Missing;
    Entry.Caption = HasLabel   ? Line.Label
                    : IsFolder ? u"Folder " + FileNamePart(Line.Path)
                               : FileNamePart(Line.Path);
    Entry.Flags = IsFolder || IsFile ? platform::MenuString : platform::MenuGrayed;
  }
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

void TFavouritesMenuBuilder::AddFavouriteItem(int32_t Level, int32_t Index,
                                              std::u16string_view TrimmedText) {
  const TFavouriteEntry Entry = FavouriteEntry(TrimmedText);
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

TFavouritesMenu BuildFavouritesMenu(const TCommonStringRecordList& Lines) {
  TFavouritesMenuBuilder Builder;
  Builder.NewLevelMenu(0);
  int32_t Previous = -1;
  for (int32_t I = 0; I < Lines.Count(); ++I) {
    const std::u16string Line = Lines.GetItem(I);
    const int32_t D = IndentLevel(Line);
    if (D >= Previous + 2)
      continue; // a jump of two or more levels
    const std::u16string T = TrimBlanksAndControls(Line);
    const int32_t N = NextIndentLevel(Lines, I);
    if (Previous < D)
      Builder.NewLevelMenu(D);
    if (N > D) {
      Builder.PushCaption(D, T); // a header: captions its submenu once that is closed
    } else {
      Builder.AddFavouriteItem(D, I, T);
      for (int32_t K = D - 1; K >= std::max(0, N); --K)
        Builder.AttachSubmenu(K, Builder.PopCaption(K));
    }
    Previous = D;
  }
  return Builder.Finish();
}

} // namespace marigold::plugin
