#pragma once

// A fresh folder for one file test, named by a Windows path: a real temporary folder under
// Windows, a folder behind the drive root of the native stand-in otherwise.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/standin/FilesStandIn.h"
#include <unistd.h>

using namespace marigold;

#endif

class FileTest : public ::testing::Test {
protected:
  void SetUp() override {
    static int Counter = 0;
#ifdef _WIN32
    const auto Process = GetCurrentProcessId();
#else
    const auto Process = getpid();
#endif
    const std::string Unique =
        "fileio-" + std::to_string(Process) + "-" + std::to_string(++Counter);
#ifdef _WIN32
    FCleanUp = std::filesystem::temp_directory_path() / Unique;
    FFolder = FCleanUp.u16string();
#else
    FCleanUp = std::filesystem::temp_directory_path() / Unique;
    platform::standin::SetDriveRoot(FCleanUp.string());
    platform::standin::ResetFiles();
    FFolder = u"C:\\scratch";
#endif
    std::filesystem::create_directories(Real(FFolder));
  }

  void TearDown() override {
#ifndef _WIN32
    platform::standin::ResetFiles();
#endif
    std::error_code Ignored;
    for (const auto& Entry : std::filesystem::recursive_directory_iterator(FCleanUp, Ignored))
      std::filesystem::permissions(Entry.path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, Ignored);
    std::filesystem::remove_all(FCleanUp, Ignored);
  }

  // Windows path of an entry of the scratch folder.
  std::u16string At(std::u16string_view Name) const {
    return FFolder + u"\\" + std::u16string(Name);
  }

  static std::filesystem::path Real(std::u16string_view Path) {
#ifdef _WIN32
    return std::filesystem::path(std::u16string(Path));
#else
    return platform::standin::NativePath(Path);
#endif
  }

  static void WriteBytes(std::u16string_view Path, const std::string& Bytes) {
    std::ofstream Out(Real(Path), std::ios::binary);
    Out << Bytes;
    ASSERT_TRUE(Out.good());
  }
  static std::string ReadBytes(std::u16string_view Path) {
    std::ifstream In(Real(Path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
  }
  static void SetReadOnly(std::u16string_view Path, bool ReadOnly) {
    std::filesystem::permissions(Real(Path), std::filesystem::perms::owner_write,
                                 ReadOnly ? std::filesystem::perm_options::remove
                                          : std::filesystem::perm_options::add);
  }

  // Names in the scratch folder, sorted: shows what a save left behind.
  std::vector<std::string> Names() const {
    std::vector<std::string> Result;
    for (const auto& Entry : std::filesystem::directory_iterator(Real(FFolder)))
      Result.push_back(Entry.path().filename().string());
    std::sort(Result.begin(), Result.end());
    return Result;
  }

  std::u16string FFolder;
  std::filesystem::path FCleanUp;
};
