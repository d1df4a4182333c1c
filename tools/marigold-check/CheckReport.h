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

enum class Problem : uint8_t {
  Missing,           // {0} path
  Relative,          // {0} path, {1} the absolute path from the file's folder (may be empty)
  InvalidPath,       // {0} path, {1} the rule it breaks (Diagnostic::Rule)
  TooManyFields,     // {0} number of fields
  IgnoredJump,       // {0} depth, {1} the most allowed
  IgnoredBeforeTop,  // {0} depth
  HeaderNeverClosed, // {0} the header's caption
  NotShown,          // the entry lies in a submenu that is never attached
  HeaderWithTarget,  // {0} the target that makes no entry
  EmptyLine,
  EmptyHeader,
  Duplicate,       // {0} the earlier line's number
  Unanswered,      // {0} path, {1} the deadline in ms
  Encoding,        // {0} the encoding's name
  LooksLikeUtf8,   // the first line that is not UTF-8
  LooksLikeUtf16,  // {0} "LE" or "BE"
  UnstorableBytes, // {0} the encoding's name
};

struct Diagnostic {
  int32_t Line = 0; // counted from 1; 0 for the whole file
  Severity Level = Severity::Warning;
  Problem Kind = Problem::Missing;
  std::vector<std::u16string> Args;
  PathRule Rule = PathRule::None; // the rule an invalid path breaks
};

// One entry of the menu as the system holds it, with its submenu's entries.
struct TreeItem {
  bool Separator = false;
  std::u16string Caption;
  uintptr_t Id = 0;
  bool Grayed = false;
  bool Disabled = false;
  bool Submenu = false;
  std::vector<TreeItem> Children;
};

struct Report {
  TextEncoding Encoding = TextEncoding::Ansi;
  std::vector<TreeItem> Tree;          // the favourites menu's root entries
  std::string Drawing;                 // the same as DescribeMenu draws it
  std::vector<Diagnostic> Diagnostics; // by line, the file's own first
};

// The report on a settings file's Bytes. Folder is the file's folder as an absolute Windows path
// (for the absolute form of a relative path; empty when unknown). Targets are looked up as the
// plug-in does, waiting until Deadline at most.
[[nodiscard]] Report CheckSettings(std::string_view Bytes, std::u16string_view Folder,
                                   plugin::LookupClock::time_point Deadline);

enum class Language : uint8_t { English, Japanese };

// The diagnostic's text in Language, without the file, line and severity.
[[nodiscard]] std::u16string DiagnosticMessage(const Diagnostic& D, Language Lang);

// The problem's name in the JSON report: "missing", "relative", ...
[[nodiscard]] std::string_view ProblemName(Problem Kind);

// 0 without a warning, 1 with one.
[[nodiscard]] int ExitStatus(const Report& R);

// The report for people: the drawing, then one "FILE:LINE: warning: ..." or "note" line each,
// then the counts. FileLabel names the file as the user gave it.
[[nodiscard]] std::string FormatText(const Report& R, std::u16string_view FileLabel, Language Lang);
// The same as one JSON document: file, encoding, tree, diagnostics, counts.
[[nodiscard]] std::string FormatJson(const Report& R, std::u16string_view FileLabel, Language Lang);

// S as a JSON string literal, quotes included; control characters and lone surrogates escaped.
// JsonString(u"a\"\t") == "\"a\\\"\\t\""
[[nodiscard]] std::string JsonString(std::u16string_view S);

} // namespace marigold::check
