// The top-level error box closes a message with "." only where it lacks a
// full stop or another closing mark.
#include <gtest/gtest.h>

#include "winui/ErrorText.h"

TEST(ErrorBoxText, AppendsAFullStopAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(ErrorBoxText("Unable to create directory"), "Unable to create directory.");
  EXPECT_EQ(ErrorBoxText("Error 0"), "Error 0.");
  EXPECT_EQ(ErrorBoxText("Path C:\\"), "Path C:\\.");
  // Unsigned comparison: a character above 127 sorts after ".".
  EXPECT_EQ(ErrorBoxText("Fehler \xE4"), "Fehler \xE4.");
  EXPECT_EQ(ErrorBoxText("/"), "/.");
}

TEST(ErrorBoxText, LeavesMessagesEndingInTheFullStopOrACharacterBeforeIt) {
  for (const char* message : {"Done.", "Invalid data type for 'x'", "Stop!", "(see above)", "a,", "a-", "trailing "}) {
    EXPECT_EQ(ErrorBoxText(message), message);
  }
  EXPECT_EQ(ErrorBoxText(""), "");
}
