// The installation's path and message texts, apart from Windows.
#include <gtest/gtest.h>

#include "sysint/InstallLayout.h"
#include "sysint/OleError.h"
#include "sysint/PathParts.h"

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

TEST(PathParts, ExtensionIsTakenFromTheFileNameOnly) {
  EXPECT_EQ(ExtensionOf("C:\\Menu\\TAV Quillbox.lnk"), ".lnk");
  EXPECT_EQ(ExtensionOf("C:\\a.tar.LnK"), ".LnK");
  EXPECT_EQ(ExtensionOf("C:\\Folder.lnk\\file"), "");
  EXPECT_EQ(ExtensionOf("C:name.lnk"), ".lnk");
  EXPECT_EQ(ExtensionOf("a.lnk:stream"), "");
  EXPECT_EQ(ExtensionOf("file."), ".");
  EXPECT_EQ(ExtensionOf(""), "");
}

TEST(PathParts, LinkExtensionInAnyCapitalsAndNothingElse) {
  for (const char* accepted : {"x.lnk", "x.LNK", "C:\\d\\x.lNk", "C:.lnk"}) {
    EXPECT_TRUE(HasLinkExtension(accepted)) << accepted;
  }
  for (const char* refused : {"x.lnkx", "x.ln", "x", "x.lnk ", "C:\\d.lnk\\x", "x.url", ""}) {
    EXPECT_FALSE(HasLinkExtension(refused)) << refused;
  }
}

TEST(PathParts, UpperCasingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(UpperCaseAscii("az{`@AZ\xe9\xff"), "AZ{`@AZ\xe9\xff");
}

TEST(PathParts, FolderIncludesItsLastSeparator) {
  EXPECT_EQ(FolderOf("D:\\Apps\\TAV Quillbox.exe"), "D:\\Apps\\");
  EXPECT_EQ(FolderOf("D:\\Apps\\\\TAV Quillbox.exe"), "D:\\Apps\\\\");
  EXPECT_EQ(FolderOf("C:prog.exe"), "C:");
  EXPECT_EQ(FolderOf("prog.exe"), "");
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
