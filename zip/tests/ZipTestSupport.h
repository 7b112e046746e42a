// Shared pieces of the zip component's tests: captured message boxes, a
// temporary folder, an owner with a window handle, the fixture archives.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/UserMessage.h"
#include "component/Component.h"

namespace ziptest {

// Every message box shown while it lives, in order, instead of real boxes.
class CapturedMessages {
 public:
  CapturedMessages() {
    previous_ = SetMessagePresenter([this](const std::string& text, MessageStyle) { texts.push_back(text); });
  }
  ~CapturedMessages() { SetMessagePresenter(previous_); }
  CapturedMessages(const CapturedMessages&) = delete;
  CapturedMessages& operator=(const CapturedMessages&) = delete;

  std::vector<std::string> texts;

 private:
  MessagePresenter previous_;
};

// A fresh folder under the system's temporary folder, removed with its content.
class TempFolder {
 public:
  explicit TempFolder(const std::string& tag) {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("tav-zip-" + tag + "-" + std::to_string(++counter) + "-" + std::to_string(std::rand()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A form stand-in: the owner whose window handle the component takes.
class FakeForm : public TComponent {
 public:
  explicit FakeForm(void* window) : TComponent(nullptr), window_(window) {}
  std::string ClassName() const override { return "TFakeForm"; }
  void* WindowHandle() override { return window_; }

 private:
  void* window_;
};

// The archives made by make_zip_fixtures.py at build time.
inline std::string Fixture(const std::string& name) { return std::string(TAV_ZIP_FIXTURES) + "/" + name; }

}  // namespace ziptest
