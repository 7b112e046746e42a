// Reading paths and command lines without the system: one row per way a
// typed path or an uninstall command may be written.
#include <gtest/gtest.h>

#include "uninstall/PathMatch.h"

namespace {

TEST(PathMatch, PlainPathTextDropsTheLiteralPrefixAndDoubledSeparators) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Apps\\TAV Quillbox", "C:\\Apps\\TAV Quillbox"},
      {"C:/Apps//TAV Quillbox/", "C:\\Apps\\TAV Quillbox\\"},
      {"\\\\?\\C:\\Apps\\TAV", "C:\\Apps\\TAV"},
      {"\\\\?\\unc\\server\\share\\x", "\\\\server\\share\\x"},
      {"\\\\server\\\\share", "\\\\server\\share"},
      {"C:\\Apps\\.\\x\\..\\TAV", "C:\\Apps\\.\\x\\..\\TAV"},  // dots are the system's to resolve
  };
  for (const auto& [path, plain] : cases) EXPECT_EQ(PlainPathText(path), plain) << path;
}

TEST(PathMatch, FullPathsAndRoots) {
  struct Case {
    const char* path;
    bool full;
    bool root;
  };
  const Case cases[] = {
      {"C:\\Apps", true, false},       {"C:\\", true, true},         {"C:", false, true},
      {"C:Apps", false, false},        {"\\Apps", false, false},     {"Apps\\TAV", false, false},
      {"\\\\server\\share", true, true}, {"\\\\server\\share\\", true, true},
      {"\\\\server\\share\\x", true, false}, {"\\\\server", false, false}, {"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsFullPath(PlainPathText(c.path)), c.full) << c.path;
    EXPECT_EQ(IsRootFolder(c.path), c.root) << c.path;
  }
}

TEST(PathMatch, FolderOfAPathKeepsARootsSeparator) {
  EXPECT_EQ(FolderOfPath("C:\\Apps\\TAV Quillbox\\uninstall.exe"), "C:\\Apps\\TAV Quillbox");
  EXPECT_EQ(FolderOfPath("C:\\uninstall.exe"), "C:\\");
  EXPECT_EQ(FolderOfPath("uninstall.exe"), "");
}

TEST(PathMatch, CommandProgramCandidatesQuotedOrBare) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(CommandProgramCandidates("\"C:\\Program Files\\TAV\\UNINSTALL.EXE\""),
            Words{"C:\\Program Files\\TAV\\UNINSTALL.EXE"});
  EXPECT_EQ(CommandProgramCandidates("\"C:\\Program Files\\TAV Quillbox.exe\" \"%1\""),
            Words{"C:\\Program Files\\TAV Quillbox.exe"});
  // Written bare by earlier installations: every start that ends at a blank.
  EXPECT_EQ(CommandProgramCandidates("C:\\Program Files\\TAV\\UNINSTALL.EXE"),
            (Words{"C:\\Program", "C:\\Program Files\\TAV\\UNINSTALL.EXE"}));
  EXPECT_EQ(CommandProgramCandidates("C:\\a b\\x.exe %1"), (Words{"C:\\a", "C:\\a b\\x.exe", "C:\\a b\\x.exe %1"}));
  EXPECT_EQ(CommandProgramCandidates("\"C:\\never closed"), Words{});
  EXPECT_EQ(CommandProgramCandidates(""), Words{});
}

}  // namespace
