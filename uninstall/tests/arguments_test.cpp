// The uninstaller's command line: what each word sets, what is refused, and
// that the temporary copy's command line comes back as it was meant.
#include <gtest/gtest.h>

#include "uninstall/Arguments.h"

namespace {

TEST(Arguments, NoArgumentsIsTheInteractiveUninstaller) {
  const UninstallArguments parsed = ParseUninstallArguments({});
  EXPECT_FALSE(parsed.silent);
  EXPECT_FALSE(parsed.IsTemporaryCopy());
  EXPECT_TRUE(parsed.reportPath.empty());
  EXPECT_TRUE(parsed.error.empty());
}

TEST(Arguments, TemporaryCopyArgumentsParseBack) {
  UninstallArguments copy;
  copy.silent = true;
  copy.reportPath = "C:\\temp\\report.txt";
  copy.original = "C:\\Program Files\\TAV Quillbox\\uninstall.exe";
  copy.originalProcess = 0x1a4;
  copy.folderConfirmed = true;

  const UninstallArguments parsed = ParseUninstallArguments(TemporaryCopyArguments(copy));

  EXPECT_TRUE(parsed.error.empty()) << parsed.error;
  EXPECT_TRUE(parsed.silent);
  EXPECT_TRUE(parsed.IsTemporaryCopy());
  EXPECT_EQ(parsed.reportPath, copy.reportPath);
  EXPECT_EQ(parsed.original, copy.original);
  EXPECT_EQ(parsed.originalProcess, 0x1a4u);
  EXPECT_TRUE(parsed.folderConfirmed);

  // A silent run's copy waits for no one: the original waits for it.
  copy.originalProcess = 0;
  copy.folderConfirmed = false;
  const UninstallArguments unwaited = ParseUninstallArguments(TemporaryCopyArguments(copy));
  EXPECT_TRUE(unwaited.error.empty()) << unwaited.error;
  EXPECT_EQ(unwaited.originalProcess, 0u);
  EXPECT_FALSE(unwaited.folderConfirmed);
}

TEST(Arguments, NamesWhatItDoesNotKnowAndStillReadsTheRest) {
  const std::vector<std::vector<std::string>> refused = {
      {"/X"},
      {"/s"},  // the switch is written in capitals only
      {"/WAIT=12"},  // nothing to remove
      {"/CONFIRMED"},
      {"/REMOVE=C:\\a\\uninstall.exe", "/WAIT=0"},
      {"/REMOVE=C:\\a\\uninstall.exe", "/WAIT=12x"},
      {"/REPORT="},
  };
  for (const auto& words : refused) EXPECT_FALSE(ParseUninstallArguments(words).error.empty()) << words[0];

  const UninstallArguments parsed = ParseUninstallArguments({"/BOGUS", "/S", "/REPORT=C:\\r.txt"});
  EXPECT_EQ(parsed.error, "Unknown argument '/BOGUS'");
  EXPECT_TRUE(parsed.silent);
  EXPECT_EQ(parsed.reportPath, "C:\\r.txt");
}

TEST(Arguments, JoinCommandLineQuotesForTheRuntimesRules) {
  EXPECT_EQ(JoinCommandLine({"a", "b c"}), "\"a\" \"b c\"");
  EXPECT_EQ(JoinCommandLine({"C:\\x y\\"}), "\"C:\\x y\\\\\"");  // a final backslash doubled before the quote
  EXPECT_EQ(JoinCommandLine({"say \"hi\""}), "\"say \\\"hi\\\"\"");
  EXPECT_EQ(JoinCommandLine({"a\\\\\"b"}), "\"a\\\\\\\\\\\"b\"");
  EXPECT_EQ(JoinCommandLine({"C:\\a\\b"}), "\"C:\\a\\b\"");  // inner backslashes as they are
  EXPECT_EQ(JoinCommandLine({""}), "\"\"");
}

}  // namespace
