// Stored names and wildcards: tables of paths with the name or the refusal
// each must give.
#include <gtest/gtest.h>

#include "base/Wildcard.h"
#include "zipdll/engine/MemberName.h"

namespace {

TEST(MemberName, AcceptedPathsAndTheirStoredNames) {
  struct Row {
    const char* path;
    bool folderNames;
    const char* stored;
  } const rows[] = {
      {"a.txt", true, "a.txt"},
      {"sub/deep/a.txt", true, "sub/deep/a.txt"},
      {"sub\\deep\\a.txt", true, "sub/deep/a.txt"},
      {"sub/deep/a.txt", false, "a.txt"},
      {"/abs/path/a.txt", true, "abs/path/a.txt"},     // absolute: stored relative
      {"C:\\abs\\a.txt", true, "abs/a.txt"},           // drive dropped
      {"c:rel.txt", true, "rel.txt"},
      {"./sub//./a.txt", true, "sub/a.txt"},           // "." and empty elements dropped
      {"../up/a.txt", false, "a.txt"},                 // without folders only the last element counts
      {"Read Me.txt", true, "Read Me.txt"},
      {"CONSOLE.txt", true, "CONSOLE.txt"},            // not a device name
      {"COM10", true, "COM10"},
      {"sub/.hidden", true, "sub/.hidden"},
  };
  for (const auto& row : rows) {
    const auto result = MemberNameFor(row.path, row.folderNames);
    EXPECT_EQ(result.refusal, "") << row.path;
    EXPECT_EQ(result.name, row.stored) << row.path;
  }
}

TEST(MemberName, RefusedPathsSayWhy) {
  struct Row {
    const char* path;
    bool folderNames;
    const char* reasonHolds;
  } const rows[] = {
      {"../up/a.txt", true, "\"..\""},
      {"sub/../../a.txt", true, "\"..\""},
      {"a\x01.txt", true, "control character"},
      {"sub/a:stream", true, "Windows file names cannot hold"},
      {"a?.txt", false, "Windows file names cannot hold"},
      {"a|b", false, "Windows file names cannot hold"},
      {"trailing.", false, "dot or a space"},
      {"trailing ", false, "dot or a space"},
      {"sub./a.txt", true, "dot or a space"},
      {"CON", false, "reserved device name"},
      {"nul.txt", false, "reserved device name"},
      {"sub/Lpt9.log", true, "reserved device name"},
      {"com1 .txt", false, "reserved device name"},
      {"COM\xB9.txt", false, "reserved device name"},  // the superscript one of the ANSI code page
      {"", true, "empty"},
      {"C:\\", true, "empty"},
      {"/", false, "empty"},
  };
  for (const auto& row : rows) {
    const auto result = MemberNameFor(row.path, row.folderNames);
    EXPECT_EQ(result.name, "") << row.path;
    EXPECT_NE(result.refusal.find(row.reasonHolds), std::string::npos) << row.path << ": " << result.refusal;
  }
}

TEST(MemberName, NamesPastTheHeaderFieldAreRefused) {
  const std::string longest(65535, 'n');
  EXPECT_EQ(MemberNameFor(longest, true).name, longest);
  EXPECT_NE(MemberNameFor(longest + "n", true).refusal, "");
  // Folder elements count towards the length.
  EXPECT_NE(MemberNameFor("d/" + longest, true).refusal, "");
  EXPECT_EQ(MemberNameFor("d/" + longest, false).name, longest);
}

TEST(Wildcard, MatchesLikeWindowsFileNames) {
  struct Row {
    const char* pattern;
    const char* name;
    bool matches;
  } const rows[] = {
      {"*", "anything.txt", true},      {"*", "", true},           {"*.txt", "a.txt", true},
      {"*.txt", "a.txt.bak", false},    {"*.TXT", "a.txt", true},  {"?.txt", "a.txt", true},
      {"?.txt", "ab.txt", false},       {"?.txt", ".txt", false},  {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},       {"*a*", "bab", true},      {"**x", "yyx", true},
      {"exact.txt", "exact.txt", true}, {"exact.txt", "exact.tx", false}, {"*.*", "README", true},
      {"*.*", "a.b", true},             {"?*.*", "", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MatchesFileWildcard(row.pattern, row.name), row.matches) << row.pattern << " / " << row.name;
  }
}

TEST(Wildcard, AHostilePatternEndsQuickly) {
  const std::string pattern = std::string(200, '*') + std::string(200, 'a') + "b";
  const std::string name(5000, 'a');
  EXPECT_FALSE(MatchesFileWildcard(pattern, name));
}

}  // namespace
