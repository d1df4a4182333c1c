#include "CheckReport.h"

#include "base/Errors.h"
#include "base/Unicode.h"
#include "lib/FileNameUnit.h"
#include "lib/StringRecordList.h"
#include "platform/MenuDrawing.h"
#include "plugin/FavouritesMenu.h"

#include <algorithm>
#include <map>
#include <optional>

namespace marigold::check {

using plugin::FavouriteKind;
using plugin::TFavouriteEntry;

namespace {

constexpr char16_t Replacement = u'\uFFFD';

Diagnostic At(int32_t Index, Severity Level, Problem Kind, std::vector<std::u16string> Args = {}) {
  return {Index + 1, Level, Kind, std::move(Args)};
}

std::u16string Number(int64_t N) {
  const std::string Digits = std::to_string(N);
  return std::u16string(Digits.begin(), Digits.end());
}

// Listens to the plug-in's walk: which lines become entries, which are ignored or head a
// submenu, and which popups end up reachable from the root, popup for popup as the builder
// makes and attaches them.
struct TCheckWalk {
  std::vector<bool> IsItem; // by line: the line makes an entry
  std::vector<Diagnostic> Ignored;
  std::vector<int32_t> Headers;    // header lines in order
  std::vector<bool> Closed;        // by line: a header whose caption was taken off
  std::vector<int32_t> LevelPopup; // the popup at each level; -1 once attached
  std::vector<std::vector<int32_t>> PopupItems, PopupChildren;
  std::vector<std::vector<int32_t>> PendingHeaders; // per level, as the caption stacks
  int32_t NextHeader = -1;

  explicit TCheckWalk(int32_t Count)
      : IsItem(static_cast<size_t>(Count)), Closed(static_cast<size_t>(Count)) {}

  void Ignore(int32_t Index, int32_t Depth, int32_t MostAllowed) {
    Ignored.push_back(MostAllowed == 0
                          ? At(Index, Severity::Warning, Problem::IgnoredBeforeTop, {Number(Depth)})
                          : At(Index, Severity::Warning, Problem::IgnoredJump,
                               {Number(Depth), Number(MostAllowed)}));
  }
  void NewLevelMenu(int32_t Level) {
    const auto Slot = static_cast<size_t>(Level);
    if (LevelPopup.size() < Slot + 1)
      LevelPopup.resize(Slot + 1, -1);
    LevelPopup[Slot] = static_cast<int32_t>(PopupItems.size());
    PopupItems.emplace_back();
    PopupChildren.emplace_back();
  }
  void AddFavouriteItem(int32_t Level, int32_t Index, std::u16string_view) {
    IsItem[static_cast<size_t>(Index)] = true;
    PopupItems[static_cast<size_t>(LevelPopup[static_cast<size_t>(Level)])].push_back(Index);
  }
  void HeaderLine(int32_t Index, int32_t) {
    Headers.push_back(Index);
    NextHeader = Index;
  }
  void PushCaption(int32_t Level, std::u16string_view) {
    if (PendingHeaders.size() < static_cast<size_t>(Level) + 1)
      PendingHeaders.resize(static_cast<size_t>(Level) + 1);
    PendingHeaders[static_cast<size_t>(Level)].push_back(NextHeader);
  }
  std::u16string PopCaption(int32_t Level) {
    if (static_cast<size_t>(Level) < PendingHeaders.size()) {
      auto& Stack = PendingHeaders[static_cast<size_t>(Level)];
      if (!Stack.empty()) {
        Closed[static_cast<size_t>(Stack.back())] = true;
        Stack.pop_back();
      }
    }
    return {};
  }
  void AttachSubmenu(int32_t Level, std::u16string_view) {
    int32_t& Child = LevelPopup[static_cast<size_t>(Level) + 1];
    if (Child < 0)
      return;
    PopupChildren[static_cast<size_t>(LevelPopup[static_cast<size_t>(Level)])].push_back(Child);
    Child = -1; // the parent's now, as in the builder
  }

  // By line: the entry is in a popup that the root reaches.
  std::vector<bool> Shown() const {
    std::vector<bool> Lines(IsItem.size());
    std::vector<int32_t> Todo{LevelPopup.at(0)};
    while (!Todo.empty()) {
      const auto Popup = static_cast<size_t>(Todo.back());
      Todo.pop_back();
      for (int32_t Line : PopupItems[Popup])
        Lines[static_cast<size_t>(Line)] = true;
      Todo.insert(Todo.end(), PopupChildren[Popup].begin(), PopupChildren[Popup].end());
    }
    return Lines;
  }
};

std::vector<TreeItem> ReadTree(platform::MenuHandle Menu) {
  std::vector<TreeItem> Items;
  for (const platform::MenuItem& Item : platform::ReadMenu(Menu)) {
    TreeItem T;
    T.Separator = (Item.Flags & platform::MenuSeparator) != 0;
    if (!T.Separator) {
      T.Caption = Item.Caption;
      T.Id = Item.Id;
      T.Grayed = (Item.Flags & platform::MenuGrayed) != 0;
      T.Disabled = (Item.Flags & platform::MenuDisabled) != 0;
      T.Submenu = Item.Submenu != nullptr;
      if (Item.Submenu)
        T.Children = ReadTree(Item.Submenu);
    }
    Items.push_back(std::move(T));
  }
  return Items;
}

void CheckEntry(int32_t I, const TFavouriteEntry& E, std::u16string_view Trimmed,
                std::u16string_view Folder, std::map<std::u16string, int32_t>& Targets,
                std::vector<Diagnostic>& Out) {
  const std::u16string& Path = E.Line.Path;
  switch (E.Kind) {
  case FavouriteKind::Separator:
    return;
  case FavouriteKind::Malformed:
    Out.push_back(At(I, Severity::Warning, Problem::TooManyFields, {Number(E.Line.FieldCount)}));
    return;
  case FavouriteKind::NotAbsolute:
    if (Trimmed.empty()) {
      Out.push_back(At(I, Severity::Note, Problem::EmptyLine));
    } else if (const PathRule Rule = BrokenPathRule(Path); Rule == PathRule::None) {
      Out.push_back(At(I, Severity::Warning, Problem::Relative,
                       {Path, Folder.empty() ? u"" : ResolveRelativePath(Folder, Path)}));
    } else {
      Out.push_back(At(I, Severity::Warning, Problem::InvalidPath, {Path}));
      Out.back().Rule = Rule;
    }
    return;
  case FavouriteKind::Missing:
    Out.push_back(At(I, Severity::Warning, Problem::Missing, {Path}));
    break;
  case FavouriteKind::Unanswered:
    Out.push_back(
        At(I, Severity::Note, Problem::Unanswered, {Path, Number(plugin::LookupDeadline.count())}));
    break;
  case FavouriteKind::Folder:
  case FavouriteKind::File:
    break;
  }
  const auto [Earlier, Fresh] = Targets.emplace(CaseFoldedPath(E.Line.Target), I);
  if (!Fresh)
    Out.push_back(At(I, Severity::Note, Problem::Duplicate, {Number(Earlier->second + 1)}));
}

void CheckHeader(int32_t I, std::u16string_view Trimmed, bool Closed,
                 std::vector<Diagnostic>& Out) {
  if (Trimmed.empty()) {
    Out.push_back(At(I, Severity::Note, Problem::EmptyHeader));
  } else {
    const TFavouriteEntry E = plugin::FavouriteEntry(Trimmed);
    if (E.Kind != FavouriteKind::Separator &&
        (E.Line.FieldCount >= 2 || E.Kind == FavouriteKind::Unanswered))
      Out.push_back(At(I, Severity::Warning, Problem::HeaderWithTarget, {E.Line.Target}));
  }
  if (!Closed)
    Out.push_back(
        At(I, Severity::Warning, Problem::HeaderNeverClosed, {plugin::FileNamePart(Trimmed)}));
}

bool IsUnicode(TextEncoding Encoding) {
  return Encoding != TextEncoding::Ansi;
}

// The file's lines as bytes, split where the plug-in splits its text: the bytes (or UTF-16
// units) widened one to one, so that CR and LF are found where they are.
std::vector<std::string_view> ByteLines(std::string_view Body, TextEncoding Encoding) {
  const size_t Unit =
      Encoding == TextEncoding::Utf16Le || Encoding == TextEncoding::Utf16Be ? 2 : 1;
  std::u16string Wide;
  if (Unit == 1)
    Wide.assign(Body.begin(), Body.end());
  else
    Wide = DecodeText(std::string(ByteOrderMark(Encoding)) + std::string(Body), Encoding);
  TCommonStringRecordList Split;
  Split.SetText(Wide);
  std::vector<std::string_view> Lines;
  size_t Offset = 0;
  for (int32_t I = 0; I < Split.Count(); ++I) {
    const size_t Size = std::min(Split.GetItem(I).size() * Unit, Body.size() - Offset);
    Lines.push_back(Body.substr(Offset, Size));
    Offset += Size;
  }
  return Lines;
}

void CheckEncoding(std::string_view Bytes, TextEncoding Encoding, std::vector<Diagnostic>& Out) {
  Out.push_back({0, Severity::Note, Problem::Encoding, {std::u16string(EncodingName(Encoding))}});
  const std::string_view Mark = ByteOrderMark(Encoding);
  const std::vector<std::string_view> Lines = ByteLines(Bytes.substr(Mark.size()), Encoding);
  if (Encoding == TextEncoding::Ansi) {
    // UTF-16 without a byte order mark: ASCII text leaves every other byte NUL.
    size_t Pairs = Bytes.size() / 2, EvenZeros = 0, OddZeros = 0;
    for (size_t I = 0; I + 1 < Bytes.size(); I += 2) {
      EvenZeros += Bytes[I] == '\0';
      OddZeros += Bytes[I + 1] == '\0';
    }
    if (Pairs > 0 && std::max(EvenZeros, OddZeros) * 4 >= Pairs) {
      Out.push_back(
          {0, Severity::Warning, Problem::LooksLikeUtf16, {OddZeros >= EvenZeros ? u"LE" : u"BE"}});
      return;
    }
    // UTF-8 with a broken sequence somewhere: more of its high bytes read as UTF-8 characters
    // than not. Code page 932 text rarely does, as its usual lead bytes cannot start one.
    const std::u16string AsUtf8 = DecodeText(Bytes, TextEncoding::Utf8);
    const auto Broken = std::count(AsUtf8.begin(), AsUtf8.end(), Replacement);
    const auto Characters = std::count_if(AsUtf8.begin(), AsUtf8.end(),
                                          [](char16_t C) { return C >= 0x80 && C != Replacement; });
    if (Characters > 0 && Characters >= Broken) {
      for (size_t I = 0; I < Lines.size(); ++I)
        if (DecodeText(Lines[I], TextEncoding::Utf8).find(Replacement) != std::u16string::npos) {
          Out.push_back(At(static_cast<int32_t>(I), Severity::Warning, Problem::LooksLikeUtf8));
          break;
        }
    }
  }
  // Bytes that do not read back as themselves are not text of the encoding: the menu shows
  // substitutes for them.
  for (size_t I = 0; I < Lines.size(); ++I) {
    const std::u16string Text = DecodeText(std::string(Mark) + std::string(Lines[I]), Encoding);
    const std::optional<std::string> Again = EncodeTextExactly(Text, Encoding);
    if (!Again || *Again != Lines[I] ||
        (IsUnicode(Encoding) && Text.find(Replacement) != std::u16string::npos))
      Out.push_back(At(static_cast<int32_t>(I), Severity::Warning, Problem::UnstorableBytes,
                       {std::u16string(EncodingName(Encoding))}));
  }
}

} // namespace

Report CheckSettings(std::string_view Bytes, std::u16string_view Folder,
                     plugin::LookupClock::time_point Deadline) {
  Report R;
  R.Encoding = DetectTextEncoding(Bytes);
  TCommonStringRecordList Lines;
  Lines.SetText(DecodeText(Bytes, R.Encoding));

  TCheckWalk Walk(Lines.Count());
  plugin::WalkFavourites(Lines, Walk);

  // The plug-in's own build, look-ups and deadline included; its entries as it appended them.
  plugin::TTargetLookups Lookups(Deadline);
  plugin::TFavouritesMenuBuilder Builder(plugin::CollectFavouriteEntries(Lines, Lookups), &Lookups);
  plugin::WalkFavourites(Lines, Builder);
  {
    const plugin::TFavouritesMenu Menu = Builder.Finish();
    R.Tree = ReadTree(Menu.Root());
    R.Drawing = platform::DescribeMenu(Menu.Root());
  }

  CheckEncoding(Bytes, R.Encoding, R.Diagnostics);
  R.Diagnostics.insert(R.Diagnostics.end(), Walk.Ignored.begin(), Walk.Ignored.end());
  for (int32_t Header : Walk.Headers)
    CheckHeader(Header, plugin::TrimBlanksAndControls(Lines.GetItem(Header)),
                Walk.Closed[static_cast<size_t>(Header)], R.Diagnostics);
  const std::vector<bool> Shown = Walk.Shown();
  std::map<std::u16string, int32_t> Targets;
  for (int32_t I = 0; I < Lines.Count(); ++I) {
    if (!Walk.IsItem[static_cast<size_t>(I)])
      continue;
    if (!Shown[static_cast<size_t>(I)])
      R.Diagnostics.push_back(At(I, Severity::Warning, Problem::NotShown));
    CheckEntry(I, Builder.Entries()[static_cast<size_t>(I)],
               plugin::TrimBlanksAndControls(Lines.GetItem(I)), Folder, Targets, R.Diagnostics);
  }
  std::stable_sort(R.Diagnostics.begin(), R.Diagnostics.end(),
                   [](const Diagnostic& A, const Diagnostic& B) { return A.Line < B.Line; });
  return R;
}

int ExitStatus(const Report& R) {
  return std::any_of(R.Diagnostics.begin(), R.Diagnostics.end(),
                     [](const Diagnostic& D) { return D.Level == Severity::Warning; })
             ? 1
             : 0;
}

} // namespace marigold::check
