#pragma once

// The favourites file format and the menu tree built from it. Each line of the settings file is
// one favourite; leading TABs nest lines into submenus:
//   Projects                      a submenu "Projects" holding the next two lines
//   ⇥Notes⇥C:\Work\notes.txt /l 120   label, TAB, target; the target is a path and options
//   ⇥C:\Work                      a folder, caption "Folder Work"
//   %USERPROFILE%\Documents       a folder, caption "Folder Documents"
//   -                             a separator
// Every %NAME% in the path is replaced by the environment variable's value before the path is
// classified, captioned, looked up or opened, so that one file serves machines whose folders
// differ; when a name in it is not set, the path is taken as written. The label and the options
// are never expanded, and a registration writes the path itself.

#include "lib/StringRecordList.h"
#include "platform/Menu.h"
#include "plugin/TargetLookups.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marigold::plugin {

// S without every leading and trailing character below 33 (blanks, TABs, line breaks, other
// control characters); inner characters stay. A line's trimmed text is what it means.
[[nodiscard]] std::u16string TrimBlanksAndControls(std::u16string_view S);

// The text behind the last "\" or ":"; all of S without either, empty when S ends in one.
// FileNamePart(u"C:\\Work\\") == u"", FileNamePart(u"Tools: misc") == u" misc"
[[nodiscard]] std::u16string FileNamePart(std::u16string_view S);

// The parts of a trimmed favourites line.
struct TFavouriteLine {
  int32_t FieldCount = 0;      // TAB-separated fields, empty ones kept; 3 or more is malformed
  std::u16string Label;        // the first of two fields; empty with one field
  std::u16string Target;       // the second of two fields, or the whole text
  std::u16string Path;         // the target in front of its first " /", as written
  std::u16string Options;      // the target behind its first " /"; empty without one
  std::u16string ExpandedPath; // Path with its variables put in; Path when one is not set
  std::vector<std::u16string> UnsetNames; // the variables of Path without a value, as written
};
// Splits a trimmed line. ParseFavouriteLine(u"Notes\tC:\\a.txt /l 3 /x") gives the label
// 'Notes', the path 'C:\a.txt' and the options 'l 3 /x'. With USERPROFILE='C:\Users\me',
// '%USERPROFILE%\a.txt' has the expanded path 'C:\Users\me\a.txt', and 'C:\' in '%D%\x'
// gives 'C:\x' (ExpandEnvironmentNames).
[[nodiscard]] TFavouriteLine ParseFavouriteLine(std::u16string_view TrimmedText);

// What one line shows in the menu.
enum class FavouriteKind : uint8_t {
  Separator,   // "-"
  Malformed,   // three or more fields: the text, disabled
  Folder,      // an absolute path naming a folder: enabled
  File,        // an absolute path naming a file: enabled
  Missing,     // an absolute path naming nothing: grayed
  NotAbsolute, // relative, empty or invalid (expanded) path: disabled
  Unanswered,  // an absolute path not (yet) answered for: enabled, as it is not known to be missing
};
struct TFavouriteEntry {
  FavouriteKind Kind = FavouriteKind::Separator;
  TFavouriteLine Line;    // the parts it was made from (none for a separator)
  std::u16string Caption; // the label, else "Folder " + file-name part, the file-name part or
                          // the path, all of the expanded path; the trimmed text for a malformed
                          // line; empty for "-"
  uint32_t Flags = 0;     // the AppendMenuW flags
};
// The entry a trimmed line makes, before its target is asked about: an absolute path is
// Unanswered until AnswerEntry.
[[nodiscard]] TFavouriteEntry FavouriteEntry(std::u16string_view TrimmedText);
// Settles an Unanswered entry by what its target's look-up said; other entries stay.
void AnswerEntry(TFavouriteEntry& Entry, TargetState Target);
// FavouriteEntry with the target asked about, waiting until Deadline at most; what choosing the
// entry opens.
[[nodiscard]] TFavouriteEntry CheckedFavouriteEntry(std::u16string_view TrimmedText,
                                                    LookupClock::time_point Deadline);

// The number of TABs at the very start of a raw line.
[[nodiscard]] int32_t IndentLevel(std::u16string_view Line);
// IndentLevel of line Index + 1, or -1 when Index is not in 0 ... Count - 2.
[[nodiscard]] int32_t NextIndentLevel(const TCommonStringRecordList& Lines, int32_t Index);

// By line index, the entry of each line that becomes a menu item (the first pass over the
// lines), with the ticket of its target's look-up where it is asked about.
struct TFavouriteEntries {
  std::vector<TFavouriteEntry> Entries;
  std::vector<std::optional<size_t>> Tickets;
};
// The first pass: every item line's entry, its target asked about on Lookups at once.
[[nodiscard]] TFavouriteEntries CollectFavouriteEntries(const TCommonStringRecordList& Lines,
                                                        TTargetLookups& Lookups);

// The popups of one favourites menu. The root and every popup that was never attached to a
// parent are owned here; an attached popup belongs to its parent. All go with this object.
class TFavouritesMenu {
public:
  TFavouritesMenu(platform::UniqueMenu Root, std::vector<platform::UniqueMenu> Unattached)
      : FRoot(std::move(Root)), FUnattached(std::move(Unattached)) {}
  platform::MenuHandle Root() const { return FRoot.get(); }

private:
  platform::UniqueMenu FRoot;
  std::vector<platform::UniqueMenu> FUnattached;
};

// One build of the menu tree: a popup per open depth and, per depth, the stack of header texts
// whose submenus are still open.
class TFavouritesMenuBuilder {
public:
  // An entry with a ticket is settled by its answer from Lookups when it is appended.
  explicit TFavouritesMenuBuilder(TFavouriteEntries Entries = {}, TTargetLookups* Lookups = nullptr)
      : FEntries(std::move(Entries)), FLookups(Lookups) {}
  TFavouritesMenuBuilder(const TFavouritesMenuBuilder&) = delete;
  TFavouritesMenuBuilder& operator=(const TFavouritesMenuBuilder&) = delete;
  ~TFavouritesMenuBuilder(); // where the caption lists are complete

  // Puts a new, empty popup at Level, growing LevelMenus as needed.
  void NewLevelMenu(int32_t Level);
  // Appends the entry of the line Index to the popup at Level, with the command id Index + 1.
  void AddFavouriteItem(int32_t Level, int32_t Index, std::u16string_view TrimmedText);
  // Appends the popup at Level + 1 to the one at Level as a submenu captioned with the file-name
  // part of HeaderText.
  void AttachSubmenu(int32_t Level, std::u16string_view HeaderText);

  // Header texts: push onto the stack of Level (adding one stack when there are at most
  // Level + 1) and pop from it ('' when it is empty).
  void PushCaption(int32_t Level, std::u16string_view Text);
  std::u16string PopCaption(int32_t Level);

  // The popup at Level, which takes the entries of that depth; null once attached or not made.
  [[nodiscard]] platform::MenuHandle LevelMenu(int32_t Level) const {
    const auto Slot = static_cast<size_t>(Level);
    return Slot < FLevelMenus.size() ? FLevelMenus[Slot].get() : nullptr;
  }
  // Hands every popup over: LevelMenus[0] as the root.
  TFavouritesMenu Finish();
  // By line index, the entries as appended: settled by the answers that came in time.
  [[nodiscard]] const std::vector<TFavouriteEntry>& Entries() const { return FEntries.Entries; }

private:
  TFavouriteEntries FEntries;
  TTargetLookups* FLookups;
  std::vector<platform::UniqueMenu> FLevelMenus; // LevelMenus, indexed by depth
  std::vector<platform::UniqueMenu> FReplaced;   // unattached popups no longer in LevelMenus
  // PendingCaptions: one stack of header texts per depth.
  std::vector<std::unique_ptr<TCommonStringRecordList>> FPendingCaptions;
};

// What the one walk over the lines tells its listener, as TFavouritesMenuBuilder takes it.
template <class S>
concept FavouriteWalkSteps = requires(S& Steps, int32_t N, std::u16string_view Text) {
  Steps.NewLevelMenu(N);
  Steps.AddFavouriteItem(N, N, Text);
  Steps.PushCaption(N, Text);
  Steps.AttachSubmenu(N, Steps.PopCaption(N));
};
// Optional: Ignore(Index, Depth, MostAllowed): line Index is ignored, being deeper than
// MostAllowed (0 before the first top-level line).
template <class S>
concept IgnoresFavourites = requires(S& Steps, int32_t N) {
  Steps.Ignore(N, N, N);
};
// Optional: HeaderLine(Index, Depth): line Index is a header; its text is pushed next.
template <class S>
concept MarksHeaderLines = requires(S& Steps, int32_t N) {
  Steps.HeaderLine(N, N);
};
static_assert(FavouriteWalkSteps<TFavouritesMenuBuilder>);

// The one walk over the lines that decides their nesting, for the menu builder and for everything
// that explains the menu.
template <FavouriteWalkSteps Steps>
void WalkFavourites(const TCommonStringRecordList& Lines, Steps& S) {
  S.NewLevelMenu(0);
  int32_t Previous = -1;
  for (int32_t I = 0; I < Lines.Count(); ++I) {
    const std::u16string Line = Lines.GetItem(I);
    const int32_t D = IndentLevel(Line);
    if (D >= Previous + 2) { // a jump of two or more levels
      if constexpr (IgnoresFavourites<Steps>)
        S.Ignore(I, D, Previous + 1);
      continue;
    }
    const std::u16string T = TrimBlanksAndControls(Line);
    const int32_t N = NextIndentLevel(Lines, I);
    if (Previous < D)
      S.NewLevelMenu(D);
    if (N > D) {
      if constexpr (MarksHeaderLines<Steps>)
        S.HeaderLine(I, D);
      S.PushCaption(D, T); // a header: captions its submenu once that is closed
    } else {
      S.AddFavouriteItem(D, I, T);
      for (int32_t K = D - 1; K >= std::max(0, N); --K)
        S.AttachSubmenu(K, S.PopCaption(K));
    }
    Previous = D;
  }
}

// The favourites menu of Lines: entries with the ids line index + 1, submenus, separators.
//   'A', '⇥B', '⇥C', 'D' gives the submenu 'A' holding B (id 2) and C (id 3), then D (id 4).
// Lines that jump two or more levels deeper are ignored; no line makes the build fail. Each
// entry's target is asked about as soon as its line is read, and its answer waited for when the
// entry is appended; what has not answered by the deadline of Lookups is enabled.
[[nodiscard]] TFavouritesMenu BuildFavouritesMenu(const TCommonStringRecordList& Lines,
                                                  TTargetLookups& Lookups);
[[nodiscard]] inline TFavouritesMenu BuildFavouritesMenu(const TCommonStringRecordList& Lines) {
  TTargetLookups Lookups(LookupClock::now() + LookupDeadline);
  return BuildFavouritesMenu(Lines, Lookups);
}

} // namespace marigold::plugin
