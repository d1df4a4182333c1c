// The words of marigold-check's report, in English and Japanese, and its two forms.

#include "CheckReport.h"

#include "base/Errors.h"
#include "base/Unicode.h"
#include "lib/FileNameUnit.h"

namespace marigold::check {

namespace {

struct Texts {
  std::u16string_view English;
  std::u16string_view Japanese;
};

// By Problem; {0} and {1} are the diagnostic's arguments.
constexpr Texts ProblemTexts[] = {
    {u"the target {0} does not exist: the entry is grayed",
     u"{0} が存在しないため、項目は灰色表示になります"},
    {u"{0} is a relative path: the entry is disabled, as only absolute paths open{1}",
     u"{0} は相対パスです。絶対パスしか開けないため、項目は無効になります{1}"},
    {u"{0} is not a valid path ({1}): the entry is disabled",
     u"{0} は正しいパスではありません ({1})。項目は無効になります"},
    {u"the line has {0} TAB-separated fields, at most 2 (label and target) are allowed: the entry "
     u"is disabled and shows the whole line",
     u"TAB で区切られた欄が {0} 個あります。欄は 2 個 (ラベルと対象) までです。項目は無効になり、"
     u"行全体が表示されます"},
    {u"ignored: indented {0} levels deep, at most {1} allowed here (one more than the line "
     u"before)",
     u"無視されます: 字下げが {0} 段ですが、ここでは {1} 段までです (前の行より 1 段深くまで)"},
    {u"ignored: indented {0} levels before the first line without indentation",
     u"無視されます: 字下げのない最初の行より前にある、字下げ {0} 段の行です"},
    {u"header \"{0}\": its submenu is never closed, so it does not appear in the menu",
     u"見出し「{0}」のサブメニューが閉じられないため、メニューに現れません"},
    {u"not shown: the entry belongs to a submenu that is never closed",
     u"表示されません: この項目は閉じられないサブメニューの中にあります"},
    {u"this line is a header because the next line is indented deeper: its target {0} makes no "
     u"entry (indent the lines below it, or move them)",
     u"次の行の字下げが深いため、この行は見出しになります。対象 {0} は項目になりません"},
    {u"empty line: a disabled entry without a caption",
     u"空行です: 見出しのない無効な項目になります"},
    {u"empty line heads a submenu without a caption",
     u"空行が、見出しのないサブメニューの見出しになっています"},
    {u"the same target as line {0}", u"{0} 行目と同じ対象です"},
    {u"the look-up of {0} did not answer within {1} ms: the menu shows the entry enabled",
     u"{0} の確認が {1} ミリ秒以内に終わらなかったため、項目は有効として表示されます"},
    {u"the plug-in reads this file as {0}", u"プラグインはこのファイルを {0} として読みます"},
    {u"the file looks like UTF-8, but this line is not valid UTF-8, so the whole file is read as "
     u"ANSI (the system code page) and non-ASCII captions come out garbled; save it as UTF-8 again",
     u"UTF-8 のファイルに見えますが、この行が UTF-8 として正しくないため、ファイル全体が ANSI "
     u"(システムのコードページ) として読まれ、英数字以外の文字が化けます。UTF-8 "
     u"で保存し直してください"},
    {u"the file looks like UTF-16 {0} without a byte order mark, so it is read as ANSI and no line "
     u"means what it says; save it with a byte order mark, or as UTF-8",
     u"BOM のない UTF-16 {0} のファイルに見えるため、ANSI として読まれ、どの行も正しく読めません。"
     u"BOM 付きか UTF-8 で保存し直してください"},
    {u"the line holds bytes that are not {0} text: the menu shows substitutes for them",
     u"この行には {0} の文字として読めないバイトがあり、メニューには代わりの文字が表示されます"},
};

constexpr Texts RuleTexts[] = {
    {u"", u""},
    {u"it contains one of / * ? \" < > |", u"/ * ? \" < > | のいずれかを含んでいます"},
    {u"it is empty", u"空です"},
    {u"only a UNC path \\\\server\\share may begin with a backslash",
     u"\\ で始められるのは UNC パス \\\\サーバー\\共有 だけです"},
    {u"it has an empty component: a doubled \\ inside or at its end",
     u"空の部分があります (途中か末尾に \\ が二つ続いています)"},
    {u". and .. may only lead the path", u". と .. はパスの先頭にしか置けません"},
    {u"a component begins with a dot", u"ドットで始まる部分があります"},
    {u"a colon may only follow the drive letter", u"コロンはドライブ文字の直後にしか置けません"},
};

std::u16string_view Pick(const Texts& T, Language Lang) {
  return Lang == Language::Japanese ? T.Japanese : T.English;
}

std::u16string Fill(std::u16string_view Pattern, const std::vector<std::u16string>& Args) {
  std::u16string Out;
  for (size_t I = 0; I < Pattern.size(); ++I) {
    if (Pattern[I] == u'{' && I + 2 < Pattern.size() && Pattern[I + 2] == u'}') {
      const size_t Arg = static_cast<size_t>(Pattern[I + 1] - u'0');
      if (Arg < Args.size())
        Out += Args[Arg];
      I += 2;
      continue;
    }
    Out += Pattern[I];
  }
  return Out;
}

// Captions keep their TABs visible, as the main job draws them.
std::string Readable(std::string_view Drawing) {
  std::string Out;
  for (char C : Drawing)
    Out += C == '\t' ? std::string("⇥") : std::string(1, C);
  return Out;
}

int Count(const Report& R, Severity Level) {
  int N = 0;
  for (const Diagnostic& D : R.Diagnostics)
    N += D.Level == Level;
  return N;
}

std::string_view SeverityName(Severity Level) {
  return Level == Severity::Warning ? "warning" : "note";
}

constexpr std::string_view KindNames[] = {
    "missing",
    "relative",
    "invalid-path",
    "too-many-fields",
    "ignored-jump",
    "ignored-before-top",
    "header-never-closed",
    "not-shown",
    "header-with-target",
    "empty-line",
    "empty-header",
    "duplicate",
    "unanswered",
    "encoding",
    "looks-like-utf-8",
    "looks-like-utf-16",
    "unstorable-bytes",
};
static_assert(std::size(KindNames) == std::size(ProblemTexts));

} // namespace

std::string_view ProblemName(Problem Kind) {
  return KindNames[static_cast<size_t>(Kind)];
}

namespace {

void TreeJson(const std::vector<TreeItem>& Items, std::string& Out) {
  Out += '[';
  for (size_t I = 0; I < Items.size(); ++I) {
    const TreeItem& T = Items[I];
    Out += I ? "," : "";
    if (T.Separator) {
      Out += "{\"separator\":true}";
      continue;
    }
    Out += "{\"caption\":" + JsonString(T.Caption);
    if (!T.Submenu)
      Out += ",\"id\":" + std::to_string(T.Id);
    Out += std::string(",\"state\":\"") +
           (T.Grayed     ? "grayed"
            : T.Disabled ? "disabled"
                         : "enabled") +
           "\"";
    if (T.Submenu) {
      Out += ",\"submenu\":";
      TreeJson(T.Children, Out);
    }
    Out += '}';
  }
  Out += ']';
}

} // namespace

std::u16string DiagnosticMessage(const Diagnostic& D, Language Lang) {
  std::vector<std::u16string> Args = D.Args;
  if (D.Kind == Problem::InvalidPath)
    Args.emplace_back(Pick(RuleTexts[static_cast<size_t>(D.Rule)], Lang));
  if (D.Kind == Problem::Relative && Args.size() == 2 && !Args[1].empty())
    Args[1] =
        (Lang == Language::Japanese ? u" (設定ファイルのフォルダーからの絶対パスは "
                                    : u" (from the settings file's folder, the absolute path is ") +
        Args[1] + u")";
  if (D.Kind == Problem::Encoding && Args.size() == 1 && Args[0] == u"ANSI")
    Args[0] +=
        Lang == Language::Japanese ? u" (システムのコードページ)" : u" (the system code page)";
  return Fill(Pick(ProblemTexts[static_cast<size_t>(D.Kind)], Lang), Args);
}

std::string FormatText(const Report& R, std::u16string_view FileLabel, Language Lang) {
  const bool Ja = Lang == Language::Japanese;
  std::string Out =
      Ja ? "メニュー (お気に入りの部分。この後に固定の項目「登録」「設定編集」「キャンセル」が"
           "続きます):\n"
         : "The menu (the favourites; the fixed entries 登録, 設定編集 and キャンセル "
           "follow them):\n";
  if (R.Drawing.empty())
    Out += Ja ? "  (お気に入りはありません)\n" : "  (no favourites)\n";
  for (size_t Start = 0; Start < R.Drawing.size();) {
    const size_t End = R.Drawing.find('\n', Start);
    Out += "  " + Readable(R.Drawing.substr(Start, End - Start)) + "\n";
    Start = End == std::string::npos ? R.Drawing.size() : End + 1;
  }
  const std::string File = ToUtf8(FileLabel);
  for (const Diagnostic& D : R.Diagnostics) {
    Out += File;
    if (D.Line > 0) {
      Out += ':';
      Out += std::to_string(D.Line);
    }
    Out += ": " + std::string(SeverityName(D.Level)) + ": " +
           Readable(ToUtf8(DiagnosticMessage(D, Lang))) + "\n";
  }
  const int Warnings = Count(R, Severity::Warning), Notes = Count(R, Severity::Note);
  Out += Ja ? "警告 " + std::to_string(Warnings) + " 件、注記 " + std::to_string(Notes) + " 件\n"
            : std::to_string(Warnings) + (Warnings == 1 ? " warning, " : " warnings, ") +
                  std::to_string(Notes) + (Notes == 1 ? " note\n" : " notes\n");
  return Out;
}

std::string FormatJson(const Report& R, std::u16string_view FileLabel, Language Lang) {
  std::string Out = "{\"file\":" + JsonString(FileLabel) +
                    ",\"encoding\":" + JsonString(EncodingName(R.Encoding)) + ",\"tree\":";
  TreeJson(R.Tree, Out);
  Out += ",\"diagnostics\":[";
  for (size_t I = 0; I < R.Diagnostics.size(); ++I) {
    const Diagnostic& D = R.Diagnostics[I];
    Out += I ? "," : "";
    Out += "{\"line\":" + std::to_string(D.Line) + ",\"severity\":\"" +
           std::string(SeverityName(D.Level)) + "\",\"kind\":\"" +
           std::string(ProblemName(D.Kind)) +
           "\",\"message\":" + JsonString(DiagnosticMessage(D, Lang)) + "}";
  }
  Out += "],\"warnings\":" + std::to_string(Count(R, Severity::Warning)) +
         ",\"notes\":" + std::to_string(Count(R, Severity::Note)) +
         ",\"exit\":" + std::to_string(ExitStatus(R)) + "}\n";
  return Out;
}

std::string JsonString(std::u16string_view S) {
  std::string Out = "\"";
  for (size_t I = 0; I < S.size(); ++I) {
    const char16_t C = S[I];
    const bool High = C >= 0xD800 && C <= 0xDBFF;
    const bool Paired = High && I + 1 < S.size() && S[I + 1] >= 0xDC00 && S[I + 1] <= 0xDFFF;
    if (Paired) {
      AppendUtf8(Out, 0x10000 + ((static_cast<char32_t>(C) - 0xD800) << 10) + (S[++I] - 0xDC00));
    } else if (C == u'"' || C == u'\\') {
      Out += '\\';
      Out += static_cast<char>(C);
    } else if (C == u'\n') {
      Out += "\\n";
    } else if (C == u'\r') {
      Out += "\\r";
    } else if (C == u'\t') {
      Out += "\\t";
    } else if (C < 0x20 || (C >= 0xD800 && C <= 0xDFFF)) {
      // Control characters and lone surrogates as escapes: the document stays valid UTF-8.
      static constexpr char Hex[] = "0123456789abcdef";
      Out += "\\u";
      for (int Shift = 12; Shift >= 0; Shift -= 4)
        Out += Hex[(C >> Shift) & 0xF];
    } else {
      AppendUtf8(Out, C);
    }
  }
  return Out + "\"";
}

} // namespace marigold::check
