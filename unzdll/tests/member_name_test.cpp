// Member name sanitising: every rule, in both modes, as a table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unzdll/engine/MemberName.h"

namespace {

using Elements = std::vector<std::string>;

struct Accepted {
  std::string name;
  bool folderNames;
  Elements elements;
};

TEST(MemberName, SoundNamesBecomePaths) {
  const std::vector<Accepted> cases = {
      {"ReadMe.txt", false, {"ReadMe.txt"}},
      {"ReadMe.txt", true, {"ReadMe.txt"}},
      {"docs/help/intro.txt", false, {"intro.txt"}},
      {"docs/help/intro.txt", true, {"docs", "help", "intro.txt"}},
      {"docs\\help\\intro.txt", true, {"docs", "help", "intro.txt"}},
      {"/etc/passwd", false, {"passwd"}},            // flat: only the last element counts
      {"../../outside.txt", false, {"outside.txt"}},
      {"C:\\Windows\\win.ini", false, {"win.ini"}},
      {".profile", true, {".profile"}},
      {"CONSOLE.txt", false, {"CONSOLE.txt"}},       // not a device name
      {"COM10", false, {"COM10"}},
      {"LPT0.txt", false, {"LPT0.txt"}},
      {"a..b", true, {"a..b"}},
  };
  for (const Accepted& c : cases) {
    const MemberPath path = SanitizeMemberName(c.name, c.folderNames);
    EXPECT_EQ(path.problem, "") << c.name;
    EXPECT_EQ(path.elements, c.elements) << c.name;
  }
}

struct Refused {
  std::string name;
  bool folderNames;
  std::string problem;
};

TEST(MemberName, UnsafeNamesAreRefusedWithTheirReason) {
  using namespace std::string_literals;
  const std::vector<Refused> cases = {
      {"", false, "no name"},
      {"/etc/passwd", true, "absolute path"},
      {"\\Windows\\evil.dll", true, "absolute path"},
      {"C:\\evil.txt", true, "drive letter"},
      {"c:evil.txt", true, "drive letter"},
      {"../outside.txt", true, "'..' element"},
      {"a/../../outside.txt", true, "'..' element"},
      {"a\\..\\b.txt", true, "'..' element"},
      {"a//b.txt", true, "empty name element"},
      {"a/./b.txt", true, "'.' element"},
      {"..", false, "'..' element"},
      {".", false, "'.' element"},
      {"file.txt:stream", false, "':'"},
      {"x/C:evil.txt", true, "':'"},
      {"bell\x07.txt", false, "control character"},
      {"dir\x1f/a.txt", true, "control character"},
      {"nul\0hidden.txt"s, false, "NUL character"},
      {"trailing.", false, "ends in a dot or a space"},
      {"trailing ", false, "ends in a dot or a space"},
      {"dir./a.txt", true, "ends in a dot or a space"},
      {"CON", false, "reserved device name"},
      {"con.txt", false, "reserved device name"},
      {"Prn.log.txt", false, "reserved device name"},
      {"aux", true, "reserved device name"},
      {"NUL.zip", false, "reserved device name"},
      {"COM1", false, "reserved device name"},
      {"com9.dat", false, "reserved device name"},
      {"LPT1", false, "reserved device name"},
      {"lpt9.x", false, "reserved device name"},
      {"CON .txt", false, "reserved device name"},
      {"COM\xB9", false, "reserved device name"},
      {"sub/CON/a.txt", true, "reserved device name"},
  };
  for (const Refused& c : cases) {
    const MemberPath path = SanitizeMemberName(c.name, c.folderNames);
    EXPECT_NE(path.problem.find(c.problem), std::string::npos) << c.name << " gave: " << path.problem;
    EXPECT_TRUE(path.elements.empty()) << c.name;
  }
}

TEST(MemberName, FlatModeChecksOnlyTheElementItUses) {
  // The folder part is dropped unseen; the file name itself is still checked.
  EXPECT_EQ(SanitizeMemberName("CON/a.txt", false).problem, "");
  EXPECT_NE(SanitizeMemberName("a/CON", false).problem, "");
  EXPECT_NE(SanitizeMemberName("a/", false).problem, "");
}

TEST(MemberName, PathKeysFoldCase) {
  EXPECT_EQ(PathKey({"Docs", "ReadMe.TXT"}), PathKey({"docs", "readme.txt"}));
  EXPECT_NE(PathKey({"docs", "readme.txt"}), PathKey({"docsreadme.txt"}));
}

}  // namespace
