// Path and letter-case texts, apart from any file system.
#include <gtest/gtest.h>

#include "base/AsciiText.h"
#include "base/PathText.h"

TEST(PathText, ExtensionIsTakenFromTheFileNameOnly) {
  EXPECT_EQ(ExtensionOf("C:\\Menu\\TAV Quillbox.lnk"), ".lnk");
  EXPECT_EQ(ExtensionOf("C:\\a.tar.LnK"), ".LnK");
  EXPECT_EQ(ExtensionOf("C:\\Folder.lnk\\file"), "");
  EXPECT_EQ(ExtensionOf("C:name.lnk"), ".lnk");
  EXPECT_EQ(ExtensionOf("a.lnk:stream"), "");
  EXPECT_EQ(ExtensionOf("C:/Folder.zip/file"), "");
  EXPECT_EQ(ExtensionOf("C:/Folder/file.zip"), ".zip");
  EXPECT_EQ(ExtensionOf("file."), ".");
  EXPECT_EQ(ExtensionOf(""), "");
}

TEST(PathText, AnExtensionInAnyCapitalsAndNothingElse) {
  for (const char* accepted : {"x.lnk", "x.LNK", "C:\\d\\x.lNk", "C:.lnk"}) {
    EXPECT_TRUE(HasExtension(accepted, ".LNK")) << accepted;
  }
  for (const char* refused : {"x.lnkx", "x.ln", "x", "x.lnk ", "C:\\d.lnk\\x", "d.lnk/x", "x.url", ""}) {
    EXPECT_FALSE(HasExtension(refused, ".LNK")) << refused;
  }
}

TEST(AsciiText, OnlyTheLettersAToZHaveAnotherCase) {
  EXPECT_EQ(AsciiUpperCase("az{`@AZ\xe9\xff"), "AZ{`@AZ\xe9\xff");
  EXPECT_TRUE(SameTextAscii("TForm1.Caption", "tform1.CAPTION"));
  EXPECT_FALSE(SameTextAscii("\xe9", "\xc9")) << "code-page letters are compared as they are";
  EXPECT_FALSE(SameTextAscii("[", "{"));
  EXPECT_FALSE(SameTextAscii("ab", "abc"));
}

TEST(PathText, FolderIncludesItsLastSeparator) {
  EXPECT_EQ(FolderOf("D:\\Apps\\TAV Quillbox.exe"), "D:\\Apps\\");
  EXPECT_EQ(FolderOf("D:\\Apps\\\\TAV Quillbox.exe"), "D:\\Apps\\\\");
  EXPECT_EQ(FolderOf("C:prog.exe"), "C:");
  EXPECT_EQ(FolderOf("prog.exe"), "");
  EXPECT_EQ(FolderOf("/tmp/prog.exe"), "/tmp/");
}
