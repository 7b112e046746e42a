// Which registry texts name a file: one row per way a typed path can differ
// from the path Windows reports.
#include <gtest/gtest.h>

#include "uninstall/PathMatch.h"

namespace {

struct PathCase {
  const char* left;
  const char* right;
  bool same;
};

TEST(PathMatch, SamePathIgnoresCaseSlashesAndDoubledSeparators) {
  const PathCase cases[] = {
      {"C:\\Apps\\TAV Quillbox.exe", "C:\\Apps\\TAV Quillbox.exe", true},
      {"c:\\apps\\tav quillbox.exe", "C:\\Apps\\TAV Quillbox.exe", true},
      {"C:\\Apps\\\\TAV Quillbox.exe", "C:\\Apps\\TAV Quillbox.exe", true},
      {"C:/Apps/TAV Quillbox.exe", "C:\\Apps\\TAV Quillbox.exe", true},
      {"C:\\Apps\\", "C:\\Apps", true},
      {"\\\\server\\share\\x", "\\\\server\\share\\x", true},
      {"\\\\server\\share\\x", "\\server\\share\\x", false},
      {"C:\\Apps\\TAV Quillbox.exe", "C:\\Apps\\TAV Quillbox.ex", false},
      {"C:\\Apps\\TAV Quillbox.exe", "D:\\Apps\\TAV Quillbox.exe", false},
      {"C:\\Apps", "C:\\Apps2", false},
      {"", "C:\\", false},
  };
  for (const PathCase& c : cases) EXPECT_EQ(SamePath(c.left, c.right), c.same) << c.left << " | " << c.right;
}

TEST(PathMatch, CommandStartsProgramQuotedOrNot) {
  const std::string program = "C:\\Program Files\\TAV Quillbox\\TAV Quillbox.exe";
  const PathCase cases[] = {
      {"\"C:\\Program Files\\TAV Quillbox\\TAV Quillbox.exe\" \"%1\"", "", true},
      {"\"C:\\Program Files\\TAV Quillbox\\\\TAV Quillbox.exe\" \"%1\"", "", true},
      {"C:\\Program Files\\TAV Quillbox\\TAV Quillbox.exe %1", "", true},
      {"C:\\Program Files\\TAV Quillbox\\TAV Quillbox.exe", "", true},
      {"\"C:\\Program Files\\TAV Quillbox\\TAV Quillbox.exe", "", false},  // quote never closed
      {"C:\\Program Files\\TAV Quillbox\\TAV Quillbox.exe.old %1", "", false},
      {"\"C:\\Other\\TAV Quillbox.exe\" \"%1\"", "", false},
      {"notepad.exe \"%1\"", "", false},
      {"", "", false},
  };
  for (const PathCase& c : cases) EXPECT_EQ(CommandStartsProgram(c.left, program), c.same) << c.left;
}

}  // namespace
