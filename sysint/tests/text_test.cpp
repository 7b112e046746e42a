// The installation's path and message texts, apart from Windows.
#include <gtest/gtest.h>

#include "sysint/InstallLayout.h"
#include "sysint/OleError.h"

TEST(InstallLayout, PathsDerivedFromTheDestinationAsTyped) {
  const std::string d = "C:\\Program Files\\TAV Quillbox";
  EXPECT_EQ(ProgramPath(d), "C:\\Program Files\\TAV Quillbox\\TAV Quillbox.exe");
  EXPECT_EQ(UninstallerPath(d), "C:\\Program Files\\TAV Quillbox\\UNINSTALL.EXE");
  EXPECT_EQ(UninstallCommand(d), "\"C:\\Program Files\\TAV Quillbox\\UNINSTALL.EXE\"");
  EXPECT_EQ(IconValue(ProgramPath(d), 1), "C:\\Program Files\\TAV Quillbox\\TAV Quillbox.exe,1");
  EXPECT_EQ(ShortcutFile("C:\\Users\\u\\Desktop\\"), "C:\\Users\\u\\Desktop\\TAV Quillbox.lnk");
}

TEST(InstallLayout, TrailingBackslashIsDoubledNotRemoved) {
  EXPECT_EQ(ProgramPath("D:\\Apps\\"), "D:\\Apps\\\\TAV Quillbox.exe");
  EXPECT_EQ(UninstallCommand("D:\\Apps\\"), "\"D:\\Apps\\\\UNINSTALL.EXE\"");
  EXPECT_EQ(ProgramPath(""), "\\TAV Quillbox.exe");
}

TEST(InstallLayout, OpenCommandQuotesProgramAndPlaceholder) {
  EXPECT_EQ(OpenCommand("C:\\My Apps\\TAV Quillbox.exe"),
            "\"C:\\My Apps\\TAV Quillbox.exe\" \"%1\"");
  EXPECT_EQ(IconValue("x", 12), "x,12");
}

TEST(OleError, SystemTextWithoutItsLineBreakAndFullStop) {
  EXPECT_EQ(OleErrorText(0x80040154u, "Class not registered.\r\n"), "Class not registered");
  EXPECT_EQ(OleErrorText(0x80004005u, "Unspecified error\r\n"), "Unspecified error");
}

TEST(OleError, FallbackNamesTheCodeInEightHexDigits) {
  EXPECT_EQ(OleErrorText(0x80040154u, ""), "OLE error 80040154");
  EXPECT_EQ(OleErrorText(0x8000ffffu, " \r\n"), "OLE error 8000ffff");
  EXPECT_EQ(OleErrorText(0x1u, ""), "OLE error 00000001");
}
