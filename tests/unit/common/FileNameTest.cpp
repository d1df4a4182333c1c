#include "lib/FileNameUnit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marigold;

namespace {

struct PathFact {
  std::u16string Path;
  bool Expected;
};

std::string Show(const std::u16string& S) {
  return std::string(S.begin(), S.end());
}

TEST(FileName, StartsWithUNCPrefix) {
  const std::vector<PathFact> Facts = {{u"\\\\a", true},    {u"\\\\srv\\x", true}, {u"\\\\", false},
                                       {u"\\\\\\a", false}, {u"\\a", false},       {u"", false},
                                       {u"a\\\\b", false}};
  for (const auto& F : Facts)
    EXPECT_EQ(StartsWithUNCPrefix(F.Path), F.Expected) << Show(F.Path);
}

TEST(FileName, StartsWithDrivePrefix) {
  const std::vector<PathFact> Facts = {{u"C:", true},     {u"c:\\", true},  {u"z:\\a", true},
                                       {u"C:x", false},   {u"1:\\", false}, {u"C", false},
                                       {u"", false},      {u":\\", false},  {u"ä:\\", false},
                                       {u"CC:\\", false}, {u"@:\\", false}, {u"[:\\", false}};
  for (const auto& F : Facts)
    EXPECT_EQ(StartsWithDrivePrefix(F.Path), F.Expected) << Show(F.Path);
}

TEST(FileName, PathFromFinalName) {
  const struct {
    std::u16string Final, Expected;
  } Cases[] = {
      {u"\\\\?\\UNC\\srv\\share\\a.txt", u"\\\\srv\\share\\a.txt"},
      {u"\\\\?\\C:\\Users\\u\\a.txt", u"C:\\Users\\u\\a.txt"},
      {u"\\\\?\\c:\\", u"c:\\"},
      {u"\\\\?\\Volume{0b1e}\\a.txt", u"\\\\?\\Volume{0b1e}\\a.txt"},
      {u"C:\\a.txt", u"C:\\a.txt"},
      {u"\\\\srv\\share\\a", u"\\\\srv\\share\\a"},
      {u"\\\\?\\UNC", u"\\\\?\\UNC"},
  };
  for (const auto& Case : Cases)
    EXPECT_EQ(PathFromFinalName(Case.Final), Case.Expected) << Show(Case.Final);
}

TEST(FileName, ExpandEnvironmentNames) {
  const auto Value = [](std::u16string_view Name) -> std::u16string {
    if (CaseFoldedPath(Name) == u"USERPROFILE")
      return u"C:\\Users\\ann";
    return Name == u"DRIVE" ? u"D:\\" : u"";
  };
  const struct {
    std::u16string Path, Expected;
    std::vector<std::u16string> Unset;
  } Cases[] = {
      {u"%USERPROFILE%\\a.txt", u"C:\\Users\\ann\\a.txt", {}},
      {u"%userprofile%\\a", u"C:\\Users\\ann\\a", {}},
      {u"%DRIVE%%USERPROFILE%", u"D:\\C:\\Users\\ann", {}},
      {u"%DRIVE%\\a\\%DRIVE%", u"D:\\a\\D:\\", {}},
      {u"%ONEDRIVE%\\a", u"%ONEDRIVE%\\a", {u"ONEDRIVE"}},
      {u"%NO%DRIVE%x", u"%NOD:\\x", {u"NO"}},
      {u"50%\\a%%b", u"50%\\a%%b", {u"\\a"}},
      {u"C:\\a%", u"C:\\a%", {}},
      {u"", u"", {}},
  };
  for (const auto& Case : Cases) {
    const TExpandedPath Out = ExpandEnvironmentNames(Case.Path, Value);
    EXPECT_EQ(Out.Path, Case.Expected) << Show(Case.Path);
    EXPECT_EQ(Out.UnsetNames, Case.Unset) << Show(Case.Path);
  }
}

TEST(FileName, IsValidPath) {
  const std::vector<PathFact> Facts = {
      // Empty, a lone backslash, and heads that are not a UNC pair.
      {u"", false},
      {u"\\", false},
      {u"\\\\", false},
      {u"\\x", false},
      {u"\\\\srv", true},
      {u"\\\\\\srv", false},
      {u"\\\\srv\\share\\", true},
      // Trailing and doubled backslashes.
      {u"C:\\a\\", true},
      {u"C:\\a\\\\", false},
      {u"C:\\a\\\\b", false},
      {u"C:\\", true},
      {u"C:", true},
      {u"a\\", true},
      // Forbidden characters, each of the seven.
      {u"a/b", false},
      {u"a\\b?", false},
      {u"a*", false},
      {u"a\"b", false},
      {u"a<b", false},
      {u"a>b", false},
      {u"a|b", false},
      // Dots only at the front; no component beginning with a dot.
      {u"..\\x", true},
      {u".\\x", true},
      {u"..\\..\\x", true},
      {u".", true},
      {u"..", true},
      {u"x\\..\\y", false},
      {u"x\\.", false},
      {u"\\\\srv\\..\\x", false},
      {u"x\\.git", false},
      {u".git", false},
      {u"...", false},
      {u"a.b", true},
      {u"a.", true},
      // Colons: a drive name in the first named component only.
      {u"C:x", true},
      {u"C:\\x", true},
      {u"..\\C:x", true},
      {u"ab:c", false},
      {u":x", false},
      {u"x\\C:", false},
      {u"C:\\a:b", false},
      {u"\\\\C:\\x", false},
      {u"C:a:b", true},
      {u"1:x", false}};
  for (const auto& F : Facts)
    EXPECT_EQ(IsValidPath(F.Path), F.Expected) << Show(F.Path);
}

TEST(FileName, PathKinds) {
  struct Kinds {
    std::u16string Path;
    bool Unc, Drive, Relative;
  };
  const std::vector<Kinds> Facts = {{u"C:x", false, false, true},
                                    {u"PlugIns", false, false, true},
                                    {u"C:\\PlugIns", false, true, false},
                                    {u"\\\\srv\\p", true, false, false},
                                    {u"C:", false, true, false},
                                    {u"C:\\a\\\\", false, false, false},
                                    {u"\\\\srv\\a/b", false, false, false},
                                    {u"E:/Data", false, false, false}};
  for (const auto& F : Facts) {
    EXPECT_EQ(IsValidUNCPath(F.Path), F.Unc) << Show(F.Path);
    EXPECT_EQ(IsValidDrivePath(F.Path), F.Drive) << Show(F.Path);
    EXPECT_EQ(IsValidRelativePath(F.Path), F.Relative) << Show(F.Path);
  }
}

TEST(FileName, PathDepth) {
  const std::vector<std::pair<std::u16string, int32_t>> Facts = {
      {u"C:", 0},       {u"C:\\", 0},    {u"C:\\a\\b\\", 2},
      {u"C:\\a\\b", 2}, {u"\\\\srv", 0}, {u"\\\\srv\\share", 1},
      {u"a\\b", -1},    {u"", -1},       {u"C:\\a\\\\", -1},
      {u"C:x", -1}};
  for (const auto& [Path, Depth] : Facts)
    EXPECT_EQ(PathDepth(Path), Depth) << Show(Path);
}

TEST(FileName, ParentPath) {
  struct Fact {
    std::u16string Path;
    int32_t Levels;
    std::u16string Expected;
  };
  const std::vector<Fact> Facts = {{u"C:\\a\\b", 1, u"C:\\a\\"},
                                   {u"C:\\a\\b\\", 1, u"C:\\a\\"},
                                   {u"C:\\a\\b", 2, u"C:\\"},
                                   {u"C:\\a", 1, u"C:\\"},
                                   {u"C:\\", 1, u""},
                                   {u"C:\\a\\b", 3, u""},
                                   {u"C:\\a", -1, u""},
                                   {u"\\\\srv\\share\\d", 1, u"\\\\srv\\share\\"},
                                   {u"\\\\srv\\share", 1, u"\\\\srv\\"},
                                   {u"\\\\srv", 1, u""},
                                   {u"a\\b", 1, u""},
                                   // Levels 0 gives S back whatever it holds.
                                   {u"not a/path?", 0, u"not a/path?"},
                                   {u"", 0, u""}};
  for (const auto& F : Facts)
    EXPECT_EQ(ParentPath(F.Path, F.Levels), F.Expected) << Show(F.Path) << " " << F.Levels;
}

TEST(FileName, ResolveRelativePath) {
  struct Fact {
    std::u16string Base, Relative, Expected;
  };
  const std::vector<Fact> Facts = {{u"C:\\Editor", u"PlugIns", u"C:\\Editor\\PlugIns"},
                                   {u"C:\\Editor\\", u"..\\Data\\", u"C:\\Data\\"},
                                   {u"C:\\Editor", u".", u"C:\\Editor"},
                                   {u"C:\\Editor", u".\\", u"C:\\Editor\\"},
                                   {u"C:\\Editor", u"..", u"C:"},
                                   {u"C:\\Editor", u"a\\b\\", u"C:\\Editor\\a\\b\\"},
                                   {u"D:\\Tools\\Editor", u"..\\Common", u"D:\\Tools\\Common"},
                                   {u"\\\\srv\\share\\ed", u"..\\x", u"\\\\srv\\share\\x"},
                                   {u"\\\\srv\\share", u"..\\..\\x", u""},
                                   // The walk leaves the root.
                                   {u"C:\\", u"..", u""},
                                   {u"C:\\a", u"..\\..\\x", u""},
                                   // Unusable inputs.
                                   {u"C:\\Editor", u"C:x", u""},
                                   {u"C:\\Editor", u"x\\..\\y", u""},
                                   {u"C:\\Editor", u"", u""},
                                   {u"Editor", u"x", u""},
                                   {u"", u"x", u""},
                                   {u"C:\\Editor", u"C:\\x", u""},
                                   {u"C:\\Editor", u"\\\\srv\\x", u""}};
  for (const auto& F : Facts)
    EXPECT_EQ(ResolveRelativePath(F.Base, F.Relative), F.Expected)
        << Show(F.Base) << " + " << Show(F.Relative);
}

TEST(FileName, ResolveRelativePathIsNeverRelative) {
  const std::vector<std::u16string> Bases = {u"C:",      u"C:\\",         u"C:\\a", u"C:\\a\\b\\",
                                             u"\\\\srv", u"\\\\srv\\s\\", u"x",     u""};
  const std::vector<std::u16string> Relatives = {
      u"",       u".",   u"..",      u"..\\",     u"..\\..", u"..\\..\\..\\y", u".\\..\\y\\", u"y",
      u"y\\z\\", u"C:y", u"..\\C:y", u"\\\\s\\y", u"C:\\y",  u"\\y",           u"y\\\\"};
  for (const auto& Base : Bases)
    for (const auto& Relative : Relatives) {
      const std::u16string Result = ResolveRelativePath(Base, Relative);
      EXPECT_TRUE(Result.empty() || IsValidDrivePath(Result) || IsValidUNCPath(Result))
          << Show(Base) << " + " << Show(Relative) << " = " << Show(Result);
    }
}

TEST(FileName, ExtractParts) {
  struct Fact {
    std::u16string Path, Folder, Name, Extension;
  };
  const std::vector<Fact> Facts = {{u"C:\\Ed\\Ed.exe", u"C:\\Ed\\", u"Ed.exe", u".exe"},
                                   {u"C:\\a.b\\c", u"C:\\a.b\\", u"c", u""},
                                   {u"a.b.c", u"", u"a.b.c", u".c"},
                                   {u"C:\\x\\", u"C:\\x\\", u"", u""},
                                   {u"", u"", u"", u""}};
  for (const auto& F : Facts) {
    EXPECT_EQ(ExtractFilePath(F.Path), F.Folder) << Show(F.Path);
    EXPECT_EQ(ExtractFileName(F.Path), F.Name) << Show(F.Path);
    EXPECT_EQ(ExtractFileExt(F.Path), F.Extension) << Show(F.Path);
  }
}

} // namespace
