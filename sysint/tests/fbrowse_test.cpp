// The folder browser on the system's real folder dialog: a second thread
// finds the dialog, looks at it and presses its buttons.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "TestShellLink_win.h"
#include "sysint/FBrowse_win.h"
#include "testsupport/TopLevelWindow_win.h"

namespace {

HWND WaitForDialog() {
  return WaitForTopLevelWindow({GetCurrentProcessId(), nullptr, "#32770"}, 10000);
}

std::string SelectedFolderName(HWND dialog) {
  HWND tree = FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  char text[MAX_PATH] = {};
  TVITEMA info{};
  info.mask = TVIF_TEXT;
  info.hItem = item;
  info.pszText = text;
  info.cchTextMax = sizeof text;
  if (item == nullptr ||
      SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info)) == 0) {
    return "(no selection)";
  }
  return text;
}

std::vector<std::string> StaticTexts(HWND dialog) {
  std::vector<std::string> texts;
  for (HWND child = FindWindowExA(dialog, nullptr, "Static", nullptr); child != nullptr;
       child = FindWindowExA(dialog, child, "Static", nullptr)) {
    char text[256] = {};
    GetWindowTextA(child, text, sizeof text);
    texts.emplace_back(text);
  }
  return texts;
}

// What the second thread saw of the dialog before it pressed a button.
struct DialogView {
  bool shown = false;
  std::string selected;
  std::vector<std::string> texts;
};

class FolderBrowse : public testing::Test {
 protected:
  FolderBrowse() {
    owner_ = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateDirectoryA(Child().c_str(), nullptr);
  }
  ~FolderBrowse() override { DestroyWindow(owner_); }

  // Runs Execute while a second thread looks at the dialog, does drive (if
  // any) and then presses button.
  bool Execute(int button, const std::function<void(HWND)>& drive = {}) {
    std::thread helper([&] {
      HWND dialog = WaitForDialog();
      if (dialog == nullptr) return;
      view_.shown = true;
      view_.selected = SelectedFolderName(dialog);
      view_.texts = StaticTexts(dialog);
      if (drive) drive(dialog);
      PostMessageA(dialog, WM_COMMAND, button, 0);
    });
    const bool chosen = browser_.Execute(owner_);
    helper.join();
    return chosen;
  }

  std::string Folder() const { return folder_.Path().substr(0, folder_.Path().size() - 1); }
  std::string Child() const { return folder_.Path() + "child"; }

  // Straight under the drive: Wine's dialog cannot walk to a preselected
  // folder inside the user's profile, which its desktop also shows.
  ScratchFolder folder_{"TAV sysint browse", "C:\\"};
  TFolderBrowse browser_{nullptr};
  HWND owner_ = nullptr;
  DialogView view_;
};

TEST_F(FolderBrowse, OpensOnDirectoryAndOkReturnsIt) {
  browser_.Directory = Folder();
  browser_.Title = "Choose the destination folder";
  ASSERT_TRUE(Execute(IDOK));
  ASSERT_TRUE(view_.shown);
  EXPECT_EQ(view_.selected, Folder().substr(Folder().rfind('\\') + 1));
  EXPECT_NE(std::find(view_.texts.begin(), view_.texts.end(), "Choose the destination folder"),
            view_.texts.end());
  EXPECT_EQ(browser_.Directory, Folder());
}

TEST_F(FolderBrowse, ChosenFolderBecomesDirectory) {
  browser_.Directory = Folder();
  const std::string child = Child();
  ASSERT_TRUE(Execute(IDOK, [&](HWND dialog) {
    // The dialog may still be selecting the folder it opens on, under load,
    // and that selection may come after this one: select until it holds.
    for (int tries = 0; tries < 100 && SelectedFolderName(dialog) != "child"; ++tries) {
      SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(child.c_str()));
      if (SelectedFolderName(dialog) != "child") Sleep(50);
    }
  }));
  EXPECT_EQ(browser_.Directory, child);
}

TEST_F(FolderBrowse, CancelLeavesDirectoryAsItWas) {
  browser_.Directory = Folder() + "\\no such folder";
  EXPECT_FALSE(Execute(IDCANCEL));
  EXPECT_TRUE(view_.shown);
  EXPECT_EQ(browser_.Directory, Folder() + "\\no such folder");
}

TEST(FolderBrowseClass, DescriptionsCanCreateItAndSetItsProperties) {
  RegisterFBrowseComponents();
  const ComponentFactory* factory = FindComponentClass("TFolderBrowse");
  ASSERT_NE(factory, nullptr);
  std::unique_ptr<TComponent> component((*factory)(nullptr));
  auto* browser = dynamic_cast<TFolderBrowse*>(component.get());
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(browser->ClassName(), "TFolderBrowse");
  const PropertyTable table = browser->Properties();
  table.Find("Directory")->SetString("C:\\x");
  table.Find("Title")->SetString("Pick");
  EXPECT_EQ(browser->Directory, "C:\\x");
  EXPECT_EQ(browser->Title, "Pick");
}

}  // namespace
