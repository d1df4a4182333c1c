#pragma once

// A fresh drive root for each test, with the shell and host doubles back at their defaults.

#include "platform/standin/FilesStandIn.h"
#include "platform/standin/ShellStandIn.h"
#include "platform/standin/StandIn.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class StorageTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string Template = (std::filesystem::temp_directory_path() / "storage-XXXXXX").string();
    ASSERT_NE(mkdtemp(Template.data()), nullptr);
    FRoot = Template;
    marigold::platform::standin::SetDriveRoot(FRoot.string());
    marigold::platform::standin::ResetFiles();
    marigold::platform::standin::ResetShell();
    marigold::platform::standin::Reset();
  }
  void TearDown() override {
    marigold::platform::standin::ResetFiles();
    marigold::platform::standin::ResetShell();
    marigold::platform::standin::Reset();
    std::filesystem::remove_all(FRoot);
  }

  static std::filesystem::path Native(std::u16string_view Path) {
    return marigold::platform::standin::NativePath(Path);
  }
  static void Write(std::u16string_view Path, const std::string& Bytes) {
    std::filesystem::create_directories(Native(Path).parent_path());
    std::ofstream(Native(Path), std::ios::binary) << Bytes;
  }
  static std::string ReadNative(const std::filesystem::path& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
  }
  static std::string Read(std::u16string_view Path) { return ReadNative(Native(Path)); }
  static bool Exists(std::u16string_view Path) { return std::filesystem::exists(Native(Path)); }

  std::filesystem::path FRoot;
};
