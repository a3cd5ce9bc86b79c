// A fresh directory per test, removed afterwards even when a test left it
// read-only.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

namespace velmor {

struct TempDir {
  std::filesystem::path path;
  TempDir() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "velmor-" + std::to_string(::getpid()) + "-" + test->test_suite_name() + "-" + test->name();
    // A parameterised test's names hold slashes ("Files/HistoryTest"); as
    // folders they would leave their parents behind in the temp directory.
    std::replace(name.begin(), name.end(), '/', '_');
    path = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  int Entries() const {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(path), {}));
  }
};

}  // namespace velmor
