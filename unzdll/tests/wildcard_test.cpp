// Member selection by specification: wildcards, case, separators.
#include <gtest/gtest.h>

#include "unzdll/engine/Wildcard.h"

namespace {

TEST(Wildcard, MatchesLiterallyWithoutRegardToCase) {
  EXPECT_TRUE(MatchesSpecification("ReadMe.txt", "README.TXT"));
  EXPECT_FALSE(MatchesSpecification("ReadMe.txt", "ReadMe.txt2"));
  EXPECT_FALSE(MatchesSpecification("ReadMe.txt", "ReadMe.tx"));
  EXPECT_TRUE(MatchesSpecification("", ""));
  EXPECT_FALSE(MatchesSpecification("", "a"));
}

TEST(Wildcard, StarTakesAnyRunIncludingSeparators) {
  EXPECT_TRUE(MatchesSpecification("*", "sub/dir/a.exe"));
  EXPECT_TRUE(MatchesSpecification("*.exe", "sub/dir/a.EXE"));
  EXPECT_TRUE(MatchesSpecification("sub/*", "SUB\\x"));
  EXPECT_TRUE(MatchesSpecification("a*b*c", "aXXbYYbZZc"));
  EXPECT_FALSE(MatchesSpecification("a*b*c", "aXXbYYbZZ"));
  EXPECT_TRUE(MatchesSpecification("**", ""));
}

TEST(Wildcard, QuestionMarkTakesExactlyOne) {
  EXPECT_TRUE(MatchesSpecification("file?.txt", "file1.txt"));
  EXPECT_FALSE(MatchesSpecification("file?.txt", "file.txt"));
  EXPECT_FALSE(MatchesSpecification("file?.txt", "file12.txt"));
  EXPECT_TRUE(MatchesSpecification("*?", "x"));
  EXPECT_FALSE(MatchesSpecification("*?", ""));
}

TEST(Wildcard, ManyStarsStayFast) {
  // A backtracking matcher would take exponential time here.
  const std::string spec = "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b";
  EXPECT_FALSE(MatchesSpecification(spec, std::string(200, 'a')));
}

}  // namespace
