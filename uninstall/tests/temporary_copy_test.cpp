// The uninstaller's copy of itself, made in-process under Wine: a new file
// only, the same bytes, and held against writing, renaming and deleting
// until it is let go (after the copy has started).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "uninstall/SelfRemoval_win.h"
#include "uninstall/tests/BuildPaths.h"
#include "uninstall/tests/Installation_win.h"

namespace {

class HeldCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakePrivateFolder();
    ASSERT_FALSE(folder_.empty());
    copy_ = folder_ + "\\uninstall.exe";
  }
  void TearDown() override {
    DeleteFileA(copy_.c_str());
    DeleteFileA((folder_ + "\\moved.exe").c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  std::string folder_;
  std::string copy_;
};

TEST_F(HeldCopyTest, NoOneMayChangeTheCopyWhileItIsHeld) {
  {
    const HeldCopy held(kBuiltUninstaller, copy_);
    ASSERT_TRUE(held.Made());
    EXPECT_EQ(ReadFile(copy_), ReadFile(kBuiltUninstaller));

    HANDLE writer = CreateFileA(copy_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_FALSE(MoveFileA(copy_.c_str(), (folder_ + "\\moved.exe").c_str()));
    EXPECT_FALSE(DeleteFileA(copy_.c_str()));
    // Starting it, as the system opens a program, is allowed.
    HANDLE reader = CreateFileA(copy_.c_str(), GENERIC_READ | GENERIC_EXECUTE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  }
  EXPECT_TRUE(DeleteFileA(copy_.c_str()));
}

TEST_F(HeldCopyTest, AFileAlreadyThereIsNeitherReplacedNorUsed) {
  WriteFile(copy_, "planted");
  const HeldCopy held(kBuiltUninstaller, copy_);
  EXPECT_FALSE(held.Made());
  EXPECT_EQ(ReadFile(copy_), "planted");
}

TEST(PrivateFolder, EachIsNewAndUnforeseeable) {
  const std::string first = MakePrivateFolder();
  const std::string second = MakePrivateFolder();
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  const std::string name = first.substr(first.find_last_of('\\') + 1);
  EXPECT_EQ(name.rfind("~tavuninst-", 0), 0u) << name;
  EXPECT_EQ(name.size(), std::string("~tavuninst-").size() + 16) << name;
  EXPECT_EQ(first.substr(0, first.size() - name.size()), TemporaryFolder());
  RemoveDirectoryA(first.c_str());
  RemoveDirectoryA(second.c_str());
}

}  // namespace
