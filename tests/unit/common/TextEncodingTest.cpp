// How a settings file's bytes are read, and which texts each encoding can hold exactly.
#include "lib/TextEncoding.h"
#include "base/Unicode.h"

#include <gtest/gtest.h>

using namespace marigold;
using namespace std::string_view_literals;

namespace {

struct DetectCase {
  std::string_view Bytes;
  TextEncoding Encoding;
  std::u16string_view Text;
};

const DetectCase DetectCases[] = {
    {"", TextEncoding::Ansi, u""},
    {"plain ASCII\r\n", TextEncoding::Ansi, u"plain ASCII\r\n"},
    {"\xEF\xBB\xBF\xE3\x83\xA1\xE3\x83\xA2", TextEncoding::Utf8Bom, u"メモ"},
    {"\xEF\xBB\xBF", TextEncoding::Utf8Bom, u""},
    {"\xE3\x83\xA1\xE3\x83\xA2\tC:\\\xE3\x83\xA1.txt", TextEncoding::Utf8, u"メモ\tC:\\メ.txt"},
    {"\xF0\x9F\x98\x80", TextEncoding::Utf8, u"\U0001F600"},
    {"\xFF\xFE"
     "a\0\xA1\x30"sv,
     TextEncoding::Utf16Le, u"a\u30A1"},
    {"\xFE\xFF"
     "\0a\x30\xA1"sv,
     TextEncoding::Utf16Be, u"a\u30A1"},
    {"\xFF\xFE"
     "a",
     TextEncoding::Utf16Le, u"\uFFFD"}, // half a unit
    // Not strict UTF-8, so ANSI: code page 932, an overlong, an encoded surrogate, a cut tail.
    {"\x83\x81\x83\x82", TextEncoding::Ansi, u"メモ"},
    {"\xC0\xAF", TextEncoding::Ansi, u"\xFF\xFF"},
    {"\xED\xA0\x80", TextEncoding::Ansi, u"\xFF\xFF\xFF"},
    {"ok \xE3\x83", TextEncoding::Ansi, u"\xFF\xFF\xFF\xFF\xFF"},
};

TEST(TextEncoding, TheFirstBytesDecideAndTheTextReadsWithoutItsMark) {
  for (const auto& Case : DetectCases) {
    const std::string Bytes(Case.Bytes);
    const TextEncoding Encoding = DetectTextEncoding(Bytes);
    EXPECT_EQ(Encoding, Case.Encoding) << Bytes;
    // ANSI reads as DecodeAnsiText does; its exact text is the code page's business.
    if (Case.Encoding != TextEncoding::Ansi || Case.Text.find(u'\xFF') == std::u16string::npos) {
      EXPECT_EQ(DecodeText(Bytes, Encoding), Case.Text) << Bytes;
    }
  }
}

TEST(TextEncoding, EveryUnicodeEncodingGivesItsBytesBack) {
  for (const auto& Case : DetectCases) {
    const std::string Bytes(Case.Bytes);
    const TextEncoding Encoding = DetectTextEncoding(Bytes);
    if (Encoding == TextEncoding::Ansi || Case.Text.find(u'\uFFFD') != std::u16string::npos)
      continue;
    const auto Encoded = EncodeTextExactly(DecodeText(Bytes, Encoding), Encoding);
    ASSERT_TRUE(Encoded) << Bytes;
    EXPECT_EQ(std::string(ByteOrderMark(Encoding)) + *Encoded, Bytes);
  }
}

TEST(TextEncoding, WhatAnEncodingCannotHoldIsRefusedNotReplaced) {
  const struct {
    std::u16string_view Text;
    TextEncoding Encoding;
    bool Stored;
  } Cases[] = {
      {u"メモ.txt", TextEncoding::Ansi, true},
      {u"C:\\Work\\한국어.txt", TextEncoding::Ansi, false},
      {u"\U0001F600.txt", TextEncoding::Ansi, false},
      {u"caf\u00E9", TextEncoding::Ansi, false}, // best fit would write 'e'
      {u"C:\\Work\\한국어.txt", TextEncoding::Utf8, true},
      {u"\U0001F600.txt", TextEncoding::Utf16Be, true},
      {u"lone \xD800 surrogate", TextEncoding::Utf8Bom, false},
      {u"lone \xDC00 surrogate", TextEncoding::Utf16Le, false},
  };
  for (const auto& Case : Cases)
    EXPECT_EQ(EncodeTextExactly(Case.Text, Case.Encoding).has_value(), Case.Stored)
        << ToUtf8(Case.Text) << " in " << ToUtf8(EncodingName(Case.Encoding));
}

} // namespace
