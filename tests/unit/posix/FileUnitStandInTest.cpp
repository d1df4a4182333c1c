#include "base/Errors.h"
#include "lib/FileUnit.h"
#include "platform/standin/FilesStandIn.h"

#include "../common/FileUnitTestFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace marigold;

namespace {

using platform::standin::FileStep;

template <class F> std::u16string InOutFailure(F&& Call) {
  try {
    Call();
  } catch (const EInOutError& E) {
    return E.Message();
  }
  return u"";
}

// Makes Failing fail and records every step taken.
std::vector<FileStep>& FailStep(std::optional<FileStep> Failing) {
  static std::vector<FileStep> Taken;
  Taken.clear();
  platform::standin::SetFileStepHook([Failing](FileStep Step, const std::string&) {
    Taken.push_back(Step);
    return Step != Failing;
  });
  return Taken;
}

} // namespace

TEST(FilesStandIn, MapsWindowsPathsUnderTheDriveRoot) {
  platform::standin::SetDriveRoot("/r");
  const struct {
    std::u16string Windows;
    std::string Native;
  } Cases[] = {
      {u"C:\\a\\b.txt", "/r/C/a/b.txt"},
      {u"d:\\x", "/r/D/x"},
      {u"E:rel\\x", "/r/E/rel/x"},
      {u"C:/mixed\\seps", "/r/C/mixed/seps"},
      {u"\\\\srv\\share\\x", "/r/UNC/srv/share/x"},
      {u"\\top\\x", "/r/C/top/x"},
      {u"rel\\x.txt", "rel/x.txt"},
      {u"\u3042.txt", "\xE3\x81\x82.txt"},
  };
  for (const auto& Case : Cases)
    EXPECT_EQ(platform::standin::NativePath(Case.Windows), Case.Native) << Case.Native;
}

// Also where the replace gets half-way or is not supported, and the move that should mend it
// fails too: the former file is back in place, and nothing of ours is left.
TEST_F(FileTest, SaveFailingAtAnyStepLeavesTheFormerFile) {
  using platform::standin::WindowsBehaviour;
  const struct {
    FileStep Step;
    std::optional<WindowsBehaviour> Behaviour;
  } Rows[] = {
      {FileStep::Write, std::nullopt},
      {FileStep::Flush, std::nullopt},
      {FileStep::Replace, std::nullopt},
      {FileStep::Move, WindowsBehaviour::ReplaceLeavesReplacement},
      {FileStep::Move, WindowsBehaviour::ReplaceMovesTargetAway},
      {FileStep::Move, WindowsBehaviour::ReplaceUnsupported},
  };
  for (const auto& Row : Rows) {
    WriteBytes(At(u"t.txt"), "former content");
    FailStep(Row.Step);
    // Only the mending move fails: the former file goes back by a move as well.
    int Moves = 0;
    if (Row.Step == FileStep::Move)
      platform::standin::SetFileStepHook(
          [&](FileStep Step, const std::string&) { return Step != FileStep::Move || Moves++ > 0; });
    platform::standin::ShowWindowsBehaviour(Row.Behaviour);
    EXPECT_EQ(InOutFailure([&] { SaveAnsiStringToFile(At(u"t.txt"), "a new and longer content"); }),
              u"Error:SaveAnsiStringToFile\r\n" + At(u"t.txt"));
    platform::standin::ResetFiles();
    EXPECT_EQ(ReadBytes(At(u"t.txt")), "former content");
    EXPECT_EQ(Names(), std::vector<std::string>{"t.txt"}) << "a temporary file was left";
  }
}

// A folder that takes no new file: the file itself is rewritten in place, and should that
// fail, its former bytes are written back.
TEST_F(FileTest, WithoutATemporaryFileTheSaveRewritesInPlace) {
  WriteBytes(At(u"t.txt"), "former content");
  const auto& Taken = FailStep(FileStep::CreateNew);
  SaveAnsiStringToFile(At(u"t.txt"), "new");
  EXPECT_EQ(Taken,
            (std::vector<FileStep>{FileStep::CreateNew, FileStep::OpenForReading, FileStep::Read,
                                   FileStep::Read, FileStep::OpenForRewriting, FileStep::Write,
                                   FileStep::Flush}));
  EXPECT_EQ(ReadBytes(At(u"t.txt")), "new");

  int Writes = 0;
  platform::standin::SetFileStepHook([&](FileStep Step, const std::string&) {
    return Step != FileStep::CreateNew && (Step != FileStep::Write || ++Writes > 1);
  });
  EXPECT_EQ(InOutFailure([&] { SaveAnsiStringToFile(At(u"t.txt"), "a much longer content"); }),
            u"Error:SaveAnsiStringToFile\r\n" + At(u"t.txt"));
  platform::standin::ResetFiles();
  EXPECT_EQ(ReadBytes(At(u"t.txt")), "new");
  EXPECT_EQ(Names(), std::vector<std::string>{"t.txt"});
}

// A settings file that is a link stays one; the file it leads to gets the new text.
TEST_F(FileTest, SavingThroughALinkRewritesItsTarget) {
  std::filesystem::create_directory(Real(At(u"synced")));
  WriteBytes(At(u"synced\\t.txt"), "former");
  std::filesystem::create_symlink(Real(At(u"synced\\t.txt")), Real(At(u"link.txt")));
  SaveAnsiStringToFile(At(u"link.txt"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(Real(At(u"link.txt"))));
  EXPECT_EQ(ReadBytes(At(u"synced\\t.txt")), "new");
  EXPECT_EQ(Names(), (std::vector<std::string>{"link.txt", "synced"}));

  // A link the platform cannot name the target of (here: outside every drive) is written
  // through in place.
  const auto Outside = std::filesystem::temp_directory_path() / "marigold-outside.txt";
  std::ofstream(Outside, std::ios::binary) << "former";
  std::filesystem::remove(Real(At(u"link.txt")));
  std::filesystem::create_symlink(Outside, Real(At(u"link.txt")));
  SaveAnsiStringToFile(At(u"link.txt"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(Real(At(u"link.txt"))));
  std::ifstream In(Outside, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(In), {}), "new");
  std::filesystem::remove(Outside);
}

// A new file is moved into place, never over one that appeared meanwhile; an existing one is
// replaced.
TEST_F(FileTest, SaveWritesFlushesThenPutsInPlace) {
  const auto& Taken = FailStep(std::nullopt);
  SaveAnsiStringToFile(At(u"t.txt"), "x");
  EXPECT_EQ(Taken, (std::vector<FileStep>{FileStep::CreateNew, FileStep::Write, FileStep::Flush,
                                          FileStep::Move}));
  FailStep(std::nullopt);
  SaveAnsiStringToFile(At(u"t.txt"), "");
  EXPECT_EQ(Taken,
            (std::vector<FileStep>{FileStep::CreateNew, FileStep::Flush, FileStep::Replace}));
  EXPECT_EQ(ReadBytes(At(u"t.txt")), "");
  EXPECT_EQ(InOutFailure([&] { SaveAnsiStringToFile(At(u"t.txt"), "y", SaveMode::CreateOnly); }),
            u"Error:SaveAnsiStringToFile\r\n" + At(u"t.txt"));
  EXPECT_EQ(ReadBytes(At(u"t.txt")), "");
  EXPECT_EQ(Names(), std::vector<std::string>{"t.txt"});
}

TEST_F(FileTest, LoadFailsWhenOpenOrReadFails) {
  WriteBytes(At(u"t.txt"), "abc");
  for (FileStep Step : {FileStep::OpenForReading, FileStep::Read}) {
    FailStep(Step);
    EXPECT_EQ(InOutFailure([&] { (void)LoadAnsiStringFromFile(At(u"t.txt")); }),
              u"Error:LoadAnsiStringFromFile\r\n" + At(u"t.txt"));
  }
}

// The size comes from the open file and the read goes on to its end: a file that changed after
// its directory entry was read is read as it is.
TEST_F(FileTest, LoadReadsTheFileToItsEnd) {
  const std::string Path = platform::standin::NativePath(At(u"t.txt"));
  for (const auto& [Before, After] : {std::pair{"abcdef", "ab"}, std::pair{"abc", "abcdef"}}) {
    WriteBytes(At(u"t.txt"), Before);
    platform::standin::SetFileStepHook([&](FileStep Step, const std::string&) {
      if (Step == FileStep::OpenForReading)
        WriteBytes(At(u"t.txt"), After);
      return true;
    });
    EXPECT_EQ(LoadAnsiStringFromFile(At(u"t.txt")), After);
  }
}

TEST_F(FileTest, FoldersAreNotOpened) {
  WriteBytes(At(u"empty.txt"), "");
  const auto& Taken = FailStep(std::nullopt);
  EXPECT_EQ(LoadAnsiStringFromFile(FFolder), "");
  EXPECT_TRUE(Taken.empty());
  EXPECT_EQ(LoadAnsiStringFromFile(At(u"empty.txt")), "");
}

TEST_F(FileTest, FilesOf2GiBAreRefused) {
  const std::string Path = platform::standin::NativePath(At(u"huge.bin"));
  WriteBytes(At(u"huge.bin"), "");
  ASSERT_EQ(truncate(Path.c_str(), int64_t{1} << 31), 0); // sparse: no disk space taken
  EXPECT_EQ(FindFile(At(u"huge.bin")).Size, int64_t{1} << 31);
  EXPECT_EQ(InOutFailure([&] { (void)LoadAnsiStringFromFile(At(u"huge.bin")); }),
            u"Error:LoadAnsiStringFromFile\r\n" + At(u"huge.bin"));
}

TEST_F(FileTest, TemporaryNameFitsBesideTheLongestPath) {
  // The stand-in, like Win32, reaches no path of 260 units: a temporary name longer than the
  // target's would fail here.
  const std::u16string Folder = At(std::u16string(257 - At(u"").size(), u'f'));
  std::filesystem::create_directory(Real(Folder));
  const std::u16string Path = Folder + u"\\a";
  ASSERT_EQ(Path.size(), 259u);
  SaveAnsiStringToFile(Path, "first");
  SaveAnsiStringToFile(Path, "second");
  EXPECT_EQ(ReadBytes(Path), "second");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Real(Folder)), {}), 1);
}
