#pragma once

// The two migration questions, written out line by line as the user reads them.

#include <initializer_list>
#include <string>
#include <string_view>

inline std::u16string JoinLines(std::initializer_list<std::u16string_view> Lines) {
  std::u16string Text;
  for (auto Line : Lines)
    Text += std::u16string(Line) + u"\r\n";
  return Text.substr(0, Text.size() - 2);
}

inline const std::u16string BothFilesQuestion = JoinLines({
    u"設定ファイル名が変更になっています。",
    u"旧バージョン/新バージョン、両方の設定ファイルが存在します。",
    u"移行しますか？",
    u"--------------------",
    u"処理内容",
    u"  バックアップ",
    u"    旧バージョン:Marigolds.ini >> Marigolds_ini.bak",
    u"    新バージョン:Marigolds_Setting.txt >> Marigolds_Setting_txt.bak",
    u"  移行",
    u"    Marigolds.ini >> Marigolds_Setting.txt",
});
inline const std::u16string LegacyFileQuestion = JoinLines({
    u"設定ファイル名が変更になっています。",
    u"旧バージョンの設定ファイルが存在します。",
    u"移行しますか？",
    u"--------------------",
    u"処理内容",
    u"  バックアップ",
    u"    旧バージョン:Marigolds.ini >> Marigolds_ini.bak",
    u"  移行",
    u"    Marigolds.ini >> Marigolds_Setting.txt",
});
