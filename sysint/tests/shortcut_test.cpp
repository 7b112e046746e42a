// Shortcut files made by the system's shell-link object, read back through it.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "TestShellLink_win.h"
#include "base/Exception.h"
#include "base/UserMessage.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"

namespace {

// Captures the message boxes that the code under test shows.
class Shortcut : public testing::Test {
 protected:
  Shortcut() {
    former_ = SetMessagePresenter([this](const std::string& text, MessageStyle style) {
      messages_.push_back(text);
      EXPECT_EQ(style, MessageStyle::Plain);
    });
    target_ = folder_.Path() + "Program Dir\\TAV Quillbox.exe";
  }
  ~Shortcut() override { SetMessagePresenter(former_); }

  Win32System windows_;
  ScratchFolder folder_{"TAV sysint links"};
  std::string target_;
  std::vector<std::string> messages_;
  MessagePresenter former_;
};

TEST_F(Shortcut, LinkReadsBackAsSetInEitherCapitals) {
  for (const char* name : {"lower.lnk", "UPPER.LNK"}) {
    const std::string link = folder_.Path() + name;
    CreateShortcut(windows_, target_, "-open \"a b.tav\"", link, "TAV Quillbox");
    const std::optional<LinkFields> fields = ReadLink(link);
    ASSERT_TRUE(fields) << name;
    EXPECT_EQ(fields->Target, target_);
    EXPECT_EQ(fields->Arguments, "-open \"a b.tav\"");
    EXPECT_EQ(fields->WorkingFolder, folder_.Path() + "Program Dir\\");
    EXPECT_EQ(fields->Description, "TAV Quillbox");
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Shortcut, OtherExtensionShowsOnlyTheMessage) {
  for (const char* name : {"link.url", "link", "link.lnk.txt", "dir.lnk\\link", "link.lnkx"}) {
    messages_.clear();
    CreateShortcut(windows_, target_, "", folder_.Path() + name, "TAV Quillbox");
    EXPECT_EQ(messages_, std::vector<std::string>{"Error: link path extension must be .LNK"})
        << name;
  }
  EXPECT_EQ(folder_.FileCount(), 0u);
}

TEST_F(Shortcut, MissingFolderLeavesNoFileAndNoMessage) {
  const std::string link = folder_.Path() + "missing\\TAV Quillbox.lnk";
  CreateShortcut(windows_, target_, "", link, "TAV Quillbox");
  EXPECT_FALSE(FileExists(link));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Shortcut, SecondCallReplacesTheFirstFile) {
  const std::string link = folder_.Path() + "TAV Quillbox.lnk";
  CreateShortcut(windows_, target_, "first", link, "first");
  CreateShortcut(windows_, target_, "", link, "second");
  EXPECT_EQ(folder_.FileCount(), 1u);
  const std::optional<LinkFields> fields = ReadLink(link);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->Arguments, "");
  EXPECT_EQ(fields->Description, "second");
}

// A thread without COM cannot create the shell-link object: the failure is
// an exception with the system's text or the code, and no file is made.
TEST_F(Shortcut, UncreatableLinkObjectRaisesTheOleError) {
  const std::string link = folder_.Path() + "TAV Quillbox.lnk";
  std::string message = "(no exception)";
  std::thread([&] {
    try {
      CreateShortcut(windows_, target_, "", link, "TAV Quillbox");
    } catch (const Exception& e) {
      message = e.Message();
    }
  }).join();
  EXPECT_TRUE(message.find("CoInitialize") != std::string::npos || message == "OLE error 800401f0")
      << message;
  EXPECT_FALSE(FileExists(link));
}

}  // namespace
