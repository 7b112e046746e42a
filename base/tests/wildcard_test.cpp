// Member selection by specification: wildcards, case, separators.
#include <gtest/gtest.h>

#include "base/Wildcard.h"

namespace {

TEST(Wildcard, MatchesLiterallyWithoutRegardToCase) {
  EXPECT_TRUE(MatchesWildcard("ReadMe.txt", "README.TXT"));
  EXPECT_FALSE(MatchesWildcard("ReadMe.txt", "ReadMe.txt2"));
  EXPECT_FALSE(MatchesWildcard("ReadMe.txt", "ReadMe.tx"));
  EXPECT_TRUE(MatchesWildcard("", ""));
  EXPECT_FALSE(MatchesWildcard("", "a"));
}

TEST(Wildcard, StarTakesAnyRunIncludingSeparators) {
  EXPECT_TRUE(MatchesWildcard("*", "sub/dir/a.exe"));
  EXPECT_TRUE(MatchesWildcard("*.exe", "sub/dir/a.EXE"));
  EXPECT_TRUE(MatchesWildcard("sub/*", "SUB\\x"));
  EXPECT_TRUE(MatchesWildcard("a*b*c", "aXXbYYbZZc"));
  EXPECT_FALSE(MatchesWildcard("a*b*c", "aXXbYYbZZ"));
  EXPECT_TRUE(MatchesWildcard("**", ""));
}

TEST(Wildcard, QuestionMarkTakesExactlyOne) {
  EXPECT_TRUE(MatchesWildcard("file?.txt", "file1.txt"));
  EXPECT_FALSE(MatchesWildcard("file?.txt", "file.txt"));
  EXPECT_FALSE(MatchesWildcard("file?.txt", "file12.txt"));
  EXPECT_TRUE(MatchesWildcard("*?", "x"));
  EXPECT_FALSE(MatchesWildcard("*?", ""));
}

TEST(Wildcard, ManyStarsStayFast) {
  // A backtracking matcher would take exponential time here.
  const std::string spec = "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b";
  EXPECT_FALSE(MatchesWildcard(spec, std::string(200, 'a')));
}

}  // namespace
