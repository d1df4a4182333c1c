#include "base/Errors.h"
#include "base/WideText.h"
#include "lib/FileUnit.h"
#include "platform/Files.h"

#include "../common/FileUnitTestFolder.h"

#include <gtest/gtest.h>

#include <thread>

using namespace marigold;

namespace {

// Another process's handle on a file, with the sharing it grants.
class Holder {
public:
  Holder(std::u16string_view Path, DWORD Access, DWORD Sharing)
      : FHandle(CreateFileW(marigold::ToWide(Path).c_str(), Access, Sharing, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;
  ~Holder() { Release(); }
  bool Holds() const { return FHandle != INVALID_HANDLE_VALUE; }
  void Release() {
    if (Holds())
      CloseHandle(FHandle);
    FHandle = INVALID_HANDLE_VALUE;
  }

private:
  HANDLE FHandle;
};

std::u16string IoMessage(std::u16string_view Operation, std::u16string_view Path) {
  return u"Error:" + std::u16string(Operation) + u"\r\n" + std::u16string(Path);
}

template <class F> std::u16string InOutFailure(F&& Call) {
  try {
    Call();
  } catch (const EInOutError& E) {
    return E.Message();
  }
  return u"";
}

} // namespace

TEST(AnsiTextWin32, SystemCodePageIs932) {
  ASSERT_EQ(GetACP(), 932u);
}

TEST(AnsiTextWin32, UnrepresentableCharactersTakeTheBestFit) {
  // Passing no flags keeps the code page's best-fit table; the default character comes last.
  EXPECT_EQ(EncodeAnsiText(u"\u00E9\u00A9\u00B5\u2014\U0001F600"), "ec\x83\xCA???");
}

// The size comes from the open file, so every file is opened, an empty one too: one held by
// another program with no sharing cannot be loaded, whatever its directory entry says.
TEST_F(FileTest, AFileHeldWithoutSharingCannotBeLoaded) {
  WriteBytes(At(u"empty.txt"), "");
  EXPECT_EQ(LoadAnsiStringFromFile(At(u"empty.txt")), "");
  for (const char16_t* Name : {u"empty.txt", u"full.txt"}) {
    WriteBytes(At(Name), Name[0] == u'e' ? "" : "x");
    Holder Held(At(Name), GENERIC_READ, 0);
    ASSERT_TRUE(Held.Holds());
    EXPECT_EQ(InOutFailure([&] { (void)LoadAnsiStringFromFile(At(Name)); }),
              IoMessage(u"LoadAnsiStringFromFile", At(Name)));
  }
}

TEST_F(FileTest, LoadSharesTheFileForReadingAndWriting) {
  WriteBytes(At(u"t.txt"), "abc");
  Holder Writer(At(u"t.txt"), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(Writer.Holds());
  EXPECT_EQ(LoadAnsiStringFromFile(At(u"t.txt")), "abc");
}

TEST_F(FileTest, SaveBlockedByAReaderLeavesTheFormerFile) {
  WriteBytes(At(u"t.txt"), "former");
  Holder Reader(At(u"t.txt"), GENERIC_READ, FILE_SHARE_READ);
  ASSERT_TRUE(Reader.Holds());
  EXPECT_EQ(InOutFailure([&] { SaveAnsiStringToFile(At(u"t.txt"), "new"); }),
            IoMessage(u"SaveAnsiStringToFile", At(u"t.txt")));
  Reader.Release();
  EXPECT_EQ(ReadBytes(At(u"t.txt")), "former");
  EXPECT_EQ(Names(), std::vector<std::string>{"t.txt"}) << "the temporary file was left";
}

TEST_F(FileTest, SaveWaitsBrieflyForAPassingHolder) {
  WriteBytes(At(u"t.txt"), "former");
  Holder Scanner(At(u"t.txt"), GENERIC_READ, FILE_SHARE_READ);
  ASSERT_TRUE(Scanner.Holds());
  std::jthread Release([&] {
    Sleep(30);
    Scanner.Release();
  });
  EXPECT_EQ(InOutFailure([&] { SaveAnsiStringToFile(At(u"t.txt"), "new"); }), u"");
  Release.join();
  EXPECT_EQ(ReadBytes(At(u"t.txt")), "new");
}

TEST_F(FileTest, HiddenAndSystemEntriesAreFound) {
  WriteBytes(At(u"h.txt"), "hidden");
  const DWORD Attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesW(marigold::ToWide(At(u"h.txt")).c_str(), Attributes));
  EXPECT_EQ(FindFile(At(u"h.txt")).Attributes & Attributes, Attributes);
  EXPECT_EQ(FindFile(At(u"h.*")).Name, u"h.txt");
  EXPECT_EQ(LoadAnsiStringFromFile(At(u"h.txt")), "hidden");
}

// The save puts the new content into the file the user has: its attributes stay (and, by
// ReplaceFileW on Windows, its security and creation time, which Wine cannot show).
TEST_F(FileTest, SaveKeepsTheFileAttributes) {
  const std::wstring Path = marigold::ToWide(At(u"kept.txt"));
  WriteBytes(At(u"kept.txt"), "former");
  ASSERT_TRUE(SetFileAttributesW(Path.c_str(), FILE_ATTRIBUTE_HIDDEN));
  SaveAnsiStringToFile(At(u"kept.txt"), "new");
  EXPECT_EQ(ReadBytes(At(u"kept.txt")), "new");
  EXPECT_TRUE(GetFileAttributesW(Path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}
