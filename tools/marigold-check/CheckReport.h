#pragma once

// What marigold-check says about a settings file: the favourites menu the plug-in builds from it
// and, for every line that does not become an ordinary enabled entry, why. Everything here is
// decided by the plug-in's own walk, entries and path rules; this unit only listens to them.

#include "lib/FileNameUnit.h"
#include "lib/TextEncoding.h"
#include "plugin/TargetLookups.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marigold::check {

enum class Severity : uint8_t { Warning, Note };

// Each problem's words and JSON fields are its row of the problem table (CheckText.cpp).
enum class Problem : uint8_t {
  Missing,             // {0} path
  Relative,            // {0} path, {1} the absolute path from the file's folder (may be empty)
  InvalidPath,         // {0} path; the rule it breaks is Diagnostic::Rule
  TooManyFields,       // {0} number of fields
  IgnoredJump,         // {0} depth, {1} the most allowed, {2} levels too deep
  IgnoredJumpHides,    // as IgnoredJump; the submenus lost with it are Diagnostic::Hidden
  IgnoredBeforeTop,    // {0} depth
  HeaderNeverClosed,   // {0} the header's caption
  NotShown,            // the entry lies in a submenu that is never attached
  HeaderWithTarget,    // {0} the target that makes no entry
  EmptyLine,           //
  EmptyHeader,         //
  Duplicate,           // {0} the earlier line's number
  Unanswered,          // {0} path, {1} the deadline in ms
  Encoding,            // {0} the encoding's name
  LooksLikeUtf8,       // {0} the first line that is not UTF-8
  LooksLikeUtf16,      // {0} "LE" or "BE"
  UnstorableBytes,     // {0} the encoding's name
  JoinedLine,          // {0} the encoding's name, {1} the line read as part of this one
  CommentLine,         // {0} the first character
  QuotedPath,          // {0} path
  FullWidthSpace,      // {0} path, {1} the text before its first full-width space
  FullWidthSpaceFirst, // {0} path
  FullWidthIndent,     // {0} the level the line stays at
  TrailingBackslash,   // {0} path, {1} the caption
  RootWithoutCaption,  // {0} path, {1} the caption
  Expanded,            // {0} path, {1} the path with its environment variables put in
  UnsetVariable,       // {0} "%NAME%"
  Count                // the number of problems
};

// What a line's problem does to its entry, as the message says it.
enum class Outcome : uint8_t { None, Disabled, Grayed };

struct Diagnostic {
  int32_t Line = 0; // the file's own line, counted from 1; 0 for the whole file
  Severity Level = Severity::Warning;
  Problem Kind = Problem::Missing;
  std::vector<std::u16string> Args;
  PathRule Rule = PathRule::None;       // the rule an invalid path breaks
  Outcome Effect = Outcome::None;       // for the problems that name a cause on an entry's line
  int32_t Because = 0;                  // the line whose problem this one follows from; 0 for none
  std::vector<std::u16string> Hidden{}; // IgnoredJumpHides: the submenus' captions
};

// One entry of the menu as the system holds it, with its submenu's entries.
struct TreeItem {
  bool Separator = false;
  std::u16string Caption;
  uintptr_t Id = 0;
  int32_t Line = 0; // the file's line the entry is made from; 0 for a submenu
  bool Grayed = false;
  bool Disabled = false;
  bool Submenu = false;
  std::vector<TreeItem> Children;
};

struct Report {
  TextEncoding Encoding = TextEncoding::Ansi;
  std::vector<TreeItem> Tree;          // the favourites menu's root entries
  std::string Drawing;                 // the same as DescribeMenu draws it
  std::vector<Diagnostic> Diagnostics; // the file's own first, then by line, causes first
};

// The report on a settings file's Bytes. Folder is the file's folder as an absolute Windows path
// (for the absolute form of a relative path; empty when unknown). Targets are looked up as the
// plug-in does, waiting until Deadline at most; environment variables are the system's.
[[nodiscard]] Report CheckSettings(std::string_view Bytes, std::u16string_view Folder,
                                   plugin::LookupClock::time_point Deadline);

enum class Language : uint8_t { English, Japanese };

// One text of the tool in both languages. {0}, {1}, ... are a diagnostic's arguments; {c}, {e},
// {n}, {r}, {s} are filled with other texts of the same language.
struct Message {
  std::string_view Key;    // a problem's name in the JSON report, or the text's own name
  std::string_view Fields; // a problem's JSON names for {0}, {1}, ..., separated by blanks
  std::u16string_view English;
  std::u16string_view Japanese;
};
// Every text: the problems' in Problem order, then the others.
[[nodiscard]] std::vector<Message> Messages();

// The texts that are not problems.
enum class Text : uint8_t {
  Heading,
  NoFavourites,
  Legend,
  Grayed,
  Disabled,
  Counts,
  OneWarning,
  Warnings,
  OneNote,
  Notes,
  Because,
  Usage,
  UnknownOption,
  LanguageValue,
  SecondFile,
  CannotRead,
  NoFileGiven,
  // Parts of other texts.
  EffectDisabled,
  EffectGrayed,
  Ansi,
  OneLevel,
  Levels,
  Quoted,
  ListSeparator,
  OneSubmenu,
  Submenus,
  AbsoluteForm,
  RuleInvalidCharacter, // then one for each later PathRule, in order
  RuleEmpty,
  RuleSingleLeadingBackslash,
  RuleEmptyComponent,
  RuleDotsInside,
  RuleLeadingDot,
  RuleMisplacedColon,
  Count // the number of texts
};

// Text T in Lang with {0}, {1}, ... filled from Args.
[[nodiscard]] std::u16string Say(Text T, Language Lang,
                                 const std::vector<std::u16string>& Args = {});

// The diagnostic's text in Language, without the file, line and severity.
[[nodiscard]] std::u16string DiagnosticMessage(const Diagnostic& D, Language Lang);

// The problem's name in the JSON report: "missing", "relative", ...
[[nodiscard]] std::string_view ProblemName(Problem Kind);

// 0 without a warning, 1 with one.
[[nodiscard]] int ExitStatus(const Report& R);

// S for a reader: a TAB as "⇥" (or kept, without TabArrow), other control characters as
// "<U+0000>".
[[nodiscard]] std::u16string Visible(std::u16string_view S, bool TabArrow = true);

// The report for people: the menu and its legend, then one "FILE:LINE: warning: ..." or "note"
// line each, then the counts. FileLabel names the file as the user gave it.
[[nodiscard]] std::string FormatText(const Report& R, std::u16string_view FileLabel, Language Lang);
// The same as one JSON document: file, encoding, tree, diagnostics, counts.
[[nodiscard]] std::string FormatJson(const Report& R, std::u16string_view FileLabel, Language Lang);

// S as a JSON string literal, quotes included; control characters and lone surrogates escaped.
// JsonString(u"a\"\t") == "\"a\\\"\\t\""
[[nodiscard]] std::string JsonString(std::u16string_view S);

} // namespace marigold::check
