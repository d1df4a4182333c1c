#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marigold {

// Character classes and conversions between cases, widths and kana forms. Characters are
// UTF-16 code units; a set of characters is a string listing them.

enum TCharMembership : std::uint8_t { cmEmpty, cmAll, cmNone, cmMixed };

// Values above ccHiraganaToKatakana convert nothing.
enum TCharConversion : std::uint8_t {
  ccToUpper,
  ccToLower,
  ccLettersToWide,
  ccLettersToNarrow,
  ccSymbolsToWide,
  ccSymbolsToNarrow,
  ccDigitsToWide,
  ccDigitsToNarrow,
  ccKanaToWide,
  ccKanaToNarrow,
  ccKanaToHiragana,
  ccHiraganaToKatakana
};

// Index-parallel conversion tables: entry i of one corresponds to entry i of its partner.
inline constexpr std::u16string_view LowerCaseLetters =
    u"abcdefghijklmnopqrstuvwxyzａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ";
inline constexpr std::u16string_view UpperCaseLetters =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ";
inline constexpr std::u16string_view NarrowLetters =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
inline constexpr std::u16string_view WideLetters =
    u"ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔ"
    u"ｕｖｗｘｙｚ";
inline constexpr std::u16string_view NarrowDigits = u"0123456789-+/.";
inline constexpr std::u16string_view WideDigits = u"０１２３４５６７８９－＋／．";
inline constexpr std::u16string_view NarrowSymbols = u"!?$\\%&#'\"_()[]<>{}-+/*=.,;:@| ";
inline constexpr std::u16string_view WideSymbols =
    u"！？＄\uFFE5％＆＃\u2019\u201D＿（）［］＜＞｛｝－＋／＊＝．，；：＠｜\u3000";

inline constexpr std::size_t KanaTableSize = 87;
// Half-width katakana: the 25 voiced syllables (base and mark, two units each) first, then the
// plain syllables, the small kana and the marks, so that a base followed by its mark converts
// as one piece.
inline constexpr std::array<std::u16string_view, KanaTableSize> NarrowKanaTable = {
    u"ｶﾞ", u"ｷﾞ", u"ｸﾞ", u"ｹﾞ", u"ｺﾞ", u"ｻﾞ", u"ｼﾞ", u"ｽﾞ", u"ｾﾞ", u"ｿﾞ", u"ﾀﾞ", u"ﾁﾞ", u"ﾂﾞ",
    u"ﾃﾞ", u"ﾄﾞ", u"ﾊﾞ", u"ﾋﾞ", u"ﾌﾞ", u"ﾍﾞ", u"ﾎﾞ", u"ﾊﾟ", u"ﾋﾟ", u"ﾌﾟ", u"ﾍﾟ", u"ﾎﾟ", u"ｱ",
    u"ｲ",  u"ｳ",  u"ｴ",  u"ｵ",  u"ｶ",  u"ｷ",  u"ｸ",  u"ｹ",  u"ｺ",  u"ｻ",  u"ｼ",  u"ｽ",  u"ｾ",
    u"ｿ",  u"ﾀ",  u"ﾁ",  u"ﾂ",  u"ﾃ",  u"ﾄ",  u"ﾅ",  u"ﾆ",  u"ﾇ",  u"ﾈ",  u"ﾉ",  u"ﾊ",  u"ﾋ",
    u"ﾌ",  u"ﾍ",  u"ﾎ",  u"ﾏ",  u"ﾐ",  u"ﾑ",  u"ﾒ",  u"ﾓ",  u"ﾔ",  u"ﾕ",  u"ﾖ",  u"ﾗ",  u"ﾘ",
    u"ﾙ",  u"ﾚ",  u"ﾛ",  u"ﾜ",  u"ｦ",  u"ﾝ",  u"ｧ",  u"ｨ",  u"ｩ",  u"ｪ",  u"ｫ",  u"ｬ",  u"ｭ",
    u"ｮ",  u"ｯ",  u"ﾟ",  u"ｰ",  u"･",  u"､",  u"｡",  u"｢",  u"｣",
};
// Full-width katakana, one unit per entry.
inline constexpr std::u16string_view WideKanaTable =
    u"ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ"
    u"アイウエオカキクケコサシスセソタチツテトナニヌネノ"
    u"ハヒフヘホマミムメモヤユヨラリルレロワヲンァィゥェ"
    u"ォャュョッ゜ー・、。「」";
// Hiragana; the seven marks at the end are the same as in WideKanaTable.
inline constexpr std::u16string_view HiraganaTable =
    u"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ"
    u"あいうえおかきくけこさしすせそたちつてとなにぬねの"
    u"はひふへほまみむめもやゆよらりるれろわをんぁぃぅぇ"
    u"ぉゃゅょっ゜ー・、。「」";

static_assert(LowerCaseLetters.size() == 52 && UpperCaseLetters.size() == 52 &&
              NarrowLetters.size() == 52 && WideLetters.size() == 52);
static_assert(NarrowDigits.size() == 14 && WideDigits.size() == 14);
static_assert(NarrowSymbols.size() == 30 && WideSymbols.size() == 30);
static_assert(WideKanaTable.size() == KanaTableSize && HiraganaTable.size() == KanaTableSize);

// True when Ch is one of the characters of Chars; false for an empty Chars.
[[nodiscard]] bool CharInString(char16_t Ch, std::u16string_view Chars) noexcept;

// cmEmpty for an empty S or Chars; cmAll or cmNone when every character of S is, or none is,
// in Chars; cmMixed otherwise. ClassifyChars(u"C1", AsciiLetters) == cmMixed
[[nodiscard]] TCharMembership ClassifyChars(std::u16string_view S,
                                            std::u16string_view Chars) noexcept;

// Maps every character of S in place: each entry of FromChars in order turns a character equal
// to it into the ToChars entry of the same index (a written character that equals a later
// FromChars entry is mapped again). Nothing happens when the two differ in length.
void ReplaceChars(std::u16string& S, std::u16string_view FromChars, std::u16string_view ToChars);

// One one-character string per character, in order.
std::vector<std::u16string> CharsToStrings(std::u16string_view Chars);

// Converts S in place. The kana conversions may change the length: ccKanaToWide turns the
// half-width u"ｶﾞｷ" into u"ガキ", ccKanaToNarrow turns u"ガ" into u"ｶﾞ". Values above 11 do
// nothing.
void ConvertChars(std::u16string& S, TCharConversion Conversion);

} // namespace marigold
