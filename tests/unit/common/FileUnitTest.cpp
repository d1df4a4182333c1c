#include "lib/FileUnit.h"
#include "base/Errors.h"
#include "base/Unicode.h"
#include "platform/Files.h"

#include "FileUnitTestFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

using namespace marigold;

namespace {

// "io:" or "general:" and the message of the error Call raises; "" when it raises none.
template <class F> std::u16string Failure(F&& Call) {
  try {
    Call();
  } catch (const EInOutError& E) {
    return u"io:" + E.Message();
  } catch (const Exception& E) {
    return u"general:" + E.Message();
  }
  return u"";
}

// Whether the failure of Call carries the system's error.
template <class F> bool CarriesSystemError(F&& Call) {
  try {
    Call();
  } catch (const Exception& E) {
    return static_cast<bool>(E.Code());
  }
  return false;
}

std::u16string FindMessage(std::u16string_view Path) {
  return u"general:Error:FindFile " + std::u16string(Path);
}
std::u16string LoadMessage(std::u16string_view Path) {
  return u"io:Error:LoadAnsiStringFromFile\r\n" + std::u16string(Path);
}
std::u16string SaveMessage(std::u16string_view Path) {
  return u"io:Error:SaveAnsiStringToFile\r\n" + std::u16string(Path);
}

bool IsLeadByte(int Byte) {
  return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

// Every byte sequence that can start a code page 932 character: the single bytes and each lead
// byte with every possible second byte.
std::vector<std::string> AllSequences() {
  std::vector<std::string> Result;
  for (int Byte = 0; Byte < 256; ++Byte) {
    if (!IsLeadByte(Byte))
      Result.emplace_back(1, static_cast<char>(Byte));
    else
      for (int Trail = 0; Trail < 256; ++Trail)
        Result.push_back({static_cast<char>(Byte), static_cast<char>(Trail)});
  }
  return Result;
}

} // namespace

TEST_F(FileTest, FindFileReportsFilesAndFolders) {
  WriteBytes(At(u"a.txt"), "12345");
  std::filesystem::create_directory(Real(At(u"sub")));

  const TFileFindResult File = FindFile(At(u"a.txt"));
  EXPECT_EQ(File.Name, u"a.txt");
  EXPECT_EQ(File.Size, 5);
  EXPECT_EQ(File.Attributes & (platform::AttributeDirectory | platform::AttributeReadOnly), 0u);
  const auto Now = std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::system_clock::now().time_since_epoch())
                       .count();
  const int64_t NowInFileTime = 116444736000000000 + Now * 10000000;
  EXPECT_LT(std::abs(File.Time - NowInFileTime), int64_t{3600} * 10000000);

  const TFileFindResult Folder = FindFile(At(u"sub"));
  EXPECT_EQ(Folder.Name, u"sub");
  EXPECT_EQ(Folder.Size, 0);
  EXPECT_NE(Folder.Attributes & platform::AttributeDirectory, 0u);

  SetReadOnly(At(u"a.txt"), true);
  EXPECT_NE(FindFile(At(u"a.txt")).Attributes & platform::AttributeReadOnly, 0u);
}

TEST_F(FileTest, FindFileHonoursWildcards) {
  for (auto Name : {u"a.txt", u"c.txt", u"b.log", u"ab.log"})
    WriteBytes(At(Name), "x");
  const struct {
    std::u16string Pattern;
    std::vector<std::u16string> Matches;
  } Cases[] = {
      {u"*.txt", {u"a.txt", u"c.txt"}},
      {u"?.log", {u"b.log"}},
      {u"a?.*", {u"ab.log"}},
      {u"c.t?t", {u"c.txt"}},
  };
  for (const auto& Case : Cases) {
    const std::u16string Found = FindFile(At(Case.Pattern)).Name;
    EXPECT_NE(std::find(Case.Matches.begin(), Case.Matches.end(), Found), Case.Matches.end())
        << ToUtf8(Case.Pattern) << " found " << ToUtf8(Found);
  }
  EXPECT_EQ(Failure([&] { (void)FindFile(At(u"*.none")); }), FindMessage(At(u"*.none")));
}

TEST_F(FileTest, NothingFoundRaisesTheFindFileError) {
  for (const std::u16string& Path :
       {At(u"missing.txt"), At(u"no-folder\\a.txt"), At(u"a.txt\\"), std::u16string()}) {
    EXPECT_EQ(Failure([&] { (void)FindFile(Path); }), FindMessage(Path));
    // Loading passes the search's error on unchanged.
    EXPECT_EQ(Failure([&] { (void)LoadAnsiStringFromFile(Path); }), FindMessage(Path));
  }
}

TEST_F(FileTest, EmptyFilesAndFoldersLoadAsEmpty) {
  WriteBytes(At(u"empty.txt"), "");
  std::filesystem::create_directory(Real(At(u"sub")));
  EXPECT_EQ(LoadAnsiStringFromFile(At(u"empty.txt")), "");
  EXPECT_EQ(LoadAnsiStringFromFile(At(u"sub")), "");
}

TEST_F(FileTest, BytesSurviveSaveAndLoadExactly) {
  std::mt19937 Random(5);
  std::string Noise(100000, '\0');
  for (char& C : Noise)
    C = static_cast<char>(Random());
  const std::string Cases[] = {
      "a\r\nb",
      "",
      std::string("\0\xFF\x81\r", 4),
      "cr\rlf\ncrlf\r\n",
      "\xEF\xBB\xBF"
      "bom",
      Noise,
  };
  for (const std::string& Data : Cases) {
    SaveAnsiStringToFile(At(u"t.txt"), Data);
    EXPECT_EQ(ReadBytes(At(u"t.txt")), Data);
    EXPECT_EQ(LoadAnsiStringFromFile(At(u"t.txt")), Data);
    EXPECT_EQ(Names(), std::vector<std::string>{"t.txt"}) << "a temporary file was left";
  }
}

TEST_F(FileTest, SaveReplacesTheWholeContent) {
  WriteBytes(At(u"t.txt"), "a much longer former content");
  SaveAnsiStringToFile(At(u"t.txt"), "new");
  EXPECT_EQ(ReadBytes(At(u"t.txt")), "new");
  SaveAnsiStringToFile(At(u"t.txt"), "");
  EXPECT_EQ(std::filesystem::file_size(Real(At(u"t.txt"))), 0u);
  SaveAnsiStringToFile(At(u"new.txt"), "");
  EXPECT_TRUE(std::filesystem::exists(Real(At(u"new.txt"))));
}

TEST_F(FileTest, LineBreaksSurviveTheTextRoundTrip) {
  WriteBytes(At(u"t.txt"), "a\r\nb");
  const std::u16string Text = DecodeAnsiText(LoadAnsiStringFromFile(At(u"t.txt")));
  EXPECT_EQ(Text, u"a\r\nb");
  SaveAnsiStringToFile(At(u"t.txt"), EncodeAnsiText(Text));
  EXPECT_EQ(ReadBytes(At(u"t.txt")), "a\r\nb");
}

TEST_F(FileTest, FailedSavesLeaveTheFormerFile) {
  WriteBytes(At(u"locked.txt"), "former");
  SetReadOnly(At(u"locked.txt"), true);
  std::filesystem::create_directory(Real(At(u"folder.txt")));
  for (const std::u16string& Path : {At(u"locked.txt"), At(u"folder.txt"), At(u"no-folder\\a.txt"),
                                     At(u"*.txt"), FFolder + u"\\"}) {
    EXPECT_EQ(Failure([&] { SaveAnsiStringToFile(Path, "new"); }), SaveMessage(Path));
    // A name that names no file is our own rule's refusal; the others are the system's.
    EXPECT_EQ(CarriesSystemError([&] { SaveAnsiStringToFile(Path, "new"); }), Path.back() != u'\\')
        << ToUtf8(Path);
  }
  EXPECT_EQ(ReadBytes(At(u"locked.txt")), "former");
  EXPECT_TRUE(std::filesystem::is_directory(Real(At(u"folder.txt"))));
  EXPECT_EQ(Names(), (std::vector<std::string>{"folder.txt", "locked.txt"}));
}

TEST_F(FileTest, PathsOf260UnitsAreRefusedNotCut) {
  const size_t Room = 259 - At(u"").size();
  const std::u16string Longest = At(std::u16string(Room, u'a'));
  const std::u16string TooLong = At(std::u16string(Room + 1, u'a'));
  ASSERT_EQ(Longest.size(), 259u);

  SaveAnsiStringToFile(Longest, "259");
  EXPECT_EQ(LoadAnsiStringFromFile(Longest), "259");
  EXPECT_EQ(FindFile(Longest).Size, 3);

  // The file exists, so a refusal cannot be a plain "not found".
  WriteBytes(TooLong, "260");
  ASSERT_EQ(ReadBytes(TooLong), "260");
  EXPECT_EQ(Failure([&] { (void)FindFile(TooLong); }), FindMessage(TooLong));
  EXPECT_EQ(Failure([&] { (void)LoadAnsiStringFromFile(TooLong); }), LoadMessage(TooLong));
  EXPECT_EQ(Failure([&] { SaveAnsiStringToFile(TooLong, "new"); }), SaveMessage(TooLong));
  // Our own rule refused, not the system: there is no reason of the system's to show.
  EXPECT_FALSE(CarriesSystemError([&] { SaveAnsiStringToFile(TooLong, "new"); }));
  EXPECT_EQ(ReadBytes(TooLong), "260");
}

TEST_F(FileTest, PathsWithNulAreRefusedNotCut) {
  WriteBytes(At(u"a.txt"), "former");
  const std::u16string Path = At(u"a.txt") + u'\0' + u"x";
  EXPECT_EQ(Failure([&] { (void)FindFile(Path); }), FindMessage(Path));
  EXPECT_EQ(Failure([&] { (void)LoadAnsiStringFromFile(Path); }), LoadMessage(Path));
  EXPECT_EQ(Failure([&] { SaveAnsiStringToFile(Path, "new"); }), SaveMessage(Path));
  EXPECT_EQ(ReadBytes(At(u"a.txt")), "former");
}

TEST_F(FileTest, EmojiIsSavedAsTheSubstitute) {
  SaveAnsiStringToFile(At(u"t.txt"), EncodeAnsiText(u"x\U0001F600y"));
  EXPECT_EQ(ReadBytes(At(u"t.txt")), "x??y");
  EXPECT_EQ(DecodeAnsiText(LoadAnsiStringFromFile(At(u"t.txt"))), u"x??y");
}

TEST(AnsiText, ConvertsEveryUnitIncludingNul) {
  EXPECT_EQ(DecodeAnsiText(""), u"");
  EXPECT_EQ(EncodeAnsiText(u""), "");
  const std::string Bytes("a\0\x82\xA0\0", 5);
  const std::u16string Text(u"a\0\u3042\0", 4);
  EXPECT_EQ(DecodeAnsiText(Bytes), Text);
  EXPECT_EQ(EncodeAnsiText(Text), Bytes);
}

TEST(AnsiText, ByteOrderMarkStaysCharacters) {
  // EF BB is no character of code page 932, BF is a half-width katakana.
  EXPECT_EQ(DecodeAnsiText("\xEF\xBB\xBF"
                           "a\r\n"),
            u"\u30FB\uFF7Fa\r\n");
}

TEST(AnsiText, UndefinedSequencesBecomeTheDefaultCharacter) {
  const struct {
    std::string Bytes;
    std::u16string Text;
  } Cases[] = {
      {"\x85\x40", u"\u30FB"}, // lead and trail of no character: one substitute for both
      {"\x81\x20"
       "a",
       u"\u30FBa"},          // a lead byte takes any second byte with it
      {"a\x81", u"a\u30FB"}, // lead byte cut off at the end
      {std::string("\x81\0a", 3), std::u16string(u"\u30FB\0a", 3)}, // a NUL is never swallowed
      {"\x80\xA0\xFD\xFE\xFF", u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"},
  };
  for (const auto& Case : Cases)
    EXPECT_EQ(DecodeAnsiText(Case.Bytes), Case.Text) << Case.Bytes;
}

TEST(AnsiText, EveryCharacterOfCodePage932Survives) {
  int Characters = 0;
  for (const std::string& Bytes : AllSequences()) {
    const std::u16string Text = DecodeAnsiText(Bytes);
    if (Text.size() != 1 || (Text[0] == 0x30FB && Bytes != "\x81\x45"))
      continue; // no character of the code page
    ++Characters;
    const std::string Encoded = EncodeAnsiText(Text);
    ASSERT_EQ(DecodeAnsiText(Encoded), Text) << Bytes;
    // Characters with two codes (NEC and IBM extensions) come back as their preferred code,
    // which is stable itself.
    if (Encoded != Bytes) {
      ASSERT_EQ(EncodeAnsiText(DecodeAnsiText(Encoded)), Encoded) << Bytes;
    }
  }
  EXPECT_EQ(Characters, 196 + 9604); // single bytes and pairs Windows defines
}

TEST(AnsiText, DecodingMatchesTheWindowsTable) {
  // FNV-1a over the decoding of every sequence, as Windows (Wine) decodes code page 932.
  uint64_t Hash = 14695981039346656037u;
  for (const std::string& Bytes : AllSequences())
    for (char16_t Unit : DecodeAnsiText(Bytes))
      Hash = (Hash ^ Unit) * 1099511628211u;
  EXPECT_EQ(Hash, 6578522682460647123u);
}
