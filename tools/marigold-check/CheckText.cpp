// The words of marigold-check, in Japanese and English, and its two forms of the report.

#include "CheckReport.h"

#include "base/TextFormat.h"
#include "base/Unicode.h"
#include "lib/FileNameUnit.h"

#include <array>
#include <map>

namespace marigold::check {

namespace {

// One row of a table of words, which holds a row for each value of Id, in order.
template <class Id> struct Row {
  Id Kind;
  std::string_view Key, Fields;
  std::u16string_view English, Japanese;
  constexpr Message Words() const { return {Key, Fields, English, Japanese}; }
};
template <class Id, size_t N> constexpr bool InOrder(const Row<Id> (&Rows)[N]) {
  for (size_t I = 0; I < N; ++I)
    if (static_cast<size_t>(Rows[I].Kind) != I)
      return false;
  return N == static_cast<size_t>(Id::Count);
}

constexpr Row<Problem> Problems[] = {
    {Problem::Missing, "missing", "path", u"the target {0} does not exist: the entry is grayed",
     u"{0} が見つからないため、項目は灰色になります"},
    {Problem::Relative, "relative", "path absolute",
     u"{0} is a relative path: the entry is disabled, as only absolute paths open{a}",
     u"{0} は相対パスです。開けるのは絶対パスだけなので、項目は無効になります{a}"},
    {Problem::InvalidPath, "invalid-path", "path",
     u"{0} is not a valid path ({r}): the entry is disabled",
     u"{0} はパスとして正しくありません ({r})。項目は無効になります"},
    {Problem::TooManyFields, "too-many-fields", "fields",
     u"the line has {0} TAB-separated fields, but at most 2 (caption and path) are allowed: the "
     u"entry is disabled and shows the whole line",
     u"TAB で区切られた欄が {0} 個あります。欄は 2 個 (表示名とパス) までなので、項目は無効になり、"
     u"行全体が表示されます"},
    {Problem::IgnoredJump, "ignored-jump", "depth allowed excess",
     u"ignored: indented {0} levels deep, where {1} is the most allowed (one more than the line "
     u"before); remove {n} of indentation",
     u"無視されます: 字下げが {0} 段ありますが、ここでは {1} 段 (前の行より 1 段深い) までです。"
     u"字下げを {n}減らしてください"},
    {Problem::IgnoredJumpHides, "ignored-jump-hides", "depth allowed excess",
     u"ignored: indented {0} levels deep, where {1} is the most allowed (one more than the line "
     u"before), and with it the menu loses {s}; remove {n} of indentation",
     u"無視されます: 字下げが {0} 段ありますが、ここでは {1} 段 (前の行より 1 段深い) までです。"
     u"このため{s}もメニューから消えます。字下げを {n}減らしてください"},
    {Problem::IgnoredBeforeTop, "ignored-before-top", "depth",
     u"ignored: the line is indented, but comes before the first line without indentation; remove "
     u"its indentation",
     u"無視されます: 字下げのない最初の行より前にある、字下げされた行です。"
     u"字下げをなくしてください"},
    {Problem::HeaderNeverClosed, "header-never-closed", "caption",
     u"the submenu \"{0}\" does not appear in the menu",
     u"サブメニュー「{0}」はメニューに表示されません"},
    {Problem::NotShown, "not-shown", "",
     u"the entry does not appear in the menu, as its submenu does not",
     u"この項目は、入っているサブメニューごとメニューに表示されません"},
    {Problem::HeaderWithTarget, "header-with-target", "target",
     u"the next line is indented deeper, so this line is a header line and its target {0} makes no "
     u"entry; to keep the entry, write it as a line of its own inside the submenu, or remove the "
     u"indentation of the lines below",
     u"次の行の字下げが深いため、この行は見出し行になり、{0} "
     u"は項目になりません。項目として残すには、"
     u"サブメニューの中に別の行として書くか、下の行の字下げをなくしてください"},
    {Problem::EmptyLine, "empty-line", "", u"empty line: a disabled entry without a caption",
     u"空行です。表示名のない無効な項目になります"},
    {Problem::EmptyHeader, "empty-header", "",
     u"an empty line is a header line here, as the next line is indented deeper: its submenu has "
     u"no caption",
     u"次の行の字下げが深いため、空行が見出し行になり、サブメニューの表示名が空になります"},
    {Problem::Duplicate, "duplicate", "earlier", u"the same target as line {0}",
     u"{0} 行目と同じパスとオプションです"},
    {Problem::Unanswered, "unanswered", "path deadline",
     u"the look-up of {0} did not answer within {1} ms: the menu shows the entry enabled",
     u"{0} の確認が {1} ミリ秒以内に終わらなかったため、項目は選べる状態で表示されます"},
    {Problem::Encoding, "encoding", "encoding", u"the plug-in reads this file as {c}",
     u"プラグインはこのファイルを{c}として読みます"},
    {Problem::LooksLikeUtf8, "looks-like-utf-8", "line",
     u"the file is UTF-8, but line {0} holds a byte that is not, so the plug-in reads the whole "
     u"file as ANSI (Shift_JIS on Japanese Windows) and its Japanese text comes out garbled; open "
     u"the file in the editor as UTF-8 (not as Shift_JIS), correct the character on line {0}, and "
     u"save it as UTF-8",
     u"このファイルは UTF-8 ですが、{0} 行目に UTF-8 として読めないバイトがあるため、プラグインは"
     u"ファイル全体をシフト JIS (ANSI) "
     u"として読み、日本語が文字化けします。エディターで文字コードを "
     u"UTF-8 に指定して開き (シフト JIS ではなく)、{0} 行目のその文字を直してから UTF-8 で保存"
     u"してください"},
    {Problem::LooksLikeUtf16, "looks-like-utf-16", "order",
     u"the file looks like UTF-16 {0} without a byte order mark (BOM), so it is read as ANSI "
     u"and no line means what it says (the lines are not checked); save it as UTF-8, or as "
     u"UTF-16 with a BOM",
     u"BOM のない UTF-16 {0} のファイルに見えます。そのためシフト JIS (ANSI) として読まれ、どの行も"
     u"正しく読めません (行ごとの確認はしていません)。UTF-8 か、BOM 付きの UTF-16 で保存し直して"
     u"ください"},
    {Problem::UnstorableBytes, "unstorable-bytes", "encoding",
     u"the line holds bytes that are not {c} text: the menu shows substitutes for them; type those "
     u"characters again and save",
     u"この行には{c}の文字として読めないバイトがあり、メニューには代わりの文字が表示されます。"
     u"その文字を入力し直して保存してください"},
    {Problem::JoinedLine, "joined-line", "encoding next",
     u"the line ends in a byte that is not {c} text, which takes the line break with it: line {1} "
     u"is read as part of this line; type the last character of this line again and save",
     u"この行の末尾に{c}の文字として読めないバイトがあり、改行と合わせて 1 文字として読まれるため、"
     u"{1} 行目がこの行の続きとして読まれます。この行の最後の文字を入力し直して保存してください"},
    {Problem::CommentLine, "comment-line", "mark",
     u"a line starting with \"{0}\" is no comment: the plug-in reads it as a favourite like any "
     u"other{e}; to leave a favourite out, delete its line",
     u"「{0}」で始まる行もコメントにはならず、ほかの行と同じくお気に入りとして読まれます{e}。"
     u"使わないお気に入りは行ごと削除してください"},
    {Problem::QuotedPath, "quoted-path", "path",
     u"{0} is enclosed in double quotes (as \"Copy as path\" copies it), and a path cannot hold "
     u"them{e}; remove the double quotes",
     u"{0} がダブルクォーテーション (\") で囲まれています (「パスのコピー」でコピーするとこうなり"
     u"ます)。パスに \" は使えません{e}。\" を取り除いてください"},
    {Problem::FullWidthSpace, "full-width-space", "path before",
     u"{0} has a full-width space after \"{1}\"{e}; type a half-width space there instead (an "
     u"option such as /l 120 needs a half-width space before it)",
     u"{0} の「{1}」の後ろに全角スペースがあります{e}。半角スペースに直してください (/l 120 などの"
     u"オプションの前は半角スペースです)"},
    {Problem::FullWidthSpaceFirst, "full-width-space-first", "path",
     u"{0} begins with a full-width space{e}; delete it",
     u"{0} は全角スペースで始まっています{e}。全角スペースを削除してください"},
    {Problem::FullWidthIndent, "full-width-indent", "level",
     u"the line is indented with a full-width space, which is no indentation (only TABs are): the "
     u"line is read as indented {0} levels{e}; indent it with TABs",
     u"全角スペースで字下げされていますが、字下げになるのは TAB だけなので、この行は字下げ {0} 段の"
     u"行として読まれます{e}。TAB で字下げしてください"},
    {Problem::TrailingBackslash, "trailing-backslash", "path caption",
     u"{0} ends in \\, so the entry's caption is \"{1}\", without a name; remove the \\ at its end",
     u"{0} は \\ で終わっているため、表示名が「{1}」となり、名前が出ません。末尾の \\ を削除して"
     u"ください"},
    {Problem::RootWithoutCaption, "root-without-caption", "path caption",
     u"{0} is a drive's root, so the entry's caption is \"{1}\", without a name; write a caption "
     u"and a TAB before the path",
     u"{0} はドライブのルートなので、表示名が「{1}」となり、名前が出ません。パスの前に表示名と TAB "
     u"を書いてください"},
    {Problem::Expanded, "expanded", "path expanded",
     u"with its environment variables put in, {0} is {1} here",
     u"環境変数を展開すると、{0} はこの環境では {1} になります"},
    {Problem::UnsetVariable, "unset-variable", "variable",
     u"{0} is not set here{e}; set the environment variable, or write the path out in full",
     u"環境変数 {0} はこの環境では設定されていません{e}。環境変数を設定するか、パスを省略せずに"
     u"書いてください"},
};

// The texts that are not problems.
constexpr Row<Text> Texts[] = {
    {Text::Heading, "heading", "",
     u"The menu (the favourites; the fixed entries 登録, 設定編集 and キャンセル follow them):",
     u"メニュー (お気に入りの部分。"
     u"この後に固定の項目「登録」「設定編集」「キャンセル」が続きます):"},
    {Text::NoFavourites, "no-favourites", "", u"(no favourites)", u"(お気に入りはありません)"},
    {Text::Legend, "legend", "",
     u"(#N: the entry made from line N; grayed: its target is not found; disabled: it cannot be "
     u"chosen, though Windows draws it like any other; >: a submenu)",
     u"(#N: N 行目から作られた項目、灰色: 対象が見つからない項目、無効: 選べない項目 (見た目は"
     u"普通の項目と同じです)、>: サブメニュー)"},
    {Text::Grayed, "grayed", "", u"grayed", u"灰色"},
    {Text::Disabled, "disabled", "", u"disabled", u"無効"},
    {Text::Counts, "counts", "", u"{0}, {1}", u"{0}、{1}"},
    {Text::OneWarning, "one-warning", "", u"1 warning", u"警告 1 件"},
    {Text::Warnings, "warnings", "", u"{0} warnings", u"警告 {0} 件"},
    {Text::OneNote, "one-note", "", u"1 note", u"注記 1 件"},
    {Text::Notes, "notes", "", u"{0} notes", u"注記 {0} 件"},
    {Text::Because, "because", "", u" (because of line {0})", u" ({0} 行目が原因です)"},
    {Text::Usage, "usage", "",
     u"usage: marigold-check [FILE] [--json] [--lang ja|en]\n"
     u"       marigold-check --help | --version\n"
     u"Shows the favourites menu the plug-in makes from its settings file, and why a line does not "
     u"become an ordinary entry.\n"
     u"  FILE          the settings file; without it, the one the plug-in uses beside this "
     u"program\n"
     u"  --json        the report as one JSON document\n"
     u"  --lang ja|en  the report's language (also --lang=ja); without it, the user's language\n"
     u"  -h, --help    this help\n"
     u"  --version     the version number\n"
     u"Exit status: 0 without a warning, 1 with one, 2 when the file cannot be read or an "
     u"option is wrong.\n",
     u"使い方: marigold-check [ファイル] [--json] [--lang ja|en]\n"
     u"        marigold-check --help | --version\n"
     u"設定ファイルからプラグインが作るお気に入りのメニューを表示し、普通の項目にならない行には"
     u"その理由を示します。\n"
     u"  ファイル      調べる設定ファイル。省略すると、このプログラムのフォルダーでプラグインが使う"
     u"設定ファイル\n"
     u"  --json        結果を 1 つの JSON 文書として出力します\n"
     u"  --lang ja|en  表示する言語 (--lang=ja とも書けます)。省略すると Windows の表示言語に"
     u"合わせます\n"
     u"  -h, --help    この説明を表示します\n"
     u"  --version     バージョンを表示します\n"
     u"終了コード: 警告がなければ 0、警告があれば 1、"
     u"ファイルを読めないかオプションが正しくなければ 2\n"},
    {Text::UnknownOption, "unknown-option", "", u"unknown option {0}",
     u"{0} というオプションはありません"},
    {Text::LanguageValue, "language-value", "", u"--lang takes ja or en, not {0}",
     u"--lang には ja か en を指定してください ({0} は指定できません)"},
    {Text::SecondFile, "second-file", "", u"only one FILE, not also {0}",
     u"ファイルは 1 つだけ指定してください ({0} は余分です)"},
    {Text::CannotRead, "cannot-read", "", u"{0}: error: cannot read the file: {1}",
     u"{0}: error: ファイルを読めません: {1}"},
    {Text::NoFileGiven, "no-file-given", "",
     u"marigold-check: no FILE given: checking the settings file the plug-in uses when run from "
     u"this program's folder (as the editor's folder, no PlugInsFolder setting): {0}",
     u"marigold-check: ファイルの指定がないため、プラグインがこのプログラムのフォルダー "
     u"(エディターのフォルダー) から使う設定ファイルを調べます "
     u"(PlugInsFolder の設定は使いません): {0}"},
    {Text::EffectDisabled, "effect-disabled", "", u": the entry is disabled",
     u"。項目は無効になります"},
    {Text::EffectGrayed, "effect-grayed", "", u": the entry is grayed", u"。項目は灰色になります"},
    {Text::Ansi, "ansi", "", u"ANSI (Shift_JIS on Japanese Windows)", u"シフト JIS (ANSI)"},
    {Text::OneLevel, "one-level", "", u"one level", u"1 段"},
    {Text::Levels, "levels", "", u"{0} levels", u"{0} 段"},
    {Text::Quoted, "quoted", "", u"\"{0}\"", u"「{0}」"},
    {Text::ListSeparator, "list-separator", "", u", ", u"、"},
    {Text::OneSubmenu, "one-submenu", "", u"the submenu {0} with all its entries",
     u"サブメニュー{0}とその中の項目"},
    {Text::Submenus, "submenus", "", u"the submenus {0} with all their entries",
     u"サブメニュー{0}とその中の項目"},
    {Text::AbsoluteForm, "absolute-form", "",
     u" (from the settings file's folder, the absolute path is {0})",
     u" (設定ファイルのフォルダーから見た絶対パスは {0} です)"},
    {Text::RuleInvalidCharacter, "rule-invalid-character", "", u"it contains one of / * ? \" < > |",
     u"/ * ? \" < > | のどれかが含まれています"},
    {Text::RuleEmpty, "rule-empty", "", u"it is empty", u"空です"},
    {Text::RuleSingleLeadingBackslash, "rule-single-leading-backslash", "",
     u"only the UNC path of a share, \\\\server\\share, may begin with a backslash",
     u"\\ で始められるのは共有フォルダーの UNC パス (\\\\サーバー\\共有名) だけです"},
    {Text::RuleEmptyComponent, "rule-empty-component", "",
     u"it has an empty component: a doubled \\ inside or at its end",
     u"途中か末尾に \\ が 2 つ続いていて、空の部分があります"},
    {Text::RuleDotsInside, "rule-dots-inside", "", u". and .. may only lead the path",
     u". と .. はパスの先頭にしか置けません"},
    {Text::RuleLeadingDot, "rule-leading-dot", "", u"a component begins with a dot",
     u"ドットで始まる部分があります"},
    {Text::RuleMisplacedColon, "rule-misplaced-colon", "",
     u"a colon may only follow the drive letter", u"コロンはドライブ文字の直後にしか置けません"},
};
static_assert(InOrder(Problems) && InOrder(Texts));

std::u16string_view Pick(const Message& M, Language Lang) {
  return Lang == Language::Japanese ? M.Japanese : M.English;
}

Message Words(Text T) {
  return Texts[static_cast<size_t>(T)].Words();
}
Message Words(Problem Kind) {
  return Problems[static_cast<size_t>(Kind)].Words();
}

// Pattern with {0}, {1}, ... taken from Args and {x} from Named.
std::u16string Fill(std::u16string_view Pattern, const std::vector<std::u16string>& Args,
                    const std::map<char16_t, std::u16string>& Named = {}) {
  std::u16string Out;
  for (size_t I = 0; I < Pattern.size(); ++I) {
    if (Pattern[I] == u'{' && I + 2 < Pattern.size() && Pattern[I + 2] == u'}') {
      const char16_t Key = Pattern[I + 1];
      const size_t Arg = static_cast<size_t>(Key - u'0');
      if (Key >= u'0' && Key <= u'9' && Arg < Args.size())
        Out += Args[Arg];
      else if (const auto Found = Named.find(Key); Found != Named.end())
        Out += Found->second;
      I += 2;
      continue;
    }
    Out += Pattern[I];
  }
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

} // namespace

std::vector<Message> Messages() {
  std::vector<Message> All;
  for (const auto& R : Problems)
    All.push_back(R.Words());
  for (const auto& R : Texts)
    All.push_back(R.Words());
  return All;
}

std::u16string Say(Text T, Language Lang, const std::vector<std::u16string>& Args) {
  return Fill(Pick(Words(T), Lang), Args);
}

std::string_view ProblemName(Problem Kind) {
  return Words(Kind).Key;
}

std::u16string DiagnosticMessage(const Diagnostic& D, Language Lang) {
  const auto Arg = [&D](size_t I) { return I < D.Args.size() ? D.Args[I] : std::u16string(); };
  std::map<char16_t, std::u16string> Named;
  if (D.Kind == Problem::Encoding || D.Kind == Problem::UnstorableBytes ||
      D.Kind == Problem::JoinedLine)
    Named[u'c'] = Arg(0) == EncodingName(TextEncoding::Ansi) ? Say(Text::Ansi, Lang) : Arg(0);
  if (Lang == Language::Japanese && Named.contains(u'c'))
    // Blanks set a name in Latin letters off from the Japanese around it.
    Named[u'c'] = (Named[u'c'].front() < 0x80 ? u" " : u"") + Named[u'c'] + u" ";
  if (D.Effect != Outcome::None)
    Named[u'e'] =
        Say(D.Effect == Outcome::Disabled ? Text::EffectDisabled : Text::EffectGrayed, Lang);
  Named[u'n'] = Arg(2) == u"1" ? Say(Text::OneLevel, Lang) : Say(Text::Levels, Lang, {Arg(2)});
  if (D.Rule != PathRule::None)
    Named[u'r'] = Say(static_cast<Text>(static_cast<size_t>(Text::RuleInvalidCharacter) +
                                        static_cast<size_t>(D.Rule) - 1),
                      Lang);
  std::u16string Submenus;
  for (const std::u16string& Caption : D.Hidden)
    Submenus += (Submenus.empty() ? u"" : Say(Text::ListSeparator, Lang)) +
                Say(Text::Quoted, Lang, {Caption});
  Named[u's'] = Say(D.Hidden.size() == 1 ? Text::OneSubmenu : Text::Submenus, Lang, {Submenus});
  if (!Arg(1).empty())
    Named[u'a'] = Say(Text::AbsoluteForm, Lang, {Arg(1)});
  std::u16string Out = Fill(Pick(Words(D.Kind), Lang), D.Args, Named);
  if (D.Because != 0)
    Out += Say(Text::Because, Lang, {Decimal(D.Because)});
  return Out;
}

std::u16string Visible(std::u16string_view S, bool TabArrow) {
  std::u16string Out;
  for (char16_t C : S) {
    if (C == u'\t') {
      Out += TabArrow ? u'⇥' : C;
    } else if (C < 0x20 || (C >= 0x7F && C <= 0x9F)) {
      Out += u"<U+";
      AppendHex(Out, C, 4, HexCase::Upper);
      Out += u'>';
    } else {
      Out += C;
    }
  }
  return Out;
}

namespace {

// The tree as DescribeMenu draws it, each entry numbered by its file line, the states in Lang.
void TreeText(const std::vector<TreeItem>& Items, int Depth, Language Lang, std::u16string& Out) {
  for (const TreeItem& T : Items) {
    Out.append(static_cast<size_t>(Depth) * 2 + 2, u' ');
    if (T.Separator) {
      Out += u"-\n";
      continue;
    }
    Out += Visible(T.Caption) + (T.Submenu ? u" >" : u" #" + Decimal(T.Line));
    if (T.Grayed)
      Out += u" " + Say(Text::Grayed, Lang);
    if (T.Disabled)
      Out += u" " + Say(Text::Disabled, Lang);
    Out += u'\n';
    TreeText(T.Children, Depth + 1, Lang, Out);
  }
}

void TreeJson(const std::vector<TreeItem>& Items, std::string& Out) {
  Out += '[';
  for (size_t I = 0; I < Items.size(); ++I) {
    const TreeItem& T = Items[I];
    Out += I ? "," : "";
    if (T.Separator) {
      Out += "{\"separator\":true}";
      continue;
    }
    Out += "{\"caption\":" + JsonString(Visible(T.Caption, /*TabArrow=*/false));
    if (!T.Submenu)
      Out += ",\"id\":" + std::to_string(T.Id) + ",\"line\":" + std::to_string(T.Line);
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

std::string FormatText(const Report& R, std::u16string_view FileLabel, Language Lang) {
  std::u16string Out = Say(Text::Heading, Lang) + u"\n";
  if (R.Tree.empty())
    Out += u"  " + Say(Text::NoFavourites, Lang) + u"\n";
  TreeText(R.Tree, 0, Lang, Out);
  if (!R.Tree.empty())
    Out += Say(Text::Legend, Lang) + u"\n";
  const std::u16string File = Visible(FileLabel);
  for (const Diagnostic& D : R.Diagnostics) {
    Out += File;
    if (D.Line > 0)
      Out += u":" + Decimal(D.Line);
    const std::string_view Level = SeverityName(D.Level);
    Out += u": " + std::u16string(Level.begin(), Level.end()) + u": " +
           Visible(DiagnosticMessage(D, Lang)) + u"\n";
  }
  const int Warnings = Count(R, Severity::Warning), Notes = Count(R, Severity::Note);
  Out += Say(Text::Counts, Lang,
             {Warnings == 1 ? Say(Text::OneWarning, Lang)
                            : Say(Text::Warnings, Lang, {Decimal(Warnings)}),
              Notes == 1 ? Say(Text::OneNote, Lang) : Say(Text::Notes, Lang, {Decimal(Notes)})}) +
         u"\n";
  return ToUtf8(Out);
}

std::string FormatJson(const Report& R, std::u16string_view FileLabel, Language Lang) {
  std::string Out = "{\"file\":" + JsonString(Visible(FileLabel, /*TabArrow=*/false)) +
                    ",\"encoding\":" + JsonString(EncodingName(R.Encoding)) + ",\"tree\":";
  TreeJson(R.Tree, Out);
  Out += ",\"diagnostics\":[";
  for (size_t I = 0; I < R.Diagnostics.size(); ++I) {
    const Diagnostic& D = R.Diagnostics[I];
    Out += I ? "," : "";
    Out += "{\"line\":" + std::to_string(D.Line) + ",\"severity\":\"" +
           std::string(SeverityName(D.Level)) + "\",\"kind\":\"" +
           std::string(ProblemName(D.Kind)) +
           "\",\"message\":" + JsonString(Visible(DiagnosticMessage(D, Lang)));
    // Each argument under its name, as the message table names them.
    std::string_view Fields = Words(D.Kind).Fields;
    for (size_t A = 0; A < D.Args.size() && !Fields.empty(); ++A) {
      const size_t End = std::min(Fields.find(' '), Fields.size());
      Out += ",\"" + std::string(Fields.substr(0, End)) +
             "\":" + JsonString(Visible(D.Args[A], /*TabArrow=*/false));
      Fields.remove_prefix(std::min(End + 1, Fields.size()));
    }
    if (D.Because != 0)
      Out += ",\"because\":" + std::to_string(D.Because);
    if (!D.Hidden.empty()) {
      Out += ",\"submenus\":[";
      for (size_t H = 0; H < D.Hidden.size(); ++H)
        Out += std::string(H ? "," : "") + JsonString(Visible(D.Hidden[H], /*TabArrow=*/false));
      Out += "]";
    }
    Out += "}";
  }
  Out += "],\"warnings\":" + std::to_string(Count(R, Severity::Warning)) +
         ",\"notes\":" + std::to_string(Count(R, Severity::Note)) +
         ",\"exit\":" + std::to_string(ExitStatus(R)) + "}\n";
  return Out;
}

std::string JsonString(std::u16string_view S) {
  std::string Out = "\"";
  for (size_t I = 0; I < S.size();) {
    const auto [C, Length] = CodePointAt(S, I);
    I += Length;
    if (C == u'"' || C == u'\\') {
      Out += '\\';
      Out += static_cast<char>(C);
    } else if (C == u'\n') {
      Out += "\\n";
    } else if (C == u'\r') {
      Out += "\\r";
    } else if (C == u'\t') {
      Out += "\\t";
    } else if (C < 0x20 || IsSurrogate(C)) {
      // Control characters and lone surrogates as escapes: the document stays valid UTF-8.
      Out += "\\u";
      AppendHex(Out, C, 4, HexCase::Lower);
    } else {
      AppendUtf8(Out, C);
    }
  }
  return Out + "\"";
}

} // namespace marigold::check
