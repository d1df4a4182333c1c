#include "CheckReport.h"

#include "base/TextFormat.h"
#include "base/Unicode.h"
#include "lib/FileNameUnit.h"
#include "lib/StringRecordList.h"
#include "platform/MenuDrawing.h"
#include "plugin/FavouritesMenu.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace marigold::check {

using plugin::FavouriteKind;
using plugin::TFavouriteEntry;

namespace {

constexpr char16_t Replacement = u'\uFFFD';
constexpr char16_t FullWidthSpace = u'\u3000';

struct TIgnoredLine {
  int32_t Index, Depth, MostAllowed;
};

// Builds the menu with the plug-in's own builder and notes where each line went: the popup its
// entry or header lies in and, for a header, the popup opened for the lines under it. Whether the
// root reaches them is read from the menu that was built.
struct TCheckWalk {
  plugin::TFavouritesMenuBuilder& Builder;
  std::vector<bool> IsItem; // by line: the line makes an entry
  std::vector<TIgnoredLine> Ignored;
  std::vector<int32_t> Headers;            // header lines in order
  std::vector<platform::MenuHandle> In;    // by line: the popup its entry or header lies in
  std::vector<platform::MenuHandle> Opens; // by header line: the popup opened right after it
  int32_t Opening = -1;                    // the header line just read, until the next popup

  TCheckWalk(plugin::TFavouritesMenuBuilder& B, int32_t Count)
      : Builder(B), IsItem(static_cast<size_t>(Count)), In(IsItem.size()), Opens(IsItem.size()) {}

  void Ignore(int32_t Index, int32_t Depth, int32_t MostAllowed) {
    Ignored.push_back({Index, Depth, MostAllowed});
  }
  void NewLevelMenu(int32_t Level) {
    Builder.NewLevelMenu(Level);
    if (Opening >= 0)
      Opens[static_cast<size_t>(Opening)] = Builder.LevelMenu(Level);
    Opening = -1;
  }
  void AddFavouriteItem(int32_t Level, int32_t Index, std::u16string_view Text) {
    Builder.AddFavouriteItem(Level, Index, Text);
    IsItem[static_cast<size_t>(Index)] = true;
    In[static_cast<size_t>(Index)] = Builder.LevelMenu(Level);
    Opening = -1;
  }
  void HeaderLine(int32_t Index, int32_t Level) {
    Headers.push_back(Index);
    In[static_cast<size_t>(Index)] = Builder.LevelMenu(Level);
    Opening = Index;
  }
  void PushCaption(int32_t Level, std::u16string_view Text) { Builder.PushCaption(Level, Text); }
  std::u16string PopCaption(int32_t Level) { return Builder.PopCaption(Level); }
  void AttachSubmenu(int32_t Level, std::u16string_view Text) {
    Builder.AttachSubmenu(Level, Text);
  }

  // The header's submenu was attached where the header lies: the walk closed it.
  bool Closed(int32_t Header) const {
    const platform::MenuHandle Submenu = Opens[static_cast<size_t>(Header)];
    return Submenu && std::ranges::any_of(platform::ReadMenu(In[static_cast<size_t>(Header)]),
                                          [&](const auto& M) { return M.Submenu == Submenu; });
  }

  // The first ignored line after Index: what keeps a submenu open from there on. Without ignored
  // lines every header's submenu is closed by the last entry before a shallower line.
  std::optional<TIgnoredLine> IgnoredAfter(int32_t Index) const {
    for (const TIgnoredLine& L : Ignored)
      if (L.Index > Index)
        return L;
    return std::nullopt;
  }
  bool IsIgnored(int32_t Index) const {
    return std::any_of(Ignored.begin(), Ignored.end(),
                       [Index](const TIgnoredLine& L) { return L.Index == Index; });
  }
};

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

bool EndsInBreak(std::u16string_view S) {
  return !S.empty() && (S.back() == u'\n' || S.back() == u'\r');
}

// The file's own lines, and the one each of the plug-in's lines starts on. An ANSI lead byte
// takes the byte behind it even when that is a line break: the text then has fewer lines than
// the file, and every line behind it would be named one too early.
struct TFileLines {
  std::vector<std::string_view> Bytes; // by file line, its line break included
  std::vector<bool> BreakLost;         // by file line: its line break is read into a character
  std::vector<int32_t> Number;         // by text line: the file line it starts on, from 1
  std::vector<bool> Joined;            // by text line: it runs over more than one file line

  TFileLines(std::string_view Data, TextEncoding Encoding, const TCommonStringRecordList& Lines) {
    const std::string Mark(ByteOrderMark(Encoding));
    Bytes = ByteLines(Data.substr(Mark.size()), Encoding);
    // The units the text holds up to the end of each file line. A line break that stays one
    // ends a character, so the decoding starts afresh behind it.
    std::vector<size_t> Ends;
    size_t Units = 0;
    std::string Pending;
    for (std::string_view Line : Bytes) {
      Pending += Line;
      const std::u16string Text = DecodeText(Mark + Pending, Encoding);
      Ends.push_back(Units + Text.size());
      const bool HasBreak = !Line.empty() && (Line.back() == '\n' || Line.back() == '\r');
      BreakLost.push_back(Encoding == TextEncoding::Ansi && HasBreak && !EndsInBreak(Text));
      if (EndsInBreak(Text)) {
        Units += Text.size();
        Pending.clear();
      }
    }
    size_t Start = 0, FileLine = 0;
    for (int32_t I = 0; I < Lines.Count(); ++I) {
      while (FileLine < Ends.size() && Ends[FileLine] <= Start)
        ++FileLine;
      Number.push_back(static_cast<int32_t>(FileLine) + 1);
      Start += Lines.GetItem(I).size();
    }
    for (size_t I = 0; I < Number.size(); ++I) {
      const size_t Next =
          I + 1 < Number.size() ? static_cast<size_t>(Number[I + 1]) : Bytes.size() + 1;
      Joined.push_back(Next > static_cast<size_t>(Number[I]) + 1);
    }
  }
};

struct TEncodingCheck {
  int32_t Fault = 0;    // the line that is not UTF-8 in a file that otherwise is
  bool Misread = false; // no line means what it says
};

TEncodingCheck CheckEncoding(std::string_view Bytes, TextEncoding Encoding, const TFileLines& File,
                             std::vector<Diagnostic>& Out) {
  Out.push_back({0, Severity::Note, Problem::Encoding, {std::u16string(EncodingName(Encoding))}});
  const std::string_view Mark = ByteOrderMark(Encoding);
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
      return {0, true};
    }
    // UTF-8 with a broken sequence somewhere: more of its high bytes read as UTF-8 characters
    // than not. Code page 932 text rarely does, as its usual lead bytes cannot start one. Every
    // other line's oddity follows from that one: it alone is named.
    const std::u16string AsUtf8 = DecodeText(Bytes, TextEncoding::Utf8);
    const auto Broken = std::count(AsUtf8.begin(), AsUtf8.end(), Replacement);
    const auto Characters = std::count_if(AsUtf8.begin(), AsUtf8.end(),
                                          [](char16_t C) { return C >= 0x80 && C != Replacement; });
    if (Characters > 0 && Characters >= Broken)
      for (size_t I = 0; I < File.Bytes.size(); ++I)
        if (DecodeText(File.Bytes[I], TextEncoding::Utf8).find(Replacement) !=
            std::u16string::npos) {
          const auto Line = static_cast<int32_t>(I) + 1;
          Out.push_back({0, Severity::Warning, Problem::LooksLikeUtf8, {Decimal(Line)}});
          return {Line, false};
        }
  }
  // Bytes that do not read back as themselves are not text of the encoding: the menu shows
  // substitutes for them.
  const std::u16string Name(EncodingName(Encoding));
  for (size_t I = 0; I < File.Bytes.size(); ++I) {
    const auto Line = static_cast<int32_t>(I) + 1;
    const std::u16string Text =
        DecodeText(std::string(Mark) + std::string(File.Bytes[I]), Encoding);
    const std::optional<std::string> Again = EncodeTextExactly(Text, Encoding);
    if (File.BreakLost[I] && I + 1 < File.Bytes.size())
      Out.push_back({Line, Severity::Warning, Problem::JoinedLine, {Name, Decimal(Line + 1)}});
    else if (!Again || *Again != File.Bytes[I] ||
             (Encoding != TextEncoding::Ansi && Text.find(Replacement) != std::u16string::npos))
      Out.push_back({Line, Severity::Warning, Problem::UnstorableBytes, {Name}});
  }
  return {};
}

// The entries of Menu and its submenus; Reached gets every popup read.
std::vector<TreeItem> ReadTree(platform::MenuHandle Menu, const std::vector<int32_t>& Number,
                               std::set<platform::MenuHandle>& Reached) {
  Reached.insert(Menu);
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
        T.Children = ReadTree(Item.Submenu, Number, Reached);
      else if (Item.Id >= 1 && Item.Id <= Number.size())
        T.Line = Number[Item.Id - 1];
    }
    Items.push_back(std::move(T));
  }
  return Items;
}

// One pass over the plug-in's lines, each diagnostic named by the file line it is on.
class TChecker {
public:
  TChecker(const TFileLines& File, TEncodingCheck Encoding, std::vector<Diagnostic>& Out)
      : FFile(File), FEncoding(Encoding), FOut(Out) {}

  int32_t Line(int32_t Index) const { return FFile.Number[static_cast<size_t>(Index)]; }

  Diagnostic& Add(int32_t Index, Severity Level, Problem Kind,
                  std::vector<std::u16string> Args = {}) {
    Diagnostic D{Line(Index), Level, Kind, std::move(Args)};
    // Text read from mangled bytes, or lines run together, follow from the encoding's one bad
    // line.
    const bool Mangled = std::any_of(D.Args.begin(), D.Args.end(), [](const std::u16string& A) {
      return std::any_of(A.begin(), A.end(), [](char16_t C) { return C >= 0x80; });
    });
    if (FEncoding.Fault != 0 && D.Line != FEncoding.Fault &&
        (Mangled || FFile.Joined[static_cast<size_t>(Index)]))
      D.Because = FEncoding.Fault;
    FOut.push_back(std::move(D));
    return FOut.back();
  }

  void Entry(int32_t I, int32_t Depth, const TFavouriteEntry& E, std::u16string_view Trimmed,
             std::u16string_view Folder) {
    // What the plug-in classifies and opens: the path with its variables put in.
    const std::u16string& Path = E.Line.ExpandedPath;
    const std::u16string& Written = E.Line.Path;
    if (Path != Written)
      Add(I, Severity::Note, Problem::Expanded, {Written, Path});
    const Outcome Effect = E.Kind == FavouriteKind::Missing ? Outcome::Grayed
                           : E.Kind == FavouriteKind::NotAbsolute && !Trimmed.empty()
                               ? Outcome::Disabled
                               : Outcome::None;
    if (!NamedCause(I, Depth, E, Trimmed, Effect))
      PlainCause(I, E, Trimmed, Folder, Path != Written);
    if (E.Line.FieldCount == 1 && E.Kind != FavouriteKind::NotAbsolute &&
        E.Kind != FavouriteKind::Malformed && Path.ends_with(u'\\') &&
        plugin::FileNamePart(Path).empty()) {
      const bool Root = Path.size() == 3 && StartsWithDrivePrefix(Path);
      Add(I, Severity::Warning, Root ? Problem::RootWithoutCaption : Problem::TrailingBackslash,
          {Path, E.Caption});
    }
    if (E.Kind == FavouriteKind::Separator || E.Kind == FavouriteKind::Malformed ||
        E.Kind == FavouriteKind::NotAbsolute)
      return;
    const std::u16string Target = E.Line.Options.empty() ? Path : Path + u" /" + E.Line.Options;
    const auto [Earlier, Fresh] = FTargets.emplace(CaseFoldedPath(Target), Line(I));
    if (!Fresh)
      Add(I, Severity::Note, Problem::Duplicate, {Decimal(Earlier->second)});
  }

  void Header(int32_t I, int32_t Depth, std::u16string_view Trimmed) {
    if (Trimmed.empty()) {
      Add(I, Severity::Note, Problem::EmptyHeader);
    } else {
      const TFavouriteEntry E = plugin::FavouriteEntry(Trimmed);
      if (E.Kind != FavouriteKind::Separator &&
          (E.Line.FieldCount >= 2 || E.Kind == FavouriteKind::Unanswered))
        Add(I, Severity::Warning, Problem::HeaderWithTarget, {E.Line.Target});
      if (Trimmed.front() == FullWidthSpace)
        Add(I, Severity::Warning, Problem::FullWidthIndent, {Decimal(Depth)});
    }
  }

private:
  // The one cause a look at the line can name for an entry that does not work; false when there
  // is none to name, or nothing goes wrong.
  bool NamedCause(int32_t I, int32_t Depth, const TFavouriteEntry& E, std::u16string_view Trimmed,
                  Outcome Effect) {
    const std::u16string& Written = E.Line.Path;
    const auto Named = [&](Problem Kind, std::vector<std::u16string> Args) {
      Add(I, Severity::Warning, Kind, std::move(Args)).Effect = Effect;
      return true;
    };
    const bool Broken = Effect != Outcome::None;
    const bool Unlabelled = E.Line.FieldCount == 1;
    // A full-width space or a comment mark that leads the path is what breaks it; in front of a
    // caption it is said besides whatever else is wrong.
    const char16_t First = Trimmed.empty() ? u'\0' : Trimmed.front();
    if (First == FullWidthSpace) {
      if (Unlabelled && Broken)
        return Named(Problem::FullWidthIndent, {Decimal(Depth)});
      Add(I, Severity::Warning, Problem::FullWidthIndent, {Decimal(Depth)});
    } else if (First == u';' || First == u'#') {
      if (Unlabelled && Broken)
        return Named(Problem::CommentLine, {std::u16string(1, First)});
      Add(I, Severity::Note, Problem::CommentLine, {std::u16string(1, First)});
    }
    if (!Broken)
      return false;
    if (Written.starts_with(u'"') || Written.ends_with(u'"'))
      return Named(Problem::QuotedPath, {Written});
    if (const size_t At = Written.find(FullWidthSpace); At == 0)
      return Named(Problem::FullWidthSpaceFirst, {Written});
    else if (At != std::u16string::npos)
      return Named(Problem::FullWidthSpace, {Written, Written.substr(0, At)});
    if (E.Line.UnsetNames.empty())
      return false;
    std::vector<std::u16string> Seen;
    for (const std::u16string& Name : E.Line.UnsetNames)
      if (std::find(Seen.begin(), Seen.end(), CaseFoldedPath(Name)) == Seen.end()) {
        Seen.push_back(CaseFoldedPath(Name));
        Named(Problem::UnsetVariable, {u"%" + Name + u"%"});
      }
    return true;
  }

  void PlainCause(int32_t I, const TFavouriteEntry& E, std::u16string_view Trimmed,
                  std::u16string_view Folder, bool Expanded) {
    const std::u16string& Path = E.Line.ExpandedPath;
    switch (E.Kind) {
    case FavouriteKind::Malformed:
      Add(I, Severity::Warning, Problem::TooManyFields, {Decimal(E.Line.FieldCount)});
      return;
    case FavouriteKind::NotAbsolute:
      if (Trimmed.empty()) {
        Add(I, Severity::Note, Problem::EmptyLine);
      } else if (const PathRule Rule = BrokenPathRule(Path); Rule == PathRule::None) {
        // A variable's name is no folder: the absolute form would only mislead.
        Add(I, Severity::Warning, Problem::Relative,
            {Path, Folder.empty() || Expanded ? u"" : ResolveRelativePath(Folder, Path)});
      } else {
        Add(I, Severity::Warning, Problem::InvalidPath, {Path}).Rule = Rule;
      }
      return;
    case FavouriteKind::Missing:
      Add(I, Severity::Warning, Problem::Missing, {Path});
      return;
    case FavouriteKind::Unanswered:
      Add(I, Severity::Note, Problem::Unanswered, {Path, Decimal(plugin::LookupDeadline.count())});
      return;
    case FavouriteKind::Separator:
    case FavouriteKind::Folder:
    case FavouriteKind::File:
      return;
    }
  }

  const TFileLines& FFile;
  TEncodingCheck FEncoding;
  std::vector<Diagnostic>& FOut;
  std::map<std::u16string, int32_t> FTargets; // target -> the file line it was first on
};

// Causes before what follows from them: the file's own first, then each cause with its
// consequences, by line.
void SortCausesFirst(std::vector<Diagnostic>& Diagnostics, int32_t EncodingFault) {
  const auto Key = [EncodingFault](const Diagnostic& D) {
    const int32_t Anchor = D.Because == 0 ? D.Line : D.Because == EncodingFault ? 0 : D.Because;
    return std::tuple(Anchor, D.Because != 0, D.Line);
  };
  std::stable_sort(Diagnostics.begin(), Diagnostics.end(),
                   [&](const Diagnostic& A, const Diagnostic& B) { return Key(A) < Key(B); });
}

} // namespace

Report CheckSettings(std::string_view Bytes, std::u16string_view Folder,
                     plugin::LookupClock::time_point Deadline) {
  Report R;
  R.Encoding = DetectTextEncoding(Bytes);
  TCommonStringRecordList Lines;
  Lines.SetText(DecodeText(Bytes, R.Encoding));
  const TFileLines File(Bytes, R.Encoding, Lines);

  // The plug-in's own build, look-ups and deadline included; its entries as it appended them.
  plugin::TTargetLookups Lookups(Deadline);
  plugin::TFavouritesMenuBuilder Builder(plugin::CollectFavouriteEntries(Lines, Lookups), &Lookups);
  TCheckWalk Walk(Builder, Lines.Count());
  plugin::WalkFavourites(Lines, Walk);
  const plugin::TFavouritesMenu Menu = Builder.Finish();
  std::set<platform::MenuHandle> Reached;
  R.Tree = ReadTree(Menu.Root(), File.Number, Reached);
  R.Drawing = platform::DescribeMenu(Menu.Root());

  const TEncodingCheck Encoding = CheckEncoding(Bytes, R.Encoding, File, R.Diagnostics);
  if (Encoding.Misread)
    return R;
  TChecker Check(File, Encoding, R.Diagnostics);
  const auto Trimmed = [&](int32_t I) { return plugin::TrimBlanksAndControls(Lines.GetItem(I)); };
  const auto FollowsFrom = [&](int32_t Index) {
    const auto Cause = Walk.IgnoredAfter(Index);
    return Cause ? Check.Line(Cause->Index) : 0;
  };
  // An over-indented line comes first, with every submenu it keeps from being closed.
  std::set<int32_t> Unclosed;
  std::map<int32_t, std::vector<std::u16string>> Hidden; // by the ignored line's file line
  for (int32_t Header : Walk.Headers)
    if (!Walk.Closed(Header)) {
      Unclosed.insert(Header);
      Hidden[FollowsFrom(Header)].push_back(plugin::FileNamePart(Trimmed(Header)));
    }
  for (const TIgnoredLine& L : Walk.Ignored) {
    if (L.MostAllowed == 0) {
      Check.Add(L.Index, Severity::Warning, Problem::IgnoredBeforeTop, {Decimal(L.Depth)});
      continue;
    }
    const auto Lost = Hidden.find(Check.Line(L.Index));
    Diagnostic& D =
        Check.Add(L.Index, Severity::Warning,
                  Lost == Hidden.end() ? Problem::IgnoredJump : Problem::IgnoredJumpHides,
                  {Decimal(L.Depth), Decimal(L.MostAllowed), Decimal(L.Depth - L.MostAllowed)});
    if (Lost != Hidden.end())
      D.Hidden = Lost->second;
  }
  for (int32_t Header : Walk.Headers) {
    const size_t First = R.Diagnostics.size();
    Check.Header(Header, plugin::IndentLevel(Lines.GetItem(Header)), Trimmed(Header));
    if (Unclosed.contains(Header))
      Check.Add(Header, Severity::Warning, Problem::HeaderNeverClosed,
                {plugin::FileNamePart(Trimmed(Header))});
    // The line that makes it a header is one too deep: what it says follows from that.
    const int32_t Cause = FollowsFrom(Header);
    for (size_t D = First; D < R.Diagnostics.size(); ++D)
      if (R.Diagnostics[D].Kind != Problem::FullWidthIndent &&
          (Walk.IsIgnored(Header + 1) || R.Diagnostics[D].Kind == Problem::HeaderNeverClosed))
        R.Diagnostics[D].Because = Cause;
  }
  for (int32_t I = 0; I < Lines.Count(); ++I) {
    if (!Walk.IsItem[static_cast<size_t>(I)])
      continue;
    if (!Reached.contains(Walk.In[static_cast<size_t>(I)]))
      Check.Add(I, Severity::Warning, Problem::NotShown).Because = FollowsFrom(I);
    Check.Entry(I, plugin::IndentLevel(Lines.GetItem(I)), Builder.Entries()[static_cast<size_t>(I)],
                Trimmed(I), Folder);
  }
  SortCausesFirst(R.Diagnostics, Encoding.Fault);
  return R;
}

int ExitStatus(const Report& R) {
  return std::any_of(R.Diagnostics.begin(), R.Diagnostics.end(),
                     [](const Diagnostic& D) { return D.Level == Severity::Warning; })
             ? 1
             : 0;
}

} // namespace marigold::check
